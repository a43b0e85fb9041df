#include "ZelvorApp/Updater/UpdatePromptPreferenceStore.h"

#include "Platform/DefaultsStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

namespace brisklet {

bool UpdatePromptPreferenceStore::shouldPresent(const std::string& version, Date now, bool isManualCheck) const {
    if (isManualCheck) {
        return true;
    }
    if (defaults_.string(DefaultsKeys::updaterSkippedVersion) == version) {
        return false;
    }
    if (defaults_.string(DefaultsKeys::updaterRemindedVersion) == version) {
        const auto remindAfter = defaults_.date(DefaultsKeys::updaterRemindAfter);
        if (remindAfter && *remindAfter > now) {
            return false;
        }
    }
    return true;
}

void UpdatePromptPreferenceStore::skip(const std::string& version) {
    defaults_.setString(DefaultsKeys::updaterSkippedVersion, version);
    RuntimeLogger::log("update prompt action=skip version=" + version);
}

void UpdatePromptPreferenceStore::remindLater(const std::string& version, Date now) {
    defaults_.setString(DefaultsKeys::updaterRemindedVersion, version);
    defaults_.setDate(DefaultsKeys::updaterRemindAfter, now.addingSeconds(remindLaterIntervalSeconds));
    RuntimeLogger::log("update prompt action=remindLater version=" + version);
}

void UpdatePromptPreferenceStore::install(const std::string& version) {
    RuntimeLogger::log("update prompt action=install version=" + version);
}

} // namespace brisklet
