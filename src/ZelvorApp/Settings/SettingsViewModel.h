#pragma once

#include "Platform/KeyboardGrab.h"
#include "Platform/PrivacyPermissions.h"
#include "ZelvorApp/Settings/HotkeyRecordingPolicy.h"
#include "ZelvorApp/Settings/SettingsCategory.h"
#include "ZelvorApp/Settings/SettingsControl.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

class AppModel;
class LocalizationStore;

/// The settings window's state and rules: the categories and their cards, the search, every
/// control's value read from and written to the preferences (through the controller), the
/// export directory's validation and the recording of hotkeys. Main queue only.
class SettingsViewModel {
public:
    /// A dismiss delay this long stands for "never": the thumbnails' timer has no such setting.
    static constexpr double neverDismissDelaySeconds = 365.0 * 24 * 3600;

    struct StorageUsage {
        std::int64_t byteCount = 0;
        int itemCount = 0;
    };
    struct CleanupResult {
        int removedItems = 0;
        std::int64_t freedBytes = 0;
    };

    /// The application's side of the controls. Unset functions leave their controls inert.
    struct Services {
        std::function<void(const std::function<void(AppPreferences&)>&)> updatePreferences;
        std::function<AppPermissionSnapshot()> permissions;
        std::function<void(AppPermission)> requestPermission;
        std::function<void(AppPermission)> openPermissionSettings;
        std::function<bool()> desktopIconsSupported;
        std::function<bool()> desktopIconsHidden;
        std::function<void(bool)> setDesktopIconsHidden;
        std::function<StorageUsage()> storageUsage;
        std::function<CleanupResult()> cleanNow;
        std::function<std::filesystem::path()> logsDirectory;
        /// Opens a directory or a web address with the desktop's handler.
        std::function<void(const std::string&)> open;
        std::function<void()> checkForUpdates;
        std::function<void()> installUpdate;
        std::function<void()> cancelUpdateDownload;
        /// The display server's status of the action's last registration, when it failed.
        std::function<std::optional<int>(GlobalHotkeyAction)> hotkeyRegistrationFailure;
        /// Global hotkeys are held back while a field records, so the old combination does not fire.
        std::function<void(bool)> setHotkeysSuspended;
        std::string version;
        std::string projectLink;
        std::string userAgreementLink;
        /// Where "Restore Default" puts the export directory.
        std::filesystem::path defaultExportDirectory;
    };

    SettingsViewModel(AppModel& model, const LocalizationStore& localization, Services services);
    ~SettingsViewModel();
    SettingsViewModel(const SettingsViewModel&) = delete;
    SettingsViewModel& operator=(const SettingsViewModel&) = delete;

    /// Runs after every change the window should show.
    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

    SettingsCategory selectedCategory() const { return selectedCategory_; }
    void selectCategory(SettingsCategory category);
    const std::string& query() const { return query_; }
    void setQuery(std::string query);
    /// The cards to show now; empty means "no results".
    std::vector<SettingsCardKind> visibleCards() const;
    std::string cardTitle(SettingsCardKind card) const;

    /// The controls of `card`, with texts in the current language.
    std::vector<SettingsControl> controls(SettingsCardKind card) const;
    /// Toggles: 0 or 1; choices: the chosen value.
    int value(const std::string& id) const;
    void setValue(const std::string& id, int value);
    /// Buttons.
    void trigger(const std::string& id);
    /// Status lines, paths and hotkey fields: what they show now.
    std::string text(const std::string& id) const;
    /// A message beside a control (a refused hotkey, a directory that cannot be used), or empty.
    std::string message(const std::string& id) const;

    /// Takes a typed or chosen export directory: "~" expands, the directory is created when
    /// missing; a relative path, a file or a directory that cannot be made is refused with a
    /// message and the old directory stays.
    bool setExportDirectory(const std::string& path);
    /// The same for any directory control (the export directory, the Obsidian vault).
    bool setDirectory(const std::string& id, const std::string& path);
    /// Checks `path` the way `setExportDirectory` does; the usable directory, or nothing.
    static std::optional<std::filesystem::path> usableDirectory(const std::string& path,
                                                                const std::filesystem::path& home);

    const std::optional<HotkeyRecordTarget>& recordingTarget() const { return recording_; }
    void startRecording(const HotkeyRecordTarget& target);
    void stopRecording();
    /// A key pressed while recording; returns what became of it.
    HotkeyRecordingOutcome recordKey(const RawKeyEvent& key);
    void clearHotkey(const HotkeyRecordTarget& target);
    void restoreDefaultHotkeys();
    /// "Ctrl+Alt+4", or the text of "not set".
    std::string hotkeyText(const HotkeyRecordTarget& target) const;

    /// Reads the usage and the permission states again (the window calls it when shown).
    void refresh();

    /// Sizes in the units people read ("1.2 GB", "340 KB").
    static std::string byteCountText(std::int64_t bytes);

    /// How one control is read, written and worded (defined beside the implementation).
    struct Entry;

private:
    std::vector<Entry> buildEntries();
    const Entry* find(const std::string& id) const;
    const AppPreferences& preferences() const;
    void update(const std::function<void(AppPreferences&)>& change);
    void changed();
    void noteRegistration(const HotkeyRecordTarget& target);

    AppModel& model_;
    const LocalizationStore& localization_;
    Services services_;
    std::vector<Entry> entries_;
    std::function<void()> onChange_;
    SettingsCategory selectedCategory_ = SettingsCategory::overview;
    std::string query_;
    std::optional<HotkeyRecordTarget> recording_;
    std::map<std::string, std::string> messages_;
    std::optional<StorageUsage> usage_;
    AppPermissionSnapshot permissions_;
    int observer_ = 0;
};

} // namespace brisklet
