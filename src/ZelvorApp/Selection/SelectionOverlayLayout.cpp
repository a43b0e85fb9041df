#include "ZelvorApp/Selection/SelectionOverlayLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brisklet {

Rect OverlayAccessoryLayout::frame(const Rect& anchor, const Rect& container, Size size) {
    const double maxOriginX = std::max(container.minX(), container.maxX() - size.width);
    const double centredX = std::clamp(anchor.midX() - size.width / 2, container.minX(), maxOriginX);
    const double preferredY = anchor.minY() - gap - size.height;
    if (preferredY >= container.minY() && preferredY + size.height <= container.maxY()) {
        return Rect{{centredX, preferredY}, size};
    }
    // No room below: beside the selection, as low as it fits.
    const double y = std::clamp(preferredY, container.minY(),
                                std::max(container.minY(), std::min(anchor.minY(), container.maxY() - size.height)));
    const double rightX = anchor.maxX() + gap;
    if (rightX + size.width <= container.maxX()) {
        return Rect{{rightX, y}, size};
    }
    const double leftX = anchor.minX() - gap - size.width;
    if (leftX >= container.minX()) {
        return Rect{{leftX, y}, size};
    }
    const double maxOriginY = std::max(container.minY(), container.maxY() - size.height);
    return Rect{{centredX, std::clamp(preferredY, container.minY(), maxOriginY)}, size};
}

Rect MagnifierLayout::frame(Point p, const Rect& container) {
    double x = p.x + offset;
    if (x + panelSize.width > container.maxX() - margin) {
        x = p.x - panelSize.width - offset;
    }
    double y = p.y + offset;
    if (y + panelSize.height > container.maxY() - margin) {
        y = p.y - panelSize.height - offset;
    }
    x = std::clamp(x, container.minX() + margin, std::max(container.minX() + margin, container.maxX() - panelSize.width - margin));
    y = std::clamp(y, container.minY() + margin,
                   std::max(container.minY() + margin, container.maxY() - panelSize.height - margin));
    // Integral: whole points for the origin, the size is whole already.
    return Rect{{std::floor(x), std::floor(y)}, panelSize};
}

std::optional<Rect> SelectionOverlayTargetScreenPolicy::bestFrame(const Rect& rect, const std::vector<Rect>& frames) {
    std::optional<Rect> best;
    double bestArea = 0;
    for (const Rect& frame : frames) {
        const Rect shared = frame.intersection(rect);
        const double area = shared.isEmpty() ? 0 : shared.width() * shared.height();
        if (area > bestArea) {
            bestArea = area;
            best = frame;
        }
    }
    return best;
}

std::string MagnifierColorSample::rgbString() const {
    return "RGB(" + std::to_string(red) + ", " + std::to_string(green) + ", " + std::to_string(blue) + ")";
}

std::string MagnifierColorSample::compactFormattedValue(MagnifierColorFormat format) const {
    if (format == MagnifierColorFormat::rgb) {
        return std::to_string(red) + " " + std::to_string(green) + " " + std::to_string(blue);
    }
    char text[8];
    std::snprintf(text, sizeof text, "#%02X%02X%02X", red & 0xFF, green & 0xFF, blue & 0xFF);
    return text;
}

std::string MagnifierColorSample::clipboardText(MagnifierColorFormat format) const {
    return format == MagnifierColorFormat::hex ? compactFormattedValue(format) : rgbString();
}

Rect SnapBadgeLayout::frame(const Rect& candidate, const Rect& bounds, double textWidth) {
    const double x = std::min(std::max(candidate.minX() + 10, 12.0), bounds.maxX() - textWidth - 28);
    const double y = std::min(std::max(candidate.maxY() - 30, 12.0), bounds.maxY() - 28);
    return Rect{{x, y}, {textWidth + 2 * horizontalPadding, height}};
}

} // namespace brisklet
