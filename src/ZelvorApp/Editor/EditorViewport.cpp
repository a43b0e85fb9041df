#include "ZelvorApp/Editor/EditorViewport.h"

#include <algorithm>

namespace brisklet {

namespace {

double usableScale(double scale) {
    return scale > 0.0001 ? scale : 0.0001;
}

} // namespace

Point EditorViewport::toImage(Point viewPoint) const {
    const double s = usableScale(displayScale);
    const double x = (viewPoint.x - displayedImageRect.minX()) / s;
    const double y = (viewPoint.y - displayedImageRect.minY()) / s;
    return {std::clamp(x, 0.0, std::max(0.0, imageSize.width)), std::clamp(y, 0.0, std::max(0.0, imageSize.height))};
}

Point EditorViewport::toView(Point imagePoint) const {
    return {displayedImageRect.minX() + imagePoint.x * displayScale,
            displayedImageRect.minY() + imagePoint.y * displayScale};
}

Rect EditorViewport::toView(const Rect& imageRect) const {
    return {toView(imageRect.origin), {imageRect.width() * displayScale, imageRect.height() * displayScale}};
}

double EditorViewport::toImageLength(double viewLength) const {
    return viewLength / usableScale(displayScale);
}

} // namespace brisklet
