#include "ZelvorApp/Editor/AnnotationDrafts.h"

#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"

namespace brisklet {

std::optional<AnnotationItem> AnnotationDrafts::previewItem(const AnnotationToolOptions& o) const {
    const Uuid id{};
    if (draftRectangle) {
        return RectangleAnnotation{id,
                                   *draftRectangle,
                                   o.selectedShapeKind,
                                   o.selectedShapeFillMode,
                                   o.selectedColor,
                                   o.selectedShapeStrokeWidth};
    }
    if (draftRedactionRect) {
        return RedactionAnnotation{id, *draftRedactionRect, draftRedactionMode};
    }
    if (draftArrowStart && draftArrowEnd) {
        return ArrowAnnotation{
            id, *draftArrowStart, *draftArrowEnd, o.selectedArrowStyle, o.selectedColor, o.selectedArrowStrokeWidth};
    }
    if (draftLineStart && draftLineEnd) {
        return LineAnnotation{id, *draftLineStart, *draftLineEnd, o.selectedColor, o.selectedLineStrokeWidth};
    }
    if (!draftStrokePoints.empty()) {
        const double width =
            draftStrokeMode == StrokeMode::highlighter ? highlighterStrokeWidth : o.selectedBrushStrokeWidth;
        return StrokeAnnotation{id, draftStrokePoints, draftStrokeMode, o.selectedColor, width};
    }
    return std::nullopt;
}

std::optional<AnnotationItem> AnnotationDrafts::finishedItem(const AnnotationToolOptions& options) const {
    const auto rectangleLargeEnough = [](const Rect& r) {
        return r.width() >= minimumRectangleSide && r.height() >= minimumRectangleSide;
    };
    if ((draftRectangle && !rectangleLargeEnough(*draftRectangle)) ||
        (draftRedactionRect && !rectangleLargeEnough(*draftRedactionRect))) {
        return std::nullopt;
    }
    if (draftArrowStart && draftArrowEnd &&
        ScreenshotEditorGeometry::distance(*draftArrowStart, *draftArrowEnd) < minimumLinearLength) {
        return std::nullopt;
    }
    if (draftLineStart && draftLineEnd &&
        ScreenshotEditorGeometry::distance(*draftLineStart, *draftLineEnd) < minimumLinearLength) {
        return std::nullopt;
    }
    if (!draftStrokePoints.empty() && draftStrokePoints.size() < 2) {
        return std::nullopt;
    }
    const auto item = previewItem(options);
    return item ? std::optional(item->withID(Uuid::generate())) : std::nullopt;
}

} // namespace brisklet
