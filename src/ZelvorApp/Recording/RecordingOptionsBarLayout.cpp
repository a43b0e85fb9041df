#include "ZelvorApp/Recording/RecordingOptionsBarLayout.h"

#include <algorithm>

namespace brisklet {

Rect RecordingOptionsBarLayout::windowRect(const Rect& selectionRect, const Rect& screenFrame) {
    const double width = std::min(std::max(screenFrame.width() - 2 * screenMargin, 1.0), maximumWidth);
    return barRect(selectionRect, screenFrame, Size{width, barHeight});
}

Rect RecordingOptionsBarLayout::barRect(const Rect& selectionRect, const Rect& screenFrame, Size size) {
    const double leftmost = screenFrame.minX() + screenMargin;
    const double rightmost = std::max(screenFrame.maxX() - size.width - screenMargin, leftmost);
    const double x = std::min(std::max(selectionRect.midX() - size.width / 2, leftmost), rightmost);
    double y = selectionRect.minY() - size.height - regionGap;
    if (y < screenFrame.minY() + screenMargin) {
        y = std::min(selectionRect.maxY() + regionGap, screenFrame.maxY() - size.height - screenMargin);
    }
    return Rect{{x, y}, size};
}

} // namespace brisklet
