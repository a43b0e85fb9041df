#include "ZelvorApp/Library/VisualMemoryMasonryLayout.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brisklet {

int VisualMemoryMasonryLayout::columns(double availableWidth, double preferredColumnWidth, double spacing) {
    if (availableWidth <= 0) {
        return 1;
    }
    const double count = std::floor((availableWidth + spacing) / std::max(preferredColumnWidth + spacing, 1.0));
    return std::max(1, static_cast<int>(count));
}

VisualMemoryMasonryLayout VisualMemoryMasonryLayout::make(const std::vector<double>& ratios, double availableWidth,
                                                          double preferredColumnWidth, double spacing) {
    VisualMemoryMasonryLayout layout;
    layout.columnCount = columns(availableWidth, preferredColumnWidth, spacing);
    const int count = layout.columnCount;
    layout.columnWidth = std::max((availableWidth - spacing * (count - 1)) / count, 1.0);
    std::vector<double> heights(static_cast<std::size_t>(count), 0.0);
    layout.placements.reserve(ratios.size());
    double contentBottom = 0;
    for (std::size_t index = 0; index < ratios.size(); ++index) {
        // min_element returns the first of equal minima: the lowest column index wins ties.
        const auto shortest = std::min_element(heights.begin(), heights.end());
        const auto column = static_cast<double>(shortest - heights.begin());
        const double height =
            std::clamp(layout.columnWidth / std::max(ratios[index], 0.1), minimumCardHeight, maximumCardHeight);
        VisualMemoryMasonryPlacement placement{index, (layout.columnWidth + spacing) * column, *shortest,
                                               layout.columnWidth, height};
        contentBottom = std::max(contentBottom, placement.bottom());
        *shortest += spacing + height;
        layout.placements.push_back(placement);
    }
    layout.contentHeight = std::max(0.0, contentBottom + spacing);
    return layout;
}

std::vector<VisualMemoryMasonryPlacement> VisualMemoryMasonryLayout::visible(double top, double bottom) const {
    std::vector<VisualMemoryMasonryPlacement> result;
    for (const VisualMemoryMasonryPlacement& placement : placements) {
        if (placement.bottom() > top && placement.y < bottom) {
            result.push_back(placement);
        }
    }
    return result;
}

const VisualMemoryMasonryPlacement* VisualMemoryMasonryLayout::hit(double x, double y) const {
    for (const VisualMemoryMasonryPlacement& placement : placements) {
        if (x >= placement.x && x < placement.x + placement.width && y >= placement.y && y < placement.bottom()) {
            return &placement;
        }
    }
    return nullptr;
}

const VisualMemoryMasonryPlacement* VisualMemoryMasonryLayout::vertical(std::size_t index, int direction) const {
    if (index >= placements.size() || direction == 0) {
        return nullptr;
    }
    const VisualMemoryMasonryPlacement& from = placements[index];
    const VisualMemoryMasonryPlacement* best = nullptr;
    double bestDistance = std::numeric_limits<double>::max();
    for (const VisualMemoryMasonryPlacement& placement : placements) {
        if (placement.x != from.x || placement.index == from.index) {
            continue;
        }
        const double distance = (placement.y - from.y) * direction;
        if (distance > 0 && distance < bestDistance) {
            bestDistance = distance;
            best = &placement;
        }
    }
    return best;
}

} // namespace brisklet
