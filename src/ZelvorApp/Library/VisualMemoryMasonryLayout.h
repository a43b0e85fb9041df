#pragma once

#include <cstddef>
#include <vector>

namespace brisklet {

/// Where one card of the grid stands (points; y grows downwards from the top of the grid).
struct VisualMemoryMasonryPlacement {
    std::size_t index = 0;
    double x = 0;
    double y = 0;
    double width = 0;
    double height = 0;

    double bottom() const { return y + height; }
    bool operator==(const VisualMemoryMasonryPlacement&) const = default;
};

/// Cards in columns of equal width, each card placed in the column that is shortest so far, its
/// height following the picture's proportion.
struct VisualMemoryMasonryLayout {
    static constexpr double minimumCardHeight = 110;
    static constexpr double maximumCardHeight = 440;

    std::vector<VisualMemoryMasonryPlacement> placements;
    int columnCount = 1;
    double columnWidth = 1;
    double contentHeight = 0;

    /// `ratios` are width ÷ height, one per item in display order.
    static VisualMemoryMasonryLayout make(const std::vector<double>& ratios, double availableWidth,
                                          double preferredColumnWidth, double spacing);
    static int columns(double availableWidth, double preferredColumnWidth, double spacing);

    /// The placements that intersect the band [top, bottom), in index order.
    std::vector<VisualMemoryMasonryPlacement> visible(double top, double bottom) const;
    /// The card under a point of the grid, if any.
    const VisualMemoryMasonryPlacement* hit(double x, double y) const;
    /// The card above (`direction` < 0) or below (> 0) `index` in its own column.
    const VisualMemoryMasonryPlacement* vertical(std::size_t index, int direction) const;
};

} // namespace brisklet
