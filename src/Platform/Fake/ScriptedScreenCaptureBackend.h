#pragma once

#include "Platform/Fake/ScriptedScrollingPage.h"
#include "Platform/ScreenCaptureBackend.h"

#include <mutex>
#include <vector>

namespace brisklet {

/// Captures whatever a scripted page shows; individual captures can be made to fail.
class ScriptedScreenCaptureBackend final : public ScreenCaptureBackend {
public:
    struct Call {
        Rect rect;
        ScreenCaptureContext context;
        std::vector<std::uint32_t> excludedWindowIDs;
    };

    explicit ScriptedScreenCaptureBackend(ScriptedScrollingPage& page) : page_(page) {}

    Result<Image, ScreenCaptureError> capture(const Rect& rect, const ScreenCaptureContext& context,
                                              const std::vector<std::uint32_t>& excludingWindowIDs) override;

    /// The next `count` captures fail with `error`.
    void failNext(int count, ScreenCaptureError error = ScreenCaptureError::captureFailed);
    std::vector<Call> calls() const;

private:
    ScriptedScrollingPage& page_;
    mutable std::mutex mutex_;
    int failuresLeft_ = 0;
    ScreenCaptureError failure_ = ScreenCaptureError::captureFailed;
    std::vector<Call> calls_;
};

} // namespace brisklet
