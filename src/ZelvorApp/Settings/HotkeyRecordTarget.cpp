#include "ZelvorApp/Settings/HotkeyRecordTarget.h"

#include "ZelvorCore/Models/AppPreferences.h"

#include <array>

namespace brisklet {

namespace {

using Member = HotkeyConfiguration AppPreferences::*;

Member globalMember(GlobalHotkeyAction action) {
    static constexpr std::array<Member, 10> members{
        &AppPreferences::screenshotHotkey,
        &AppPreferences::floatingScreenshotHotkey,
        &AppPreferences::textRecognitionScreenshotHotkey,
        &AppPreferences::translateScreenshotHotkey,
        &AppPreferences::pinClipboardTextHotkey,
        &AppPreferences::longshotHotkey,
        &AppPreferences::gifRegionHotkey,
        &AppPreferences::gifWindowHotkey,
        &AppPreferences::appPanelHotkey,
        &AppPreferences::visualLibraryHotkey,
    };
    return members[static_cast<std::size_t>(action)];
}

Member editorMember(EditorHotkeyAction action) {
    static constexpr std::array<Member, 5> members{&AppPreferences::editorPinHotkey, &AppPreferences::editorCopyHotkey,
                                                   &AppPreferences::editorSaveHotkey, &AppPreferences::editorOCRHotkey,
                                                   &AppPreferences::editorTranslateHotkey};
    return members[static_cast<std::size_t>(action)];
}

Member member(const HotkeyRecordTarget& target) {
    if (const auto* global = std::get_if<GlobalHotkeyAction>(&target)) {
        return globalMember(*global);
    }
    if (const auto* editor = std::get_if<EditorHotkeyAction>(&target)) {
        return editorMember(*editor);
    }
    return &AppPreferences::selectionFullScreenHotkey;
}

} // namespace

HotkeyConfiguration& hotkeyConfiguration(const HotkeyRecordTarget& target, AppPreferences& preferences) {
    return preferences.*member(target);
}

const HotkeyConfiguration& hotkeyConfiguration(const HotkeyRecordTarget& target, const AppPreferences& preferences) {
    return preferences.*member(target);
}

L10nKey hotkeyTargetTitleKey(const HotkeyRecordTarget& target) {
    using K = L10nKey;
    if (const auto* global = std::get_if<GlobalHotkeyAction>(&target)) {
        static constexpr std::array<K, 10> keys{
            K::actionScreenshot,          K::actionFloatingScreenshot, K::actionTextRecognitionScreenshot,
            K::actionTranslateScreenshot, K::actionPinClipboardText,   K::actionLongshot,
            K::actionGifRegion,           K::actionGifWindow,          K::actionOpenAppPanel,
            K::actionOpenVisualLibrary};
        return keys[static_cast<std::size_t>(*global)];
    }
    if (const auto* editor = std::get_if<EditorHotkeyAction>(&target)) {
        static constexpr std::array<K, 5> keys{K::actionEditorPin, K::actionEditorCopy, K::actionEditorSave,
                                               K::actionEditorOCR, K::actionEditorTranslate};
        return keys[static_cast<std::size_t>(*editor)];
    }
    return K::actionSelectionFullScreen;
}

std::string hotkeyTargetName(const HotkeyRecordTarget& target) {
    if (const auto* global = std::get_if<GlobalHotkeyAction>(&target)) {
        return "global." + std::string(toString(*global));
    }
    if (const auto* editor = std::get_if<EditorHotkeyAction>(&target)) {
        return "editor." + std::string(toString(*editor));
    }
    return "selectionFullScreen";
}

const std::vector<HotkeyRecordTarget>& allHotkeyRecordTargets() {
    static const std::vector<HotkeyRecordTarget> targets = [] {
        std::vector<HotkeyRecordTarget> all;
        for (const auto action : allCases<GlobalHotkeyAction>()) {
            all.emplace_back(action);
        }
        all.emplace_back(SelectionFullScreenHotkey{});
        for (const auto action : allCases<EditorHotkeyAction>()) {
            all.emplace_back(action);
        }
        return all;
    }();
    return targets;
}

} // namespace brisklet
