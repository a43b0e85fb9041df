#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorApp/Editor/AnnotationToolOptions.h"

#include <optional>
#include <vector>

namespace brisklet {

/// The provisional geometry of the drawing gesture in progress, in image pixels.
struct AnnotationDrafts {
    std::optional<Rect> draftRectangle;
    std::optional<Point> draftArrowStart;
    std::optional<Point> draftArrowEnd;
    std::optional<Point> draftLineStart;
    std::optional<Point> draftLineEnd;
    std::optional<Rect> draftRedactionRect;
    RedactionMode draftRedactionMode = RedactionMode::blur;
    std::vector<Point> draftStrokePoints;
    StrokeMode draftStrokeMode = StrokeMode::brush;

    /// Smallest shape or redaction, and shortest arrow or line, that is kept, in image pixels.
    static constexpr double minimumRectangleSide = 6;
    static constexpr double minimumLinearLength = 8;

    /// The draft drawn as the item it would become with `options` (even when still too small to
    /// be kept), so the view paints it with the same routine as finished items.
    std::optional<AnnotationItem> previewItem(const AnnotationToolOptions& options) const;
    /// The item the finished gesture creates (with a fresh identifier), or none when the draft is
    /// below the minimum size.
    std::optional<AnnotationItem> finishedItem(const AnnotationToolOptions& options) const;

    bool operator==(const AnnotationDrafts&) const = default;
};

} // namespace brisklet
