#include "ZelvorApp/Updater/AppUpdaterStatus.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {

void localizeUpdaterStatus(AppUpdaterStatus& status, const LocalizationStore& l10n,
                           const std::string& sourceDescription) {
    using K = L10nKey;
    const std::string latest = status.latestVersion.value_or("");
    switch (status.phase) {
    case AppUpdaterPhase::notConfigured:
        status.title = l10n.text(K::updaterNotConfiguredTitle);
        status.detail = l10n.text(K::updaterNotConfiguredDetail);
        return;
    case AppUpdaterPhase::idle:
        status.title = l10n.text(K::updaterIdleTitle);
        status.detail = l10n.text(K::updaterIdleDetail);
        return;
    case AppUpdaterPhase::checking:
        status.title = l10n.text(K::updaterCheckingTitle);
        status.detail = l10n.format(K::updaterCheckingDetail, {sourceDescription});
        return;
    case AppUpdaterPhase::updateAvailable:
        status.title = l10n.text(K::updaterAvailableTitle);
        status.detail = l10n.format(K::updaterAvailableDetail, {latest});
        return;
    case AppUpdaterPhase::downloading:
        status.title = l10n.text(K::updaterDownloadingTitle);
        status.detail = l10n.format(K::updaterDownloadingDetail, {latest});
        return;
    case AppUpdaterPhase::awaitingInstall:
        status.title = l10n.text(K::updaterAwaitingInstallTitle);
        status.detail = l10n.text(K::updaterAwaitingInstallDetail);
        return;
    case AppUpdaterPhase::upToDate:
        status.title = l10n.text(K::updaterUpToDateTitle);
        status.detail = l10n.format(K::updaterUpToDateDetail, {status.currentVersion});
        return;
    case AppUpdaterPhase::installed:
        status.title = l10n.text(K::updaterInstalledTitle);
        status.detail =
            l10n.format(K::updaterInstalledDetail, {status.installedVersion.value_or(status.currentVersion)});
        return;
    case AppUpdaterPhase::error:
        status.title = l10n.text(K::updaterErrorTitle);
        status.detail = status.errorDescriptor ? localizedMessage(*status.errorDescriptor, l10n)
                                               : l10n.format(K::updaterErrorGeneric, {std::string()});
        return;
    }
}

} // namespace brisklet
