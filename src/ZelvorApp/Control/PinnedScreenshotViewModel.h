#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Models/PreferenceChoices.h"

namespace brisklet {

struct AppPreferences;

/// What a double-click on a pinned window asks for.
enum class PinnedWindowButton { left, right };

/// The rules of one pinned screenshot window: its zoom around the centre, its place and its
/// opacity. Frames are in screen points with y growing downward, as the window system has them.
class PinnedScreenshotViewModel {
public:
    static constexpr double minimumScale = 0.1;
    static constexpr double maximumScale = 3.0;
    static constexpr double scaleStep = 0.08;
    static constexpr double minimumOpacity = 0.2;

    /// `baseSize` is the picture at scale 1; `frame` where it is first shown.
    PinnedScreenshotViewModel(Size baseSize, Rect frame);

    double scale() const { return scale_; }
    const Rect& frame() const { return frame_; }
    double opacity() const { return opacity_; }

    /// One wheel step: up (a positive delta) zooms in, down zooms out, kept within 0.1 to 3.0.
    /// Returns whether the frame changed.
    bool wheel(double verticalDelta);
    /// Back to scale 1 around the centre.
    bool resetZoom();
    void moveTo(Point origin);
    /// Kept between a faint but still findable window and fully opaque.
    void setOpacity(double opacity);

    /// The configured action for a double-click with `button`.
    static PinnedMouseDoubleClickAction doubleClickAction(PinnedWindowButton button, const AppPreferences& preferences);

private:
    bool setScale(double scale);

    Size baseSize_;
    Rect frame_;
    /// Kept exactly, so rounding each zoomed frame to whole points never walks the window away.
    Point centre_;
    double scale_ = 1;
    double opacity_ = 1;
};

} // namespace brisklet
