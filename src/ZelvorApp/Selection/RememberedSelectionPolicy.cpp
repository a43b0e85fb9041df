#include "ZelvorApp/Selection/RememberedSelectionPolicy.h"

#include "ZelvorApp/Selection/SelectionGeometry.h"

#include <cmath>

namespace brisklet {

Rect RememberedSelectionPolicy::initialSelectionRect(const std::optional<RememberedSelectionArea>& remembered,
                                                     std::optional<std::uint32_t> screenDisplayID,
                                                     const Rect& screenFrame, const Rect& viewBounds) {
    if (!remembered || remembered->screenDisplayID != screenDisplayID) {
        return {};
    }
    Rect local = remembered->globalRect;
    local.origin.x -= screenFrame.minX();
    local.origin.y -= screenFrame.minY();
    const Rect inside = SelectionGeometry::standardized(SelectionGeometry::standardized(local).intersection(viewBounds));
    if (!SelectionGeometry::isValidSelection(inside)) {
        return {};
    }
    // Integral: the smallest whole-point rectangle that holds it.
    const double minX = std::floor(inside.minX());
    const double minY = std::floor(inside.minY());
    return Rect{{minX, minY}, {std::ceil(inside.maxX()) - minX, std::ceil(inside.maxY()) - minY}};
}

} // namespace brisklet
