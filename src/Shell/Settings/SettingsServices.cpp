#include "Shell/Settings/SettingsServices.h"

#include "Shell/Settings/QtSettingsWindow.h"
#include "ZelvorApp/Control/AppController.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/Ports/HotkeyManagerPort.h"
#include "ZelvorApp/Infrastructure/DesktopVisibilityController.h"
#include "ZelvorApp/Infrastructure/PermissionService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

namespace brisklet {

SettingsViewModel::Services makeSettingsServices(const AppServices& shared, AppModel& model, HotkeyManagerPort* hotkeys,
                                                 std::function<AppController*()> controller) {
    SettingsViewModel::Services s;
    PermissionService& permissions = shared.permissions;
    DesktopVisibilityController& desktop = shared.desktopVisibility;
    VisualMemoryStore& store = shared.visualMemoryStore;
    s.updatePreferences = [controller](const std::function<void(AppPreferences&)>& change) {
        if (AppController* c = controller()) {
            c->updatePreferences(change);
        }
    };
    s.permissions = [&permissions] { return permissions.snapshot(); };
    s.requestPermission = [&permissions](AppPermission permission) { permissions.requestAccess(permission); };
    s.openPermissionSettings = [&permissions](AppPermission permission) {
        permissions.openPrivacySettings(permission);
    };
    s.desktopIconsSupported = [&desktop] { return desktop.isSupported(); };
    s.desktopIconsHidden = [&desktop] { return desktop.currentDesktopIconsState() == DesktopIconsState::hidden; };
    s.setDesktopIconsHidden = [controller](bool hidden) {
        if (AppController* c = controller()) {
            c->setDesktopIconsHidden(hidden);
        }
    };
    s.storageUsage = [&store, &model] {
        return SettingsViewModel::StorageUsage{store.storageByteCount(),
                                               static_cast<int>(model.visualMemoryItems().size())};
    };
    s.cleanNow = [controller] {
        AppController* c = controller();
        if (!c) {
            return SettingsViewModel::CleanupResult{};
        }
        const auto result = c->cleanupVisualMemoryNow();
        return SettingsViewModel::CleanupResult{result.removedItems, result.freedBytes};
    };
    s.logsDirectory = [] { return RuntimeLogger::logsDirectoryURL(); };
    s.open = openWithDesktop;
    s.checkForUpdates = [controller] {
        if (AppController* c = controller()) {
            c->checkForUpdates();
        }
    };
    s.installUpdate = [controller] {
        if (AppController* c = controller()) {
            c->installAvailableUpdate();
        }
    };
    s.cancelUpdateDownload = [controller] {
        if (AppController* c = controller()) {
            c->cancelUpdateDownload();
        }
    };
    if (hotkeys) {
        s.hotkeyRegistrationFailure = [hotkeys](GlobalHotkeyAction action) {
            return hotkeys->registrationFailure(action);
        };
    }
    s.setHotkeysSuspended = [controller](bool suspended) {
        if (AppController* c = controller()) {
            c->setGlobalHotkeysSuspended(suspended, GlobalHotkeySuspensionReason::recording);
        }
    };
    s.version = BRISKLET_VERSION;
    s.projectLink = BRISKLET_PROJECT_URL;
    s.userAgreementLink = "https://www.gnu.org/licenses/gpl-3.0.html";
    s.defaultExportDirectory = AppPreferences::defaults().exportDirectoryURL();
    return s;
}

} // namespace brisklet
