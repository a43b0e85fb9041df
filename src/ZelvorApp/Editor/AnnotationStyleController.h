#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorApp/Editor/AnnotationTool.h"
#include "ZelvorApp/Editor/AnnotationToolOptions.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

struct AppPreferences;
class AnnotationDocument;
class TextEditSession;

/// Applies a change to the application's preferences and saves them.
using PreferencesUpdater = std::function<void(const std::function<void(AppPreferences&)>&)>;

/// The style side of the editor: the options new annotations take, restyling the selection, the
/// recent colours, and remembering every choice in the preferences for the next editor.
class AnnotationStyleController {
public:
    AnnotationStyleController(const AppPreferences& preferences, AnnotationDocument& document,
                              TextEditSession& textEdit, PreferencesUpdater updatePreferences);

    const AnnotationToolOptions& options() const { return options_; }
    const std::vector<StoredColor>& recentColors() const { return recentColors_; }
    bool enhanceAnnotationColors() const { return enhanceColors_; }

    void selectShapeKind(ShapeKind kind) { options_.selectedShapeKind = kind; }
    void selectShapeFillMode(ShapeFillMode mode) { options_.selectedShapeFillMode = mode; }
    void selectArrowStyle(ArrowStyle style) { options_.selectedArrowStyle = style; }
    void selectRedactionMode(RedactionMode mode) { options_.selectedRedactionMode = mode; }
    void setEnhanceAnnotationColors(bool on);

    /// Rounds and clamps `width` to 1...20 and makes it the width of the selected item's family
    /// (else the current tool's); a selected item with a width is re-created with it (one
    /// replace, only when it changes). The width is remembered for the family.
    void selectAnnotationStrokeWidth(double width, std::optional<AnnotationTool> tool);
    /// Snaps `size` to a supported size and applies it to the edited or selected text likewise.
    void selectTextFontSize(double size);

    /// Shows `color` on the edited or selected text while the colour picker is open, recording
    /// nothing yet.
    void previewColor(const StoredColor& color);
    /// Drops a preview: the selected text gets its colour back.
    void cancelColorPreview();
    /// Makes `color` the colour of new annotations, remembers it (and in the recent colours) and
    /// recolours the edited or selected text, recorded once. Shapes and other kinds keep theirs.
    void selectColor(const StoredColor& color);

private:
    const AnnotationItem* selectedText() const;
    void recolorText(const StoredColor& color);
    void persist(const std::function<void(AppPreferences&)>& change);

    AnnotationDocument& document_;
    TextEditSession& textEdit_;
    PreferencesUpdater updatePreferences_;
    AnnotationToolOptions options_;
    std::vector<std::string> recentHexes_;
    std::vector<StoredColor> recentColors_;
    bool enhanceColors_ = false;
    /// The selected text as it was before the picker started previewing on it.
    std::optional<AnnotationItem> previewOriginal_;
};

} // namespace brisklet
