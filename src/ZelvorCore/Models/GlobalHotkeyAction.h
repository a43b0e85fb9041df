#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// What a global hotkey (or `brisklet action NAME`) asks the application to do.
enum class GlobalHotkeyAction {
    screenshot,
    floatingScreenshot,
    textRecognitionScreenshot,
    translateScreenshot,
    pinClipboardText,
    longshot,
    gifRegion,
    gifWindow,
    appPanel,
    visualLibrary,
};

template <> struct EnumTraits<GlobalHotkeyAction> {
    static constexpr std::array<std::pair<GlobalHotkeyAction, std::string_view>, 10> names{{
        {GlobalHotkeyAction::screenshot, "screenshot"},
        {GlobalHotkeyAction::floatingScreenshot, "floatingScreenshot"},
        {GlobalHotkeyAction::textRecognitionScreenshot, "textRecognitionScreenshot"},
        {GlobalHotkeyAction::translateScreenshot, "translateScreenshot"},
        {GlobalHotkeyAction::pinClipboardText, "pinClipboardText"},
        {GlobalHotkeyAction::longshot, "longshot"},
        {GlobalHotkeyAction::gifRegion, "gifRegion"},
        {GlobalHotkeyAction::gifWindow, "gifWindow"},
        {GlobalHotkeyAction::appPanel, "appPanel"},
        {GlobalHotkeyAction::visualLibrary, "visualLibrary"},
    }};
};

/// Why global hotkeys are held back for a while.
enum class GlobalHotkeySuspensionReason {
    recording,        ///< the settings window is recording a new combination
    screenshotEditor, ///< the editor's own hotkeys are active
};

template <> struct EnumTraits<GlobalHotkeySuspensionReason> {
    static constexpr std::array<std::pair<GlobalHotkeySuspensionReason, std::string_view>, 2> names{{
        {GlobalHotkeySuspensionReason::recording, "recording"},
        {GlobalHotkeySuspensionReason::screenshotEditor, "screenshotEditor"},
    }};
};

} // namespace brisklet
