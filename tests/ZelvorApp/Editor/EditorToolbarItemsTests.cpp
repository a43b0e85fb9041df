#include "ZelvorApp/Editor/EditorToolbarItems.h"

#include "ZelvorApp/Editor/ScreenshotEditorModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <gtest/gtest.h>

#include <set>

namespace brisklet {
namespace {

using Command = EditorToolbarCommand;
using Control = EditorSecondaryControl;

const EditorToolbarItem& itemFor(Command command) {
    for (const auto& item : EditorToolbarItems::primary()) {
        if (item.command == command) {
            return item;
        }
    }
    throw std::logic_error("no such toolbar item");
}

/// Shows combinations in their stored glyph form, so a test can tell which one was formatted.
std::string glyphs(const HotkeyConfiguration& configuration) {
    return configuration.displayValue();
}

TEST(EditorToolbarItemsTest, ToolsComeFirstInToolbarOrderThenTheCommandsInTheirGroups) {
    const auto& items = EditorToolbarItems::primary();
    const auto tools = AnnotationTool::toolbarOrder();
    ASSERT_EQ(items.size(), tools.size() + 9);
    for (std::size_t i = 0; i < tools.size(); ++i) {
        EXPECT_EQ(items[i].command, Command::tool);
        EXPECT_EQ(items[i].tool, tools[i]) << "position " << i;
        EXPECT_EQ(EditorToolbarItems::itemForTool(tools[i]), &items[i]);
    }
    const std::vector<Command> commands{Command::style, Command::undo,      Command::background,
                                        Command::copy,  Command::translate, Command::textRecognition,
                                        Command::pin,   Command::save,      Command::cancel};
    std::set<std::string_view> symbols;
    std::set<L10nKey> titles;
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i >= tools.size()) {
            EXPECT_EQ(items[i].command, commands[i - tools.size()]);
            EXPECT_FALSE(items[i].tool);
        }
        EXPECT_FALSE(items[i].symbol.empty());
        symbols.insert(items[i].symbol);
        titles.insert(items[i].title);
        if (i > 0) {
            EXPECT_GE(items[i].group, items[i - 1].group) << "groups never interleave";
        }
    }
    EXPECT_EQ(symbols.size(), items.size()) << "every button has its own icon";
    EXPECT_EQ(titles.size(), items.size()) << "and its own title";
    EXPECT_EQ(itemFor(Command::style).group, EditorToolbarGroup::editing);
    EXPECT_EQ(itemFor(Command::undo).group, EditorToolbarGroup::editing);
    EXPECT_EQ(itemFor(Command::pin).group, EditorToolbarGroup::output);
    EXPECT_EQ(itemFor(Command::save).group, EditorToolbarGroup::closing);
}

TEST(EditorToolbarItemsTest, TooltipsNameTheItemAndItsShortcuts) {
    const LocalizationStore english([] { return std::vector<std::string>{"en"}; });
    AppPreferences preferences = AppPreferences::defaults();
    preferences.editorSaveHotkey = {" s ", {HotkeyModifiers::command | HotkeyModifiers::shift}};
    preferences.editorPinHotkey = {"", {}};
    const auto tooltip = [&](const EditorToolbarItem& item) {
        return EditorToolbarItems::tooltip(item, english, preferences, glyphs);
    };

    EXPECT_EQ(tooltip(itemFor(Command::save)),
              english.text(L10nKey::toolbarSave) + " (" + preferences.editorSaveHotkey.displayValue() + ")")
        << "the configured combination, not the default";
    EXPECT_EQ(tooltip(itemFor(Command::pin)), english.text(L10nKey::toolbarPin)) << "a cleared hotkey shows no keys";
    EXPECT_EQ(tooltip(itemFor(Command::copy)),
              english.text(L10nKey::toolbarCopy) + " (" + glyphs(preferences.editorCopyHotkey) + ")");
    EXPECT_EQ(tooltip(itemFor(Command::textRecognition)),
              english.text(L10nKey::toolbarTextRecognition) + " (" + glyphs(preferences.editorOCRHotkey) + ")");
    EXPECT_EQ(tooltip(itemFor(Command::translate)),
              english.text(L10nKey::toolbarTranslate) + " (" + glyphs(preferences.editorTranslateHotkey) + ")");
    EXPECT_EQ(tooltip(itemFor(Command::undo)),
              english.text(L10nKey::toolbarUndo) + " (" + glyphs({"Z", {HotkeyModifiers::command}}) + ")");
    EXPECT_EQ(tooltip(itemFor(Command::cancel)),
              english.text(L10nKey::toolbarCancel) + " (" + glyphs({"ESC", {}}) + ")");
    EXPECT_EQ(tooltip(itemFor(Command::style)), english.text(L10nKey::toolbarStyle));
    EXPECT_EQ(tooltip(*EditorToolbarItems::itemForTool(AnnotationTool::shape())),
              english.text(L10nKey::toolShape) + " (R, E)");
    EXPECT_EQ(tooltip(*EditorToolbarItems::itemForTool(AnnotationTool::stroke(StrokeMode::highlighter))),
              english.text(L10nKey::toolHighlighter) + " (H)");
    EXPECT_EQ(tooltip(*EditorToolbarItems::itemForTool(AnnotationTool::number())),
              english.text(L10nKey::toolNumber) + " (N)");
}

