#include "ZelvorApp/Hotkeys/GlobalHotkeyTable.h"

#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorCore/Models/AppPreferences.h"

namespace brisklet {

std::uint32_t GlobalHotkeyTable::hotkeyId(GlobalHotkeyAction action) {
    switch (action) {
    case GlobalHotkeyAction::longshot:
        return 1;
    case GlobalHotkeyAction::gifRegion:
        return 2;
    case GlobalHotkeyAction::gifWindow:
        return 3;
    case GlobalHotkeyAction::screenshot:
        return 4;
    case GlobalHotkeyAction::appPanel:
        return 5;
    case GlobalHotkeyAction::visualLibrary:
        return 6;
    case GlobalHotkeyAction::textRecognitionScreenshot:
        return 7;
    case GlobalHotkeyAction::translateScreenshot:
        return 8;
    case GlobalHotkeyAction::pinClipboardText:
        return 9;
    case GlobalHotkeyAction::floatingScreenshot:
        return 10;
    }
    return 0;
}

std::optional<GlobalHotkeyAction> GlobalHotkeyTable::action(std::uint32_t id) {
    for (const auto candidate : allCases<GlobalHotkeyAction>()) {
        if (hotkeyId(candidate) == id) {
            return candidate;
        }
    }
    return std::nullopt;
}

const HotkeyConfiguration& GlobalHotkeyTable::configuration(GlobalHotkeyAction action, const AppPreferences& preferences) {
    switch (action) {
    case GlobalHotkeyAction::screenshot:
        return preferences.screenshotHotkey;
    case GlobalHotkeyAction::floatingScreenshot:
        return preferences.floatingScreenshotHotkey;
    case GlobalHotkeyAction::textRecognitionScreenshot:
        return preferences.textRecognitionScreenshotHotkey;
    case GlobalHotkeyAction::translateScreenshot:
        return preferences.translateScreenshotHotkey;
    case GlobalHotkeyAction::pinClipboardText:
        return preferences.pinClipboardTextHotkey;
    case GlobalHotkeyAction::longshot:
        return preferences.longshotHotkey;
    case GlobalHotkeyAction::gifRegion:
        return preferences.gifRegionHotkey;
    case GlobalHotkeyAction::gifWindow:
        return preferences.gifWindowHotkey;
    case GlobalHotkeyAction::appPanel:
        return preferences.appPanelHotkey;
    case GlobalHotkeyAction::visualLibrary:
        return preferences.visualLibraryHotkey;
    }
    return preferences.screenshotHotkey;
}

std::optional<GlobalHotkeyAction> GlobalHotkeyTable::actionFor(const HotkeyConfiguration& combination,
                                                               const AppPreferences& preferences,
                                                               std::optional<GlobalHotkeyAction> except) {
    const std::string token = normalizedHotkeyToken(combination.key);
    if (token.empty()) {
        return std::nullopt;
    }
    for (const auto action : allCases<GlobalHotkeyAction>()) {
        const HotkeyConfiguration& candidate = configuration(action, preferences);
        if (action != except && normalizedHotkeyToken(candidate.key) == token &&
            candidate.modifiers == combination.modifiers) {
            return action;
        }
    }
    return std::nullopt;
}

} // namespace brisklet
