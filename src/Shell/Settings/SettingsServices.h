#pragma once

#include "ZelvorApp/Settings/SettingsViewModel.h"

#include <functional>

namespace brisklet {

class AppController;
class HotkeyManagerPort;
struct AppServices;

/// The settings' side of the running application: the controller (once it exists) for every
/// change, the long-lived services for what they know.
SettingsViewModel::Services makeSettingsServices(const AppServices& shared, AppModel& model, HotkeyManagerPort* hotkeys,
                                                 std::function<AppController*()> controller);

} // namespace brisklet
