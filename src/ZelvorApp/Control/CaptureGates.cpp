#include "ZelvorApp/Control/CaptureGates.h"

#include "Platform/MainQueue.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Control/Ports/SelectionOverlayPort.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/PermissionService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

CaptureGates::CaptureGates(AppEnvironment& environment, AppModel& model, std::function<bool()> isVideoRecordingActive)
    : env_(environment), model_(model), isVideoRecordingActive_(std::move(isVideoRecordingActive)) {}

bool CaptureGates::hasActiveSelection() const {
    return env_.ports.selectionOverlay && env_.ports.selectionOverlay->hasActiveSelection();
}

bool CaptureGates::canStartCaptureAction() const {
    return !(isVideoRecordingActive_ && isVideoRecordingActive_()) && !hasActiveSelection();
}

bool CaptureGates::ensurePermission() {
    PermissionService& permissions = env_.services.permissions;
    if (permissions.hasScreenRecordingAccess()) {
        return true;
    }
    if (permissions.isAppTranslocated()) {
        model_.setState(AppViewState::permissionRequired);
        RuntimeLogger::log("screen recording denied while app is translocated");
        showTranslocationAlert();
        return false;
    }
    ApplicationHost& host = env_.ports.host;
    const ActivationPolicy previous = host.activationPolicy();
    if (previous != ActivationPolicy::regular) {
        RuntimeLogger::log("temporarily promoting app to regular for screen recording request");
        host.setActivationPolicy(ActivationPolicy::regular);
    }
    host.activate();
    permissions.requestScreenRecordingAccess();
    env_.services.mainQueue.runFor(permissionRequestWaitSeconds);
    const bool granted = permissions.hasScreenRecordingAccess();
    host.setActivationPolicy(previous);
    model_.setPermissionSnapshot(permissions.snapshot());
    if (granted) {
        RuntimeLogger::log("screen recording permission granted after foreground request");
        return true;
    }
    model_.setState(AppViewState::permissionRequired);
    RuntimeLogger::log("screen recording permission required after request");
    showPermissionRequiredAlert();
    return false;
}

void CaptureGates::showTranslocationAlert() {
    const LocalizationStore& text = env_.services.localization;
    AlertRequest alert{text.text(L10nKey::alertMoveToApplicationsTitle),
                       text.text(L10nKey::alertMoveToApplicationsMessage),
                       {text.text(L10nKey::alertOpenApplicationsFolder), text.text(L10nKey::genericCancel)},
                       AlertRequest::Style::warning};
    ApplicationHost& host = env_.ports.host;
    env_.ports.alerts.present(alert, [&host](int button) {
        if (button == 0) {
            RuntimeLogger::log("openApplicationsFolder");
            host.openFile("/usr/share/applications");
        }
    });
}

void CaptureGates::showPermissionRequiredAlert() {
    const LocalizationStore& text = env_.services.localization;
    AlertRequest alert{text.text(L10nKey::alertPermissionRequiredTitle),
                       text.text(L10nKey::alertPermissionRequiredMessage),
                       {text.text(L10nKey::alertOpenSystemSettings), text.text(L10nKey::genericCancel)},
                       AlertRequest::Style::warning};
    PermissionService& permissions = env_.services.permissions;
    env_.ports.alerts.present(alert, [&permissions](int button) {
        if (button == 0) {
            permissions.openPrivacySettings();
        }
    });
}

} // namespace brisklet
