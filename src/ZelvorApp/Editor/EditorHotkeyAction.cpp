#include "ZelvorApp/Editor/EditorHotkeyAction.h"

#include "ZelvorCore/Models/AppPreferences.h"

#include <cctype>

namespace brisklet {

const HotkeyConfiguration& editorHotkeyConfiguration(EditorHotkeyAction action, const AppPreferences& preferences) {
    switch (action) {
    case EditorHotkeyAction::pin:
        return preferences.editorPinHotkey;
    case EditorHotkeyAction::copy:
        return preferences.editorCopyHotkey;
    case EditorHotkeyAction::save:
        return preferences.editorSaveHotkey;
    case EditorHotkeyAction::ocr:
        return preferences.editorOCRHotkey;
    case EditorHotkeyAction::translate:
        return preferences.editorTranslateHotkey;
    }
    return preferences.editorPinHotkey;
}

std::string normalizedHotkeyToken(std::string_view key) {
    const auto isSpace = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (!key.empty() && isSpace(key.front())) {
        key.remove_prefix(1);
    }
    while (!key.empty() && isSpace(key.back())) {
        key.remove_suffix(1);
    }
    std::string token;
    for (char c : key) {
        token.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    }
    return token;
}

std::optional<EditorHotkeyAction> matchEditorHotkey(const EditorKeyEvent& event, const AppPreferences& preferences) {
    const std::string token = normalizedHotkeyToken(event.token);
    if (token.empty()) {
        return std::nullopt;
    }
    for (const auto action : allCases<EditorHotkeyAction>()) {
        const HotkeyConfiguration& configuration = editorHotkeyConfiguration(action, preferences);
        if (normalizedHotkeyToken(configuration.key) == token && configuration.modifiers == event.modifiers) {
            return action;
        }
    }
    return std::nullopt;
}

} // namespace brisklet
