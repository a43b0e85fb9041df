#include "ZelvorApp/Longshot/LongshotWindowLayout.h"

#include <algorithm>

namespace brisklet {

namespace {

double clampInto(double origin, double length, double lower, double upper) {
    return std::max(lower, std::min(origin, upper - length));
}

} // namespace

Rect LongshotWindowLayout::controlBarFrame(const Rect& selection, const Rect& visibleFrame, Size size) {
    const double lowest = visibleFrame.minY() + screenMargin;
    const double highest = visibleFrame.maxY() - screenMargin;
    const double x = clampInto(selection.midX() - size.width / 2, size.width, visibleFrame.minX() + screenMargin,
                               visibleFrame.maxX() - screenMargin);
    const double below = selection.minY() - controlBarSpacing - size.height;
    const double above = selection.maxY() + controlBarSpacing;
    double y = 0;
    if (below >= lowest) {
        y = below;
    } else if (above + size.height <= highest) {
        y = above;
    } else {
        y = clampInto(selection.minY() + controlBarSpacing, size.height, lowest, highest);
    }
    return Rect{{x, y}, size};
}

std::vector<std::uint32_t> LongshotWindowLayout::windowsToHide(const Rect& region, const std::vector<Window>& windows) {
    std::vector<std::uint32_t> numbers;
    for (const Window& window : windows) {
        if (window.number != 0 && !window.frame.intersection(region).isEmpty()) {
            numbers.push_back(window.number);
        }
    }
    return numbers;
}

} // namespace brisklet
