#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <optional>

namespace brisklet {

/// Where the primary toolbar and the secondary toolbar stand.
struct EditorToolbarFrames {
    Rect primary;
    std::optional<Rect> secondary;
    bool operator==(const EditorToolbarFrames&) const = default;
};

/// Places the editor's toolbars around the selection, in view points with y growing downward.
/// The bars prefer the space below the selection, then above it, and otherwise sit inside it at
/// its bottom edge; they are centred on it horizontally and kept inside `bounds`. Outside the
/// selection they keep clear of its edge handles.
struct EditorToolbarLayout {
    /// Between the selection and the nearest bar.
    static constexpr double selectionGap = 10;
    /// Between a bar inside the selection and the selection's bottom edge (clear of its handles).
    static constexpr double insideInset = 12;
    /// Between a bar and the edge of `bounds`.
    static constexpr double boundsMargin = 6;
    /// Between the primary bar and the secondary bar.
    static constexpr double barSpacing = 6;
    /// Between an anchor button and the popover it opens.
    static constexpr double popoverGap = 6;

    /// The primary toolbar alone.
    static Rect frame(const Rect& selection, const Rect& bounds, Size toolbarSize);

    /// Both bars: the secondary one (when given a size) directly beside the primary one, on the
    /// side away from the selection (above it when the pair sits inside the selection). The pair
    /// is placed as one block, so the primary bar only moves with the secondary one when the
    /// block no longer fits where the primary bar alone would.
    static EditorToolbarFrames frames(const Rect& selection, const Rect& bounds, Size primarySize,
                                      std::optional<Size> secondarySize);

    /// A popover opened from `anchor` (the style panel below its button): below the anchor,
    /// centred on it, else above it, always inside `bounds`.
    static Rect popoverFrame(const Rect& anchor, const Rect& bounds, Size popoverSize);
};

} // namespace brisklet
