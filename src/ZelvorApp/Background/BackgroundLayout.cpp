#include "ZelvorApp/Background/BackgroundLayout.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace brisklet {

namespace {

double clampValue(double x, double lo, double hi) {
    return std::max(std::min(x, hi), lo);
}

/// Rounds up to a whole pixel, forgiving the last bits of a ratio multiplication (1872 × 16/9 must
/// give 3328, not 3329).
double ceilPixels(double value) {
    return std::ceil(value - 1e-7 * std::max(1.0, std::abs(value)));
}

/// Placement of the free space: x from the left, y from the top (the alignment's factors count y
/// upward from the bottom, so they are flipped here).
std::pair<double, double> placementFactors(CanvasAlignment alignment) {
    switch (alignment) {
    case CanvasAlignment::topLeading:
        return {0, 0};
    case CanvasAlignment::top:
        return {0.5, 0};
    case CanvasAlignment::topTrailing:
        return {1, 0};
    case CanvasAlignment::leading:
        return {0, 0.5};
    case CanvasAlignment::center:
        return {0.5, 0.5};
    case CanvasAlignment::trailing:
        return {1, 0.5};
    case CanvasAlignment::bottomLeading:
        return {0, 1};
    case CanvasAlignment::bottom:
        return {0.5, 1};
    case CanvasAlignment::bottomTrailing:
        return {1, 1};
    }
    return {0.5, 0.5};
}

/// The pieces of `make` that `contentOffset` inverts. The free space is what the canvas has
/// beyond the padded frame, so alignment and dragging move the frame within the padding's
/// margin and never closer to the canvas edge than the padding.
struct Placement {
    double padding = 0;
    FrameInsets insets;
    Size framed;
    Size canvas;
    Size free;  // never negative
    Point base; // frame origin before the user's offset

    Point clamped(Point origin) const {
        return {clampValue(origin.x, padding, padding + free.width),
                clampValue(origin.y, padding, padding + free.height)};
    }
};

Size canvasSizeFor(Size minimum, const CanvasAspectPreset& aspect) {
    const auto ratio = aspect.ratio();
    if (!ratio) {
        return {ceilPixels(minimum.width), ceilPixels(minimum.height)};
    }
    const double r = *ratio;
    const double minimumRatio = minimum.height > 1 ? minimum.width / minimum.height : minimum.width;
    Size canvas = r < minimumRatio ? Size{minimum.width, minimum.width / r} : Size{minimum.height * r, minimum.height};
    canvas.width = ceilPixels(std::max(canvas.width, minimum.width));
    canvas.height = ceilPixels(std::max(canvas.height, minimum.height));
    return canvas;
}

Placement placement(Size content, const BackgroundComposition& composition) {
    Placement p;
    p.padding = std::max(composition.padding, 0.0);
    p.insets = BackgroundLayout::frameInsets(composition.frameStyle, content);
    p.framed = {content.width + p.insets.left + p.insets.right, content.height + p.insets.top + p.insets.bottom};
    const Size minimum{p.framed.width + 2 * p.padding, p.framed.height + 2 * p.padding};
    p.canvas = canvasSizeFor(minimum, composition.aspectPreset);
    p.free = {std::max(0.0, p.canvas.width - minimum.width), std::max(0.0, p.canvas.height - minimum.height)};
    const auto [fx, fy] = placementFactors(composition.alignment);
    p.base = {p.padding + p.free.width * fx, p.padding + p.free.height * fy};
    return p;
}

/// Whole-pixel position without stretching: the origin moves down to a pixel boundary and the
/// size stays what it is (rounded up only when fractional), so a screenshot is never resampled
/// by a stray pixel.
Rect pixelAligned(Point origin, Size size) {
    return {{std::floor(origin.x), std::floor(origin.y)}, {std::ceil(size.width), std::ceil(size.height)}};
}

} // namespace

FrameInsets BackgroundLayout::frameInsets(BackgroundFrameStyle style, Size contentSize) {
    const double m = std::max(std::min(contentSize.width, contentSize.height), 1.0);
    const double longer = std::max(contentSize.width, contentSize.height);
    switch (style) {
    case BackgroundFrameStyle::none:
        return {};
    case BackgroundFrameStyle::browserLight:
    case BackgroundFrameStyle::browserDark: {
        const double side = clampValue(0.018 * m, 12, 22);
        return {clampValue(0.07 * m, 42, 60), side, clampValue(0.022 * m, 12, 22), side};
    }
    case BackgroundFrameStyle::iphoneLight:
    case BackgroundFrameStyle::iphoneDark: {
        const double side = clampValue(0.09 * m, 26, 52);
        return {clampValue(0.055 * longer, 36, 64), side, clampValue(0.058 * longer, 36, 68), side};
    }
    case BackgroundFrameStyle::macbookLight:
    case BackgroundFrameStyle::macbookDark: {
        const double side = clampValue(0.04 * m, 22, 42);
        return {clampValue(0.03 * m, 20, 30), side, clampValue(0.085 * m, 46, 82), side};
    }
    }
    return {};
}

BackgroundLayout BackgroundLayout::make(Size contentSize, const BackgroundComposition& composition) {
    const Placement p = placement(contentSize, composition);
    const Point origin =
        p.clamped({p.base.x + composition.contentOffset.width, p.base.y - composition.contentOffset.height});
    BackgroundLayout layout;
    layout.canvasSize = p.canvas;
    layout.frameRect = pixelAligned(origin, p.framed);
    layout.contentRect = pixelAligned({origin.x + p.insets.left, origin.y + p.insets.top}, contentSize);
    layout.framedContentRect = layout.contentRect;
    return layout;
}

Size BackgroundLayout::contentOffset(Point contentOrigin, Size contentSize, const BackgroundComposition& composition) {
    const Placement p = placement(contentSize, composition);
    const Point origin = p.clamped({contentOrigin.x - p.insets.left, contentOrigin.y - p.insets.top});
    return {origin.x - p.base.x, p.base.y - origin.y};
}

CanvasAspectPreset BackgroundLayout::recommendedAspectPreset(Size size) {
    using Kind = CanvasAspectPreset::Kind;
    if (size.width <= 1 && size.height <= 1) {
        return {Kind::square};
    }
    if (size.height <= 0) {
        return {Kind::landscape};
    }
    const double ratio = std::max(size.width, 1.0) / size.height;
    if (ratio >= 1.28) {
        return {Kind::landscape};
    }
    if (ratio <= 0.62) {
        return {Kind::story};
    }
    if (ratio <= 0.9) {
        return {Kind::portrait};
    }
    return {Kind::square};
}

} // namespace brisklet
