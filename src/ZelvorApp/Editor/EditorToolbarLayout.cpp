#include "ZelvorApp/Editor/EditorToolbarLayout.h"

#include <algorithm>

namespace brisklet {

namespace {

enum class Side { below, above, inside };

/// `origin` moved so that `length` fits between `low` and `high` (less the margin); a bar longer
/// than the room starts at the low end.
double clamped(double origin, double length, double low, double high) {
    const double margin = EditorToolbarLayout::boundsMargin;
    return std::max(std::min(origin, high - margin - length), low + margin);
}

double centredX(const Rect& on, const Rect& bounds, double width) {
    return clamped(on.midX() - width / 2, width, bounds.minX(), bounds.maxX());
}

Side sideFor(const Rect& selection, const Rect& bounds, double blockHeight) {
    const double gap = EditorToolbarLayout::selectionGap;
    const double margin = EditorToolbarLayout::boundsMargin;
    if (selection.maxY() + gap + blockHeight <= bounds.maxY() - margin) {
        return Side::below;
    }
    if (selection.minY() - gap - blockHeight >= bounds.minY() + margin) {
        return Side::above;
    }
    return Side::inside;
}

double primaryY(Side side, const Rect& selection, const Rect& bounds, double height) {
    switch (side) {
    case Side::below:
        return selection.maxY() + EditorToolbarLayout::selectionGap;
    case Side::above:
        return selection.minY() - EditorToolbarLayout::selectionGap - height;
    case Side::inside:
        break;
    }
    const double bottom = std::min(selection.maxY() - EditorToolbarLayout::insideInset,
                                   bounds.maxY() - EditorToolbarLayout::boundsMargin);
    return std::max(bottom - height, bounds.minY() + EditorToolbarLayout::boundsMargin);
}

} // namespace

Rect EditorToolbarLayout::frame(const Rect& selection, const Rect& bounds, Size toolbarSize) {
    return frames(selection, bounds, toolbarSize, std::nullopt).primary;
}

EditorToolbarFrames EditorToolbarLayout::frames(const Rect& selection, const Rect& bounds, Size primarySize,
                                                std::optional<Size> secondarySize) {
    const double block = primarySize.height + (secondarySize ? barSpacing + secondarySize->height : 0);
    const Side side = sideFor(selection, bounds, block);
    EditorToolbarFrames frames;
    frames.primary = {
        {centredX(selection, bounds, primarySize.width), primaryY(side, selection, bounds, primarySize.height)},
        primarySize};
    if (secondarySize) {
        const double y = side == Side::below ? frames.primary.maxY() + barSpacing
                                             : frames.primary.minY() - barSpacing - secondarySize->height;
        frames.secondary = Rect{{centredX(selection, bounds, secondarySize->width), y}, *secondarySize};
    }
    return frames;
}

Rect EditorToolbarLayout::popoverFrame(const Rect& anchor, const Rect& bounds, Size popoverSize) {
    double y = anchor.maxY() + popoverGap;
    if (y + popoverSize.height > bounds.maxY() - boundsMargin) {
        y = anchor.minY() - popoverGap - popoverSize.height;
    }
    return {{centredX(anchor, bounds, popoverSize.width), clamped(y, popoverSize.height, bounds.minY(), bounds.maxY())},
            popoverSize};
}

} // namespace brisklet
