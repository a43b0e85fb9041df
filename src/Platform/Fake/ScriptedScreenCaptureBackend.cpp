#include "Platform/Fake/ScriptedScreenCaptureBackend.h"

namespace brisklet {

Result<Image, ScreenCaptureError>
ScriptedScreenCaptureBackend::capture(const Rect& rect, const ScreenCaptureContext& context,
                                      const std::vector<std::uint32_t>& excludingWindowIDs) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back({rect, context, excludingWindowIDs});
        if (failuresLeft_ > 0) {
            --failuresLeft_;
            return Result<Image, ScreenCaptureError>::failure(failure_);
        }
    }
    return Result<Image, ScreenCaptureError>::success(page_.frame());
}

void ScriptedScreenCaptureBackend::failNext(int count, ScreenCaptureError error) {
    std::lock_guard lock(mutex_);
    failuresLeft_ = count;
    failure_ = error;
}

std::vector<ScriptedScreenCaptureBackend::Call> ScriptedScreenCaptureBackend::calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
}

} // namespace brisklet
