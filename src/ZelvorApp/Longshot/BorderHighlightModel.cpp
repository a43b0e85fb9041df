#include "ZelvorApp/Longshot/BorderHighlightModel.h"

namespace brisklet {

namespace {

Rect insetBy(const Rect& r, double d) {
    return Rect{{r.minX() + d, r.minY() + d}, {r.width() - 2 * d, r.height() - 2 * d}};
}

} // namespace

Rect BorderHighlightModel::strokeRect(const Rect& bounds) {
    return insetBy(bounds, strokeInset);
}

Rect BorderHighlightModel::windowFrame(const Rect& region) {
    return insetBy(region, -selectionInset);
}

Rect BorderHighlightModel::region(const Rect& windowFrame) {
    return insetBy(windowFrame, selectionInset);
}

bool BorderHighlightModel::mouseDown(Point pointer, const Rect& windowFrame) {
    if (!isMovable()) {
        return false;
    }
    dragStart_ = pointer;
    frameAtDragStart_ = windowFrame;
    return true;
}

std::optional<Rect> BorderHighlightModel::mouseDragged(Point pointer) {
    if (!dragStart_ || !isMovable()) {
        return std::nullopt;
    }
    Rect frame = frameAtDragStart_;
    frame.origin.x += pointer.x - dragStart_->x;
    frame.origin.y += pointer.y - dragStart_->y;
    // A copy: the handler may replace itself.
    if (const auto handler = onMove_) {
        handler(region(frame));
    }
    return frame;
}

void BorderHighlightModel::mouseUp() {
    dragStart_.reset();
}

} // namespace brisklet
