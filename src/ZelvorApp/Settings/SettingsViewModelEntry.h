#pragma once

#include "ZelvorApp/Settings/SettingsViewModel.h"

namespace brisklet {

/// How the view model reads, writes and words one control.
struct SettingsViewModel::Entry {
    SettingsCardKind card = SettingsCardKind::about;
    std::string id;
    SettingsControl::Kind kind = SettingsControl::Kind::status;
    std::optional<L10nKey> label;
    std::optional<L10nKey> detail;
    std::optional<L10nKey> group;
    std::function<std::vector<SettingsChoice>()> choices;
    std::function<int()> get;
    std::function<void(int)> set;
    std::function<void()> run;
    /// What a status line, path or hotkey field shows; for a label built from a format, the label.
    std::function<std::string()> text;
    /// Why the control cannot be used now, or nothing when it can.
    std::function<std::optional<L10nKey>()> disabledReason;
    std::optional<HotkeyRecordTarget> hotkey;
    /// Whether the control is left out of the card now.
    std::function<bool()> hidden;
    bool inlineWithPrevious = false;
    std::string symbol;
    /// Directory controls: writes an accepted directory into the record.
    std::function<void(AppPreferences&, const std::string&)> storePath;
};

} // namespace brisklet
