#pragma once

#include "ZelvorApp/Editor/AnnotationStyles.h"
#include "ZelvorApp/Editor/AnnotationTool.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Models/HotkeyConfiguration.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

struct AppPreferences;
struct EditorToolbarState;
class LocalizationStore;

/// What a button of the editor's primary toolbar does.
enum class EditorToolbarCommand {
    tool,
    style,
    undo,
    background,
    copy,
    translate,
    textRecognition,
    pin,
    save,
    cancel,
};

/// The groups the toolbar separates: the tools | style, undo | background … pin | save, cancel.
enum class EditorToolbarGroup { tools, editing, output, closing };

/// One button of the primary toolbar.
struct EditorToolbarItem {
    EditorToolbarCommand command = EditorToolbarCommand::tool;
    std::optional<AnnotationTool> tool; ///< set for `command == tool` only
    L10nKey title = L10nKey::toolShape;
    std::string_view symbol; ///< the icon's symbol name ("square", "arrow.up.right", …)
    EditorToolbarGroup group = EditorToolbarGroup::tools;
};

/// What a plain key press selects: a tool (for R and E a shape of that kind), or no tool at all.
struct EditorToolShortcut {
    std::optional<AnnotationTool> tool;
    std::optional<ShapeKind> shapeKind;
    bool operator==(const EditorToolShortcut&) const = default;
};

/// What the toolbar shows beyond the model's own state; the window knows these.
struct EditorToolbarContext {
    bool backgroundOn = false;
    /// Whether the window offers the feature behind the button at all.
    bool backgroundAvailable = true;
    bool textRecognitionAvailable = true;
    bool translationAvailable = true;
    bool pinAvailable = true;
    /// Classic text recognition or live text is shown instead of the annotations.
    bool textRecognitionSelected = false;
};

/// How one button looks at the moment.
struct EditorToolbarItemState {
    bool checkable = false;
    bool checked = false;
    bool enabled = true;
    bool operator==(const EditorToolbarItemState&) const = default;
};

/// The secondary toolbar's controls for the selected tool, in the order they are shown.
enum class EditorSecondaryControl { shapeKind, shapeFill, arrowStyle, redactionMode, strokeWidth, fontSize };

/// Turns a combination into the text a tooltip shows ("Ctrl+S"); the shell passes
/// `HotkeyDesktopText::text`.
using EditorShortcutFormatter = std::function<std::string(const HotkeyConfiguration&)>;

/// The editor's primary toolbar as data: its buttons in order, their titles, icons and
/// shortcuts, the single-key tool shortcuts, and the controls the secondary toolbar offers.
namespace EditorToolbarItems {

/// The eight tools in toolbar order, then style, undo, background, copy, translate, text
/// recognition, pin, save and cancel.
const std::vector<EditorToolbarItem>& primary();

/// The item of a tool, or nothing for a tool the toolbar does not show.
const EditorToolbarItem* itemForTool(const AnnotationTool& tool);

/// The key combinations that trigger the item: the single keys of the tools (R and E for a
/// shape), Ctrl+Z for undo, Esc for cancel, and the configured editor hotkeys for copy,
/// translate, text recognition, pin and save. Empty when the item has none.
std::vector<HotkeyConfiguration> shortcuts(const EditorToolbarItem& item, const AppPreferences& preferences);

/// "Save (Ctrl+S)", "Shape (R, E)", or the title alone when there is no shortcut.
std::string tooltip(const EditorToolbarItem& item, const LocalizationStore& localization,
                    const AppPreferences& preferences, const EditorShortcutFormatter& format);

/// What the key selects when pressed without modifiers: R rectangle, E ellipse, A arrow, L line,
/// B redaction, P brush, H highlighter, T text, N number, V no tool. Nothing for other keys. The
/// token is compared the way stored hotkeys are (trimmed, upper-cased).
std::optional<EditorToolShortcut> toolForShortcutKey(std::string_view token);

/// Like `toolForShortcutKey`, but the key of the tool already in use puts it down again (for R
/// and E only when the shape already has that kind; otherwise the key switches the kind).
std::optional<EditorToolShortcut> toolAfterShortcut(const std::optional<AnnotationTool>& current,
                                                    ShapeKind currentShapeKind, std::string_view token);

/// A click on a tool's button: selects it, or puts it down when it is the current tool.
std::optional<AnnotationTool> toolAfterClick(const std::optional<AnnotationTool>& current,
                                             const AnnotationTool& clicked);

/// Checked for the current tool, the background when on and text recognition while shown;
/// undo enabled only with something to undo, translate only when translation is available.
EditorToolbarItemState itemState(const EditorToolbarItem& item, const EditorToolbarState& state,
                                 const EditorToolbarContext& context);

/// The controls for `tool`: shape kind, fill and width for shapes; style and width for arrows;
/// width for lines and brushes; the mode for redactions; the size for texts. None for the
/// highlighter (fixed width), numbers and no tool.
std::vector<EditorSecondaryControl> secondaryControls(const std::optional<AnnotationTool>& tool);

} // namespace EditorToolbarItems

} // namespace brisklet