TEST(EditorToolbarItemsTest, EveryToolHasOneKeyThatSelectsItAndItsTooltipShowsThatKey) {
    const AppPreferences preferences = AppPreferences::defaults();
    for (const auto& tool : AnnotationTool::toolbarOrder()) {
        const auto keys = EditorToolbarItems::shortcuts(*EditorToolbarItems::itemForTool(tool), preferences);
        ASSERT_FALSE(keys.empty()) << tool.logName();
        for (const auto& key : keys) {
            EXPECT_EQ(key.modifiers.rawValue, 0);
            const auto shortcut = EditorToolbarItems::toolForShortcutKey(key.key);
            ASSERT_TRUE(shortcut) << key.key;
            EXPECT_EQ(shortcut->tool, tool) << key.key;
        }
    }
}

TEST(EditorToolbarItemsTest, ShortcutKeysSelectToolsAndShapeKinds) {
    using EditorToolbarItems::toolForShortcutKey;
    EXPECT_EQ(toolForShortcutKey("R"), (EditorToolShortcut{AnnotationTool::shape(), ShapeKind::rectangle}));
    EXPECT_EQ(toolForShortcutKey(" e"), (EditorToolShortcut{AnnotationTool::shape(), ShapeKind::ellipse}))
        << "tokens are compared like stored hotkeys";
    EXPECT_EQ(toolForShortcutKey("p"), (EditorToolShortcut{AnnotationTool::stroke(StrokeMode::brush), {}}));
    EXPECT_EQ(toolForShortcutKey("H"), (EditorToolShortcut{AnnotationTool::stroke(StrokeMode::highlighter), {}}));
    EXPECT_EQ(toolForShortcutKey("B"), (EditorToolShortcut{AnnotationTool::redaction(), {}}));
    EXPECT_EQ(toolForShortcutKey("V"), EditorToolShortcut{}) << "V puts the tool down";
    EXPECT_FALSE(toolForShortcutKey("Q"));
    EXPECT_FALSE(toolForShortcutKey("ESC"));
    EXPECT_FALSE(toolForShortcutKey(""));
}

TEST(EditorToolbarItemsTest, TheCurrentToolsKeyOrButtonPutsItDown) {
    using EditorToolbarItems::toolAfterShortcut;
    const auto arrow = AnnotationTool::arrow();
    EXPECT_EQ(toolAfterShortcut(arrow, ShapeKind::rectangle, "A"), EditorToolShortcut{});
    EXPECT_EQ(toolAfterShortcut(std::nullopt, ShapeKind::rectangle, "A"), (EditorToolShortcut{arrow, {}}));
    EXPECT_EQ(toolAfterShortcut(AnnotationTool::line(), ShapeKind::rectangle, "A"), (EditorToolShortcut{arrow, {}}));
    EXPECT_EQ(toolAfterShortcut(AnnotationTool::shape(), ShapeKind::rectangle, "R"), EditorToolShortcut{});
    EXPECT_EQ(toolAfterShortcut(AnnotationTool::shape(), ShapeKind::rectangle, "E"),
              (EditorToolShortcut{AnnotationTool::shape(), ShapeKind::ellipse}))
        << "the other shape key switches the kind and keeps the tool";
    EXPECT_EQ(toolAfterShortcut(std::nullopt, ShapeKind::rectangle, "V"), EditorToolShortcut{});
    EXPECT_FALSE(toolAfterShortcut(arrow, ShapeKind::rectangle, "Q"));

    using EditorToolbarItems::toolAfterClick;
    const auto brush = AnnotationTool::stroke(StrokeMode::brush);
    const auto highlighter = AnnotationTool::stroke(StrokeMode::highlighter);
    EXPECT_EQ(toolAfterClick(std::nullopt, brush), brush);
    EXPECT_EQ(toolAfterClick(brush, brush), std::nullopt);
    EXPECT_EQ(toolAfterClick(brush, highlighter), highlighter) << "two stroke modes are different tools";
}

