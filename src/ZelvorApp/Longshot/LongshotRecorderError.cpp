#include "ZelvorApp/Longshot/LongshotRecorderError.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {

L10nKey l10nKey(LongshotRecorderError error) {
    switch (error) {
    case LongshotRecorderError::noFrames:
        return L10nKey::errorLongshotNoFrames;
    case LongshotRecorderError::exportFailed:
        return L10nKey::errorLongshotExportFailed;
    }
    return L10nKey::errorLongshotExportFailed;
}

std::string localizedDescription(LongshotRecorderError error) {
    return LocalizationStore::shared().text(l10nKey(error));
}

} // namespace brisklet
