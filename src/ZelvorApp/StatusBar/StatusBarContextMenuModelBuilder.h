#pragma once

#include "ZelvorApp/StatusBar/StatusBarContextMenuItem.h"
#include "ZelvorCore/Models/AppViewState.h"

#include <vector>

namespace brisklet {

class LocalizationStore;
struct AppPreferences;
struct HotkeyConfiguration;

/// The tray icon's context menu as plain records: the capture group (or only "Stop" while a
/// capture runs), the library group, settings, then updates and quit.
class StatusBarContextMenuModelBuilder {
public:
    StatusBarContextMenuModelBuilder(AppViewState state, const AppPreferences& preferences,
                                     const LocalizationStore& localization);
    std::vector<StatusBarContextMenuItem> items() const;

    /// The shortcut shown for a combination; none when its key is empty.
    static std::optional<StatusBarContextMenuShortcut> shortcut(const HotkeyConfiguration& configuration);

private:
    std::vector<StatusBarContextMenuItem> captureGroup() const;

    AppViewState state_;
    const AppPreferences& preferences_;
    const LocalizationStore& localization_;
};

} // namespace brisklet