TEST(EditorToolbarItemsTest, ItemStatesFollowTheModelAndTheWindow) {
    using EditorToolbarItems::itemState;
    EditorToolbarState state;
    state.selectedTool = AnnotationTool::text();
    EditorToolbarContext context;
    const auto& textItem = *EditorToolbarItems::itemForTool(AnnotationTool::text());
    const auto& numberItem = *EditorToolbarItems::itemForTool(AnnotationTool::number());
    EXPECT_EQ(itemState(textItem, state, context), (EditorToolbarItemState{true, true, true}));
    EXPECT_EQ(itemState(numberItem, state, context), (EditorToolbarItemState{true, false, true}));
    EXPECT_FALSE(itemState(itemFor(Command::undo), state, context).enabled);
    EXPECT_FALSE(itemState(itemFor(Command::background), state, context).checked);
    EXPECT_TRUE(itemState(itemFor(Command::translate), state, context).enabled);

    state.canUndo = true;
    context = {};
    context.backgroundOn = true;
    context.translationAvailable = false;
    context.textRecognitionSelected = true;
    EXPECT_TRUE(itemState(itemFor(Command::undo), state, context).enabled);
    EXPECT_EQ(itemState(itemFor(Command::background), state, context), (EditorToolbarItemState{true, true, true}));
    EXPECT_FALSE(itemState(itemFor(Command::translate), state, context).enabled);
    EXPECT_EQ(itemState(itemFor(Command::textRecognition), state, context), (EditorToolbarItemState{true, true, true}));
    EXPECT_EQ(itemState(itemFor(Command::save), state, context), (EditorToolbarItemState{false, false, true}));

    context.backgroundAvailable = false;
    context.textRecognitionAvailable = false;
    EXPECT_FALSE(itemState(itemFor(Command::background), state, context).enabled) << "nothing to offer, no button";
    EXPECT_FALSE(itemState(itemFor(Command::textRecognition), state, context).enabled);
    context.pinAvailable = false;
    EXPECT_FALSE(itemState(itemFor(Command::pin), state, context).enabled);
}

TEST(EditorToolbarItemsTest, SecondaryControlsBelongToTheSelectedTool) {
    using EditorToolbarItems::secondaryControls;
    EXPECT_EQ(secondaryControls(AnnotationTool::shape()),
              (std::vector{Control::shapeKind, Control::shapeFill, Control::strokeWidth}));
    EXPECT_EQ(secondaryControls(AnnotationTool::arrow()), (std::vector{Control::arrowStyle, Control::strokeWidth}));
    EXPECT_EQ(secondaryControls(AnnotationTool::line()), std::vector{Control::strokeWidth});
    EXPECT_EQ(secondaryControls(AnnotationTool::stroke(StrokeMode::brush)), std::vector{Control::strokeWidth});
    EXPECT_EQ(secondaryControls(AnnotationTool::redaction()), std::vector{Control::redactionMode});
    EXPECT_EQ(secondaryControls(AnnotationTool::text()), std::vector{Control::fontSize});
    EXPECT_TRUE(secondaryControls(AnnotationTool::stroke(StrokeMode::highlighter)).empty())
        << "a highlighter's width is fixed";
    EXPECT_TRUE(secondaryControls(AnnotationTool::number()).empty());
    EXPECT_TRUE(secondaryControls(std::nullopt).empty());
}

} // namespace
} // namespace brisklet
