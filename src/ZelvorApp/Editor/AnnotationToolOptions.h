#pragma once

#include "ZelvorApp/Editor/AnnotationColorPalette.h"
#include "ZelvorApp/Editor/AnnotationStyles.h"
#include "ZelvorApp/Editor/AnnotationTool.h"
#include "ZelvorCore/Models/StoredColor.h"

#include <array>

namespace brisklet {

struct AppPreferences;

/// The style new annotations take, held while the editor is open.
struct AnnotationToolOptions {
    ShapeKind selectedShapeKind = ShapeKind::rectangle;
    ShapeFillMode selectedShapeFillMode = ShapeFillMode::stroke;
    ArrowStyle selectedArrowStyle = ArrowStyle::brush;
    RedactionMode selectedRedactionMode = RedactionMode::blur;
    double selectedShapeStrokeWidth = defaultStrokeWidth;
    double selectedArrowStrokeWidth = defaultStrokeWidth;
    double selectedLineStrokeWidth = defaultStrokeWidth;
    double selectedBrushStrokeWidth = defaultStrokeWidth;
    double selectedTextFontSize = 24;
    StoredColor selectedColor = AnnotationColorPalette::fixedColors[0];

    static constexpr double defaultStrokeWidth = 4;
    static constexpr double minimumStrokeWidth = 1;
    static constexpr double maximumStrokeWidth = 20;
    static constexpr double defaultTextFontSize = 22;
    static constexpr std::array<double, 8> supportedFontSizes{8, 12, 16, 24, 36, 48, 60, 72};

    double strokeWidth(AnnotationWidthFamily family) const;
    void setStrokeWidth(AnnotationWidthFamily family, double width);

    /// The style the editor opens with: each family's stored width, else the legacy single
    /// width, else 4 (normalized); the stored text size (else 22) snapped; the stored colour when
    /// it parses, else red.
    static AnnotationToolOptions fromPreferences(const AppPreferences& preferences);

    /// Rounded to a whole number (halves away from zero) and clamped to 1...20; a value that is
    /// not a number gives the default 4.
    static double normalizedStrokeWidth(double width);
    /// The nearest supported size; of two equally near sizes the smaller wins.
    static double snappedFontSize(double size);

    bool operator==(const AnnotationToolOptions&) const = default;
};

} // namespace brisklet
