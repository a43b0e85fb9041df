#include "ZelvorApp/Editor/EditorToolbarItems.h"

#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorApp/Editor/ScreenshotEditorModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <array>
#include <utility>

namespace brisklet {

namespace {

using Command = EditorToolbarCommand;
using Group = EditorToolbarGroup;

EditorToolbarItem toolItem(AnnotationTool tool, L10nKey title, std::string_view symbol) {
    return {Command::tool, tool, title, symbol, Group::tools};
}

EditorToolbarItem commandItem(Command command, L10nKey title, std::string_view symbol, Group group) {
    return {command, std::nullopt, title, symbol, group};
}

/// The single keys of the tools, as the peer tools on the desktop assign them.
struct ToolKey {
    std::string_view token;
    EditorToolShortcut shortcut;
};

const std::array<ToolKey, 10>& toolKeys() {
    static const std::array<ToolKey, 10> keys{{
        {"R", {AnnotationTool::shape(), ShapeKind::rectangle}},
        {"E", {AnnotationTool::shape(), ShapeKind::ellipse}},
        {"A", {AnnotationTool::arrow(), std::nullopt}},
        {"L", {AnnotationTool::line(), std::nullopt}},
        {"B", {AnnotationTool::redaction(), std::nullopt}},
        {"P", {AnnotationTool::stroke(StrokeMode::brush), std::nullopt}},
        {"H", {AnnotationTool::stroke(StrokeMode::highlighter), std::nullopt}},
        {"T", {AnnotationTool::text(), std::nullopt}},
        {"N", {AnnotationTool::number(), std::nullopt}},
        {"V", {std::nullopt, std::nullopt}},
    }};
    return keys;
}

std::optional<EditorHotkeyAction> hotkeyAction(Command command) {
    switch (command) {
    case Command::copy:
        return EditorHotkeyAction::copy;
    case Command::translate:
        return EditorHotkeyAction::translate;
    case Command::textRecognition:
        return EditorHotkeyAction::ocr;
    case Command::pin:
        return EditorHotkeyAction::pin;
    case Command::save:
        return EditorHotkeyAction::save;
    default:
        return std::nullopt;
    }
}

} // namespace

namespace EditorToolbarItems {

const std::vector<EditorToolbarItem>& primary() {
    static const std::vector<EditorToolbarItem> items{
        toolItem(AnnotationTool::shape(), L10nKey::toolShape, "square"),
        toolItem(AnnotationTool::arrow(), L10nKey::toolArrow, "arrow.up.right"),
        toolItem(AnnotationTool::line(), L10nKey::toolLine, "line.diagonal"),
        toolItem(AnnotationTool::redaction(), L10nKey::toolRedaction, "eye.slash"),
        toolItem(AnnotationTool::stroke(StrokeMode::brush), L10nKey::toolBrush, "paintbrush"),
        toolItem(AnnotationTool::stroke(StrokeMode::highlighter), L10nKey::toolHighlighter, "highlighter"),
        toolItem(AnnotationTool::text(), L10nKey::toolText, "textformat"),
        toolItem(AnnotationTool::number(), L10nKey::toolNumber, "1.circle"),
        commandItem(Command::style, L10nKey::toolbarStyle, "paintpalette", Group::editing),
        commandItem(Command::undo, L10nKey::toolbarUndo, "arrow.uturn.backward", Group::editing),
        commandItem(Command::background, L10nKey::toolbarBackground, "photo.on.rectangle", Group::output),
        commandItem(Command::copy, L10nKey::toolbarCopy, "doc.on.doc", Group::output),
        commandItem(Command::translate, L10nKey::toolbarTranslate, "translate", Group::output),
        commandItem(Command::textRecognition, L10nKey::toolbarTextRecognition, "text.viewfinder", Group::output),
        commandItem(Command::pin, L10nKey::toolbarPin, "pin", Group::output),
        commandItem(Command::save, L10nKey::toolbarSave, "square.and.arrow.down", Group::closing),
        commandItem(Command::cancel, L10nKey::toolbarCancel, "xmark", Group::closing),
    };
    return items;
}

const EditorToolbarItem* itemForTool(const AnnotationTool& tool) {
    for (const auto& item : primary()) {
        if (item.tool == tool) {
            return &item;
        }
    }
    return nullptr;
}

std::vector<HotkeyConfiguration> shortcuts(const EditorToolbarItem& item, const AppPreferences& preferences) {
    if (item.command == Command::tool) {
        std::vector<HotkeyConfiguration> keys;
        for (const auto& key : toolKeys()) {
            if (key.shortcut.tool && key.shortcut.tool == item.tool) {
                keys.push_back({std::string(key.token), {}});
            }
        }
        return keys;
    }
    if (item.command == Command::undo) {
        return {{"Z", {HotkeyModifiers::command}}};
    }
    if (item.command == Command::cancel) {
        return {{"ESC", {}}};
    }
    if (const auto action = hotkeyAction(item.command)) {
        const HotkeyConfiguration& configured = editorHotkeyConfiguration(*action, preferences);
        if (!normalizedHotkeyToken(configured.key).empty()) {
            return {configured};
        }
    }
    return {};
}

std::string tooltip(const EditorToolbarItem& item, const LocalizationStore& localization,
                    const AppPreferences& preferences, const EditorShortcutFormatter& format) {
    std::string text = localization.text(item.title);
    std::string keys;
    for (const auto& shortcut : shortcuts(item, preferences)) {
        const std::string shown = format(shortcut);
        if (!shown.empty()) {
            keys += (keys.empty() ? "" : ", ") + shown;
        }
    }
    return keys.empty() ? text : text + " (" + keys + ")";
}

std::optional<EditorToolShortcut> toolForShortcutKey(std::string_view token) {
    const std::string normalized = normalizedHotkeyToken(token);
    for (const auto& key : toolKeys()) {
        if (key.token == normalized) {
            return key.shortcut;
        }
    }
    return std::nullopt;
}

std::optional<EditorToolShortcut> toolAfterShortcut(const std::optional<AnnotationTool>& current,
                                                    ShapeKind currentShapeKind, std::string_view token) {
    auto shortcut = toolForShortcutKey(token);
    if (!shortcut || !shortcut->tool || shortcut->tool != current) {
        return shortcut;
    }
    if (shortcut->shapeKind && *shortcut->shapeKind != currentShapeKind) {
        return shortcut; // the shape stays; only its kind changes
    }
    return EditorToolShortcut{};
}

std::optional<AnnotationTool> toolAfterClick(const std::optional<AnnotationTool>& current,
                                             const AnnotationTool& clicked) {
    if (current == clicked) {
        return std::nullopt;
    }
    return clicked;
}

EditorToolbarItemState itemState(const EditorToolbarItem& item, const EditorToolbarState& state,
                                 const EditorToolbarContext& context) {
    switch (item.command) {
    case Command::tool:
        return {true, item.tool == state.selectedTool, true};
    case Command::undo:
        return {false, false, state.canUndo};
    case Command::background:
        return {true, context.backgroundOn, context.backgroundAvailable};
    case Command::translate:
        return {false, false, context.translationAvailable};
    case Command::textRecognition:
        return {true, context.textRecognitionSelected, context.textRecognitionAvailable};
    case Command::pin:
        return {false, false, context.pinAvailable};
    default:
        return {false, false, true};
    }
}

std::vector<EditorSecondaryControl> secondaryControls(const std::optional<AnnotationTool>& tool) {
    using Control = EditorSecondaryControl;
    if (!tool) {
        return {};
    }
    switch (tool->kind) {
    case AnnotationTool::Kind::shape:
        return {Control::shapeKind, Control::shapeFill, Control::strokeWidth};
    case AnnotationTool::Kind::arrow:
        return {Control::arrowStyle, Control::strokeWidth};
    case AnnotationTool::Kind::line:
        return {Control::strokeWidth};
    case AnnotationTool::Kind::redaction:
        return {Control::redactionMode};
    case AnnotationTool::Kind::stroke:
        return tool->widthFamily() ? std::vector{Control::strokeWidth} : std::vector<Control>{};
    case AnnotationTool::Kind::text:
        return {Control::fontSize};
    case AnnotationTool::Kind::number:
        return {};
    }
    return {};
}

} // namespace EditorToolbarItems

} // namespace brisklet
