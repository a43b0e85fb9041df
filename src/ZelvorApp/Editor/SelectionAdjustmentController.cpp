#include "ZelvorApp/Editor/SelectionAdjustmentController.h"

#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace brisklet {

namespace G = ScreenshotEditorGeometry;

namespace {

/// [low, high) made at least `minimum` long inside [0, limit].
std::pair<int, int> atLeast(int low, int high, int minimum, int limit) {
    low = std::clamp(low, 0, limit);
    high = std::clamp(high, low, limit);
    if (high - low < minimum) {
        high = std::min(limit, low + minimum);
        low = std::max(0, high - minimum);
    }
    return {low, high};
}

} // namespace

SelectionAdjustmentController::SelectionAdjustmentController(Image snapshot, Rect viewBounds, Rect selection,
                                                             double pixelsPerPoint)
    : snapshot_(std::move(snapshot)), viewBounds_(viewBounds), selection_(selection),
      pixelsPerPoint_(pixelsPerPoint > 0 && std::isfinite(pixelsPerPoint) ? pixelsPerPoint : 1) {
    selection_ = clampedIntoView(selection_);
}

Rect SelectionAdjustmentController::clampedIntoView(Rect rect) const {
    rect.size.width =
        std::clamp(rect.width(), std::min(minimumSelectionSide, viewBounds_.width()), viewBounds_.width());
    rect.size.height =
        std::clamp(rect.height(), std::min(minimumSelectionSide, viewBounds_.height()), viewBounds_.height());
    rect.origin.x = std::clamp(rect.minX(), viewBounds_.minX(), viewBounds_.maxX() - rect.width());
    rect.origin.y = std::clamp(rect.minY(), viewBounds_.minY(), viewBounds_.maxY() - rect.height());
    return rect;
}

SelectionInteraction SelectionAdjustmentController::grabAt(Point p) const {
    const auto all = handles();
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (G::containsInclusive(G::handleHitRect(it->second), p)) {
            return {SelectionInteraction::Resizing{it->first, selection_}};
        }
    }
    if (G::containsInclusive(selection_, p)) {
        return {SelectionInteraction::Moving{{p.x - selection_.minX(), p.y - selection_.minY()}, selection_}};
    }
    return {};
}

bool SelectionAdjustmentController::mouseDown(Point p) {
    interaction_ = grabAt(p);
    return !interaction_.isNone();
}

void SelectionAdjustmentController::mouseDragged(Point p) {
    if (const auto* moving = std::get_if<SelectionInteraction::Moving>(&interaction_.value)) {
        Rect moved = moving->originalRect;
        moved.origin = {p.x - moving->pointerOffset.x, p.y - moving->pointerOffset.y};
        selection_ = clampedIntoView(moved);
    } else if (const auto* resizing = std::get_if<SelectionInteraction::Resizing>(&interaction_.value)) {
        const Point inside{std::clamp(p.x, viewBounds_.minX(), viewBounds_.maxX()),
                           std::clamp(p.y, viewBounds_.minY(), viewBounds_.maxY())};
        selection_ = clampedIntoView(
            G::resizedRectangle(resizing->originalRect, resizing->corner, inside, minimumSelectionSide));
    }
}

void SelectionAdjustmentController::mouseUp(Point p) {
    mouseDragged(p);
    interaction_ = {};
}

std::array<std::pair<ResizeCorner, Point>, 8> SelectionAdjustmentController::handles() const {
    return G::handleAnchors(selection_);
}

Rect SelectionAdjustmentController::cropRect() const {
    const double k = pixelsPerPoint_;
    const auto [x0, x1] = atLeast(static_cast<int>(std::floor((selection_.minX() - viewBounds_.minX()) * k)),
                                  static_cast<int>(std::ceil((selection_.maxX() - viewBounds_.minX()) * k)),
                                  minimumCropPixels, snapshot_.width());
    const auto [y0, y1] = atLeast(static_cast<int>(std::floor((selection_.minY() - viewBounds_.minY()) * k)),
                                  static_cast<int>(std::ceil((selection_.maxY() - viewBounds_.minY()) * k)),
                                  minimumCropPixels, snapshot_.height());
    return {{static_cast<double>(x0), static_cast<double>(y0)},
            {static_cast<double>(x1 - x0), static_cast<double>(y1 - y0)}};
}

Rect SelectionAdjustmentController::cropRectInView() const {
    const Rect crop = cropRect();
    const double k = pixelsPerPoint_;
    return {{viewBounds_.minX() + crop.minX() / k, viewBounds_.minY() + crop.minY() / k},
            {crop.width() / k, crop.height() / k}};
}

Image SelectionAdjustmentController::cutBaseImage() {
    const Rect crop = cropRect();
    cutRect_ = crop;
    const int x = static_cast<int>(crop.minX());
    const int y = static_cast<int>(crop.minY());
    const int width = static_cast<int>(crop.width());
    const int height = static_cast<int>(crop.height());
    Image image(width, height);
    for (int row = 0; row < height; ++row) {
        std::memcpy(image.row(row), snapshot_.row(y + row) + static_cast<std::size_t>(x) * 4,
                    static_cast<std::size_t>(width) * 4);
    }
    return image;
}

} // namespace brisklet
