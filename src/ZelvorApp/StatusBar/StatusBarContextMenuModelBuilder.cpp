#include "ZelvorApp/StatusBar/StatusBarContextMenuModelBuilder.h"

#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorApp/Hotkeys/HotkeyDesktopText.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/Foundation/Utf8.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <array>
#include <utility>

namespace brisklet {

namespace {

constexpr int commandFlag = 0x100000;
constexpr int shiftFlag = 0x20000;
constexpr int optionFlag = 0x80000;
constexpr int controlFlag = 0x40000;

std::string utf8(char32_t scalar) {
    std::string out;
    utf8::appendUtf8(out, scalar);
    return out;
}

/// The menu key characters of the named keys (the platform's function-key range for the rest).
std::string keyEquivalent(const std::string& token) {
    if (token.size() == 1) {
        const char c = token[0];
        return std::string(1, c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c);
    }
    if (token == "TAB") {
        return "\t";
    }
    if (token == "SPACE") {
        return " ";
    }
    if (token.size() >= 2 && token[0] == 'F' && token.find_first_not_of("0123456789", 1) == std::string::npos) {
        const int number = std::stoi(token.substr(1));
        if (number >= 1 && number <= 20) {
            return utf8(0xF704 + static_cast<char32_t>(number - 1));
        }
    }
    static constexpr std::array<std::pair<std::string_view, char32_t>, 10> named{{
        {"RETURN", U'\r'},
        {"ENTER", U'\r'},
        {"DELETE", 0x08},
        {"FORWARD_DELETE", 0xF728},
        {"ESC", 0x1B},
        {"UP", 0xF700},
        {"DOWN", 0xF701},
        {"LEFT", 0xF702},
        {"RIGHT", 0xF703},
        {"PRINT", 0xF738},
    }};
    for (const auto& [name, scalar] : named) {
        if (name == token) {
            return utf8(scalar);
        }
    }
    return {};
}

StatusBarContextMenuItem item(const LocalizationStore& text, L10nKey title, StatusBarContextMenuAction action,
                              const char* icon, std::optional<StatusBarContextMenuShortcut> shortcut = std::nullopt) {
    StatusBarContextMenuItem entry;
    entry.title = text.text(title);
    entry.action = action;
    entry.iconName = icon;
    entry.shortcut = std::move(shortcut);
    return entry;
}

} // namespace

StatusBarContextMenuModelBuilder::StatusBarContextMenuModelBuilder(AppViewState state, const AppPreferences& preferences,
                                                                   const LocalizationStore& localization)
    : state_(state), preferences_(preferences), localization_(localization) {}

std::optional<StatusBarContextMenuShortcut>
StatusBarContextMenuModelBuilder::shortcut(const HotkeyConfiguration& configuration) {
    const std::string token = normalizedHotkeyToken(configuration.key);
    if (token.empty()) {
        return std::nullopt;
    }
    const HotkeyModifiers& modifiers = configuration.modifiers;
    int mask = 0;
    mask |= modifiers.contains(HotkeyModifiers::command) ? commandFlag : 0;
    mask |= modifiers.contains(HotkeyModifiers::shift) ? shiftFlag : 0;
    mask |= modifiers.contains(HotkeyModifiers::option) ? optionFlag : 0;
    mask |= modifiers.contains(HotkeyModifiers::control) ? controlFlag : 0;
    return StatusBarContextMenuShortcut{keyEquivalent(token), mask, configuration.displayValue(),
                                        HotkeyDesktopText::text(configuration)};
}

std::vector<StatusBarContextMenuItem> StatusBarContextMenuModelBuilder::captureGroup() const {
    using A = StatusBarContextMenuAction;
    const LocalizationStore& t = localization_;
    switch (state_) {
    case AppViewState::capturingLongshot:
    case AppViewState::pausedLongshot:
    case AppViewState::recordingGif:
    case AppViewState::pausedGif:
        return {item(t, L10nKey::contextMenuStopCurrentOperation, A::stopActiveOperation, "stop.circle")};
    default:
        break;
    }
    const AppPreferences& p = preferences_;
    return {
        item(t, L10nKey::actionScreenshot, A::startScreenshot, "camera.viewfinder", shortcut(p.screenshotHotkey)),
        item(t, L10nKey::contextMenuQuickScreenshot, A::startFloatingScreenshot, "rectangle.stack.badge.plus",
             shortcut(p.floatingScreenshotHotkey)),
        item(t, L10nKey::actionTextRecognitionScreenshot, A::startTextRecognitionScreenshot, "text.viewfinder",
             shortcut(p.textRecognitionScreenshotHotkey)),
        item(t, L10nKey::actionTranslateScreenshot, A::startTranslateScreenshot, "translate",
             shortcut(p.translateScreenshotHotkey)),
        item(t, L10nKey::actionLongshot, A::startLongshot, "rectangle.stack", shortcut(p.longshotHotkey)),
        item(t, L10nKey::actionGifRegion, A::startGIFRegion, "record.circle", shortcut(p.gifRegionHotkey)),
        item(t, L10nKey::actionGifWindow, A::startGIFWindow, "macwindow", shortcut(p.gifWindowHotkey)),
        item(t, L10nKey::actionSuperScreenshot, A::startSuperScreenshot, "sparkles.rectangle.stack"),
    };
}

std::vector<StatusBarContextMenuItem> StatusBarContextMenuModelBuilder::items() const {
    using A = StatusBarContextMenuAction;
    const LocalizationStore& t = localization_;
    std::vector<StatusBarContextMenuItem> items = captureGroup();
    items.push_back(StatusBarContextMenuItem::separator());
    items.push_back(item(t, L10nKey::actionOpenVisualLibrary, A::openVisualLibrary, "square.grid.2x2",
                         shortcut(preferences_.visualLibraryHotkey)));
    items.push_back(item(t, L10nKey::menuOpenSaveDirectory, A::openDefaultDirectory, "folder"));
    items.push_back(StatusBarContextMenuItem::separator());
    items.push_back(item(t, L10nKey::contextMenuPreferences, A::openSettings, "gearshape"));
    items.push_back(item(t, L10nKey::settingsCheckForUpdates, A::checkForUpdates, "arrow.triangle.2.circlepath"));
    items.push_back(item(t, L10nKey::contextMenuQuitBrisklet, A::quit, "power",
                         StatusBarContextMenuShortcut{"q", commandFlag, "⌘Q", "Ctrl+Q"}));
    return items;
}

} // namespace brisklet
