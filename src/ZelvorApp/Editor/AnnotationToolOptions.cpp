#include "ZelvorApp/Editor/AnnotationToolOptions.h"

#include "ZelvorApp/Editor/AnnotationColorHistory.h"
#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

double AnnotationToolOptions::strokeWidth(AnnotationWidthFamily family) const {
    switch (family) {
    case AnnotationWidthFamily::shape:
        return selectedShapeStrokeWidth;
    case AnnotationWidthFamily::arrow:
        return selectedArrowStrokeWidth;
    case AnnotationWidthFamily::line:
        return selectedLineStrokeWidth;
    case AnnotationWidthFamily::brush:
        return selectedBrushStrokeWidth;
    }
    return selectedShapeStrokeWidth;
}

void AnnotationToolOptions::setStrokeWidth(AnnotationWidthFamily family, double width) {
    switch (family) {
    case AnnotationWidthFamily::shape:
        selectedShapeStrokeWidth = width;
        break;
    case AnnotationWidthFamily::arrow:
        selectedArrowStrokeWidth = width;
        break;
    case AnnotationWidthFamily::line:
        selectedLineStrokeWidth = width;
        break;
    case AnnotationWidthFamily::brush:
        selectedBrushStrokeWidth = width;
        break;
    }
}

double AnnotationToolOptions::normalizedStrokeWidth(double width) {
    if (!std::isfinite(width)) {
        return defaultStrokeWidth;
    }
    return std::clamp(std::round(width), minimumStrokeWidth, maximumStrokeWidth);
}

double AnnotationToolOptions::snappedFontSize(double size) {
    if (!std::isfinite(size)) {
        size = defaultTextFontSize;
    }
    double best = supportedFontSizes.front();
    for (double candidate : supportedFontSizes) {
        if (std::fabs(candidate - size) < std::fabs(best - size)) {
            best = candidate;
        }
    }
    return best;
}

AnnotationToolOptions AnnotationToolOptions::fromPreferences(const AppPreferences& preferences) {
    AnnotationToolOptions options;
    const auto width = [&](const std::optional<double>& family) {
        return normalizedStrokeWidth(
            family.value_or(preferences.lastAnnotationStrokeWidth.value_or(defaultStrokeWidth)));
    };
    options.selectedShapeStrokeWidth = width(preferences.lastShapeAnnotationStrokeWidth);
    options.selectedArrowStrokeWidth = width(preferences.lastArrowAnnotationStrokeWidth);
    options.selectedLineStrokeWidth = width(preferences.lastLineAnnotationStrokeWidth);
    options.selectedBrushStrokeWidth = width(preferences.lastBrushAnnotationStrokeWidth);
    options.selectedTextFontSize =
        snappedFontSize(preferences.lastAnnotationTextFontSize.value_or(defaultTextFontSize));
    if (preferences.lastAnnotationColorHex) {
        const auto hex = AnnotationColorHistory::normalizedHex(*preferences.lastAnnotationColorHex);
        if (const auto color = hex ? BackgroundColorPickerLogic::colorFromHex(*hex) : std::nullopt) {
            options.selectedColor = *color;
        }
    }
    return options;
}

} // namespace brisklet
