#include "ZelvorApp/Editor/AnnotationStyleController.h"

#include "ZelvorApp/Editor/AnnotationColorHistory.h"
#include "ZelvorApp/Editor/AnnotationColorPalette.h"
#include "ZelvorApp/Editor/AnnotationDocument.h"
#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"
#include "ZelvorApp/Editor/TextEditSession.h"
#include "ZelvorCore/Models/AppPreferences.h"

namespace brisklet {

namespace {

std::optional<AnnotationWidthFamily> familyOf(const AnnotationItem& item) {
    if (item.is<RectangleAnnotation>()) {
        return AnnotationWidthFamily::shape;
    }
    if (item.is<ArrowAnnotation>()) {
        return AnnotationWidthFamily::arrow;
    }
    if (item.is<LineAnnotation>()) {
        return AnnotationWidthFamily::line;
    }
    if (const auto* stroke = item.as<StrokeAnnotation>(); stroke && stroke->mode == StrokeMode::brush) {
        return AnnotationWidthFamily::brush;
    }
    return std::nullopt; // a highlighter keeps its fixed width
}

std::optional<double>& familyField(AppPreferences& p, AnnotationWidthFamily family) {
    switch (family) {
    case AnnotationWidthFamily::shape:
        return p.lastShapeAnnotationStrokeWidth;
    case AnnotationWidthFamily::arrow:
        return p.lastArrowAnnotationStrokeWidth;
    case AnnotationWidthFamily::line:
        return p.lastLineAnnotationStrokeWidth;
    case AnnotationWidthFamily::brush:
        return p.lastBrushAnnotationStrokeWidth;
    }
    return p.lastShapeAnnotationStrokeWidth;
}

} // namespace

AnnotationStyleController::AnnotationStyleController(const AppPreferences& preferences, AnnotationDocument& document,
                                                     TextEditSession& textEdit, PreferencesUpdater updatePreferences)
    : document_(document), textEdit_(textEdit), updatePreferences_(std::move(updatePreferences)),
      options_(AnnotationToolOptions::fromPreferences(preferences)),
      recentHexes_(preferences.recentAnnotationColorHexes),
      recentColors_(AnnotationColorHistory::recentColors(recentHexes_, AnnotationColorPalette::fixedColors)),
      enhanceColors_(preferences.enhanceAnnotationColors) {}

void AnnotationStyleController::persist(const std::function<void(AppPreferences&)>& change) {
    if (updatePreferences_) {
        updatePreferences_(change);
    }
}

void AnnotationStyleController::setEnhanceAnnotationColors(bool on) {
    enhanceColors_ = on;
    persist([on](AppPreferences& p) { p.enhanceAnnotationColors = on; });
}

void AnnotationStyleController::selectAnnotationStrokeWidth(double width, std::optional<AnnotationTool> tool) {
    const double w = AnnotationToolOptions::normalizedStrokeWidth(width);
    const AnnotationItem* selected = document_.selectedItem();
    const auto selectedFamily = selected ? familyOf(*selected) : std::nullopt;
    const auto family = selectedFamily ? selectedFamily : (tool ? tool->widthFamily() : std::nullopt);
    if (!family) {
        return;
    }
    options_.setStrokeWidth(*family, w);
    if (selectedFamily) {
        const AnnotationItem before = *selected;
        const AnnotationItem after = before.withLineWidth(w);
        if (!before.isEffectivelyEqual(after)) {
            document_.updateAnnotation(before.id(), after);
            document_.recordReplace(before, after);
        }
    }
    persist([family = *family, w](AppPreferences& p) { familyField(p, family) = w; });
}

void AnnotationStyleController::selectTextFontSize(double size) {
    const double s = AnnotationToolOptions::snappedFontSize(size);
    options_.selectedTextFontSize = s;
    if (textEdit_.isEditing()) {
        textEdit_.update([s](TextAnnotation& text) { text.fontSize = s; });
    } else if (const auto* item = selectedText()) {
        const AnnotationItem before = *item;
        TextAnnotation text = *before.as<TextAnnotation>();
        text.fontSize = s;
        document_.updateAnnotation(before.id(), text);
        document_.recordReplace(before, text);
    }
    persist([s](AppPreferences& p) { p.lastAnnotationTextFontSize = s; });
}

const AnnotationItem* AnnotationStyleController::selectedText() const {
    const auto* item = document_.selectedItem();
    return item && item->is<TextAnnotation>() ? item : nullptr;
}

void AnnotationStyleController::recolorText(const StoredColor& color) {
    if (textEdit_.isEditing()) {
        textEdit_.update([&](TextAnnotation& text) { text.color = color; });
    } else if (const auto* item = selectedText()) {
        TextAnnotation text = *item->as<TextAnnotation>();
        text.color = color;
        document_.updateAnnotation(text.id, text);
    }
}

void AnnotationStyleController::previewColor(const StoredColor& color) {
    if (!textEdit_.isEditing() && !previewOriginal_) {
        if (const auto* item = selectedText()) {
            previewOriginal_ = *item;
        }
    }
    recolorText(color);
}

void AnnotationStyleController::cancelColorPreview() {
    if (previewOriginal_) {
        document_.updateAnnotation(previewOriginal_->id(), *previewOriginal_);
        previewOriginal_.reset();
    }
}

void AnnotationStyleController::selectColor(const StoredColor& color) {
    options_.selectedColor = color;
    const std::optional<AnnotationItem> before =
        previewOriginal_ ? previewOriginal_ : (selectedText() ? std::optional(*selectedText()) : std::nullopt);
    previewOriginal_.reset();
    recolorText(color);
    if (!textEdit_.isEditing() && before) {
        if (const auto* after = document_.item(before->id())) {
            document_.recordReplace(*before, *after);
        }
    }
    recentHexes_ = AnnotationColorHistory::updatedRecentHexes(recentHexes_, color, AnnotationColorPalette::fixedColors);
    recentColors_ = AnnotationColorHistory::recentColors(recentHexes_, AnnotationColorPalette::fixedColors);
    persist([hex = BackgroundColorPickerLogic::hexString(color), recents = recentHexes_](AppPreferences& p) {
        p.lastAnnotationColorHex = hex;
        p.recentAnnotationColorHexes = recents;
    });
}

} // namespace brisklet
