#pragma once

#include "Platform/ScreenCaptureBackend.h"

#include <optional>

namespace brisklet {

/// A desktop that shows one still picture: `desktopImage` covers the whole virtual desktop at
/// `scale` pixels per point. Captures cut the requested rectangle out of it; a test can make the
/// backend fail instead.
class StillScreenCaptureBackend final : public ScreenCaptureBackend {
public:
    struct Call {
        Rect rect;
        ScreenCaptureContext context;
        std::vector<std::uint32_t> excludedWindowIDs;
        bool operator==(const Call&) const = default;
    };

    StillScreenCaptureBackend(Image desktopImage, double scale = 1.0)
        : desktop_(std::move(desktopImage)), scale_(scale) {}

    Result<Image, ScreenCaptureError> capture(const Rect& rect, const ScreenCaptureContext& context,
                                              const std::vector<std::uint32_t>& excludingWindowIDs) override;

    /// Every following capture fails with `error`; nothing restores normal captures.
    void failWith(std::optional<ScreenCaptureError> error) { failure_ = error; }
    /// Captures that exclude windows fail with captureFailed, plain ones still work.
    void failWhenExcluding(bool fail) { failWhenExcluding_ = fail; }
    const std::vector<Call>& calls() const { return calls_; }

private:
    Image desktop_;
    double scale_;
    std::optional<ScreenCaptureError> failure_;
    bool failWhenExcluding_ = false;
    std::vector<Call> calls_;
};

} // namespace brisklet
