#pragma once

#include "Platform/ScreenCaptureBackend.h"

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

namespace brisklet {

/// Still captures of a screen the test scripts: what the screen shows comes from a picture
/// function (a still desktop, numbered frames, a scrolling page…), every call is recorded, and
/// captures can be made to fail. Safe to use from the capture queues' threads.
class ScriptedScreenCaptureBackend final : public ScreenCaptureBackend {
public:
    struct Call {
        Rect rect;
        ScreenCaptureContext context;
        std::vector<std::uint32_t> excludedWindowIDs;
        bool operator==(const Call&) const = default;
    };
    /// What a capture of `rect` shows; `captureNumber` counts captures from 1.
    using Picture = std::function<Result<Image, ScreenCaptureError>(
        const Rect& rect, const ScreenCaptureContext& context, int captureNumber)>;

    /// Frames that tell themselves apart: solid images of the requested size (`scale` pixels per
    /// point) whose red channel is the capture number.
    static Picture numberedFrames(double scale = 1.0);
    /// A desktop showing one picture over the whole virtual desktop at `scale` pixels per point;
    /// captures cut the rectangle out of it (invalidCrop outside it).
    static Picture stillDesktop(Image desktop, double scale = 1.0);

    explicit ScriptedScreenCaptureBackend(Picture picture = numberedFrames()) : picture_(std::move(picture)) {}

    Result<Image, ScreenCaptureError> capture(const Rect& rect, const ScreenCaptureContext& context,
                                              const std::vector<std::uint32_t>& excludingWindowIDs) override;

    /// The next `count` captures fail with `error`.
    void failNext(int count, ScreenCaptureError error = ScreenCaptureError::captureFailed);
    /// Every following capture fails with `error` (nothing: captures work again).
    void failWith(std::optional<ScreenCaptureError> error);
    /// Captures that leave windows out fail with captureFailed; plain ones still work.
    void failWhenExcluding(bool fail);

    std::vector<Call> calls() const;
    int captureCount() const;

private:
    Picture picture_;
    mutable std::mutex mutex_;
    std::vector<Call> calls_;
    int failuresLeft_ = 0;
    ScreenCaptureError nextFailure_ = ScreenCaptureError::captureFailed;
    std::optional<ScreenCaptureError> permanentFailure_;
    bool failWhenExcluding_ = false;
};

} // namespace brisklet
