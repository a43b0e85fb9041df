#include "ZelvorApp/Control/PinnedScreenshotViewModel.h"

#include "ZelvorCore/Models/AppPreferences.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

PinnedScreenshotViewModel::PinnedScreenshotViewModel(Size baseSize, Rect frame)
    : baseSize_{std::max(1.0, baseSize.width), std::max(1.0, baseSize.height)}, frame_(frame),
      centre_{frame.midX(), frame.midY()} {}

bool PinnedScreenshotViewModel::wheel(double verticalDelta) {
    if (verticalDelta == 0 || !std::isfinite(verticalDelta)) {
        return false;
    }
    return setScale(scale_ + (verticalDelta > 0 ? scaleStep : -scaleStep));
}

bool PinnedScreenshotViewModel::resetZoom() {
    return setScale(1);
}

bool PinnedScreenshotViewModel::setScale(double scale) {
    // Rounded to the step's precision, so eight steps up and eight down land on 1 again.
    const double next = std::clamp(std::round(scale * 100) / 100, minimumScale, maximumScale);
    if (next == scale_) {
        return false;
    }
    scale_ = next;
    const double width = std::max(1.0, std::round(baseSize_.width * scale_));
    const double height = std::max(1.0, std::round(baseSize_.height * scale_));
    // Around the current centre, on whole points so the picture stays sharp.
    frame_ = Rect{{std::round(centre_.x - width / 2), std::round(centre_.y - height / 2)}, {width, height}};
    return true;
}

void PinnedScreenshotViewModel::moveTo(Point origin) {
    frame_.origin = origin;
    centre_ = {frame_.midX(), frame_.midY()};
}

void PinnedScreenshotViewModel::setOpacity(double opacity) {
    opacity_ = std::isfinite(opacity) ? std::clamp(opacity, minimumOpacity, 1.0) : 1.0;
}

PinnedMouseDoubleClickAction PinnedScreenshotViewModel::doubleClickAction(PinnedWindowButton button,
                                                                          const AppPreferences& preferences) {
    return button == PinnedWindowButton::left ? preferences.pinnedLeftDoubleClickAction
                                              : preferences.pinnedRightDoubleClickAction;
}

} // namespace brisklet
