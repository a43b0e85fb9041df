#include "ZelvorApp/Control/PickableWindows.h"

#include "Platform/Workspace.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

std::vector<CapturedWindowInfo> pickableWindowsOrAlert(AppEnvironment& env, const std::string& skippedLogLine) {
    std::vector<CapturedWindowInfo> windows;
    if (env.services.windows) {
        windows = env.services.windows->windows(env.services.workspace.currentProcessIdentifier());
    }
    if (windows.empty()) {
        const LocalizationStore& text = env.services.localization;
        RuntimeLogger::log(skippedLogLine);
        env.ports.alerts.present({text.text(L10nKey::alertNoRecordableWindowTitle),
                                  text.text(L10nKey::alertNoRecordableWindowMessage),
                                  {text.text(L10nKey::genericOK)},
                                  AlertRequest::Style::informational},
                                 [](int) {});
    }
    return windows;
}

} // namespace brisklet
