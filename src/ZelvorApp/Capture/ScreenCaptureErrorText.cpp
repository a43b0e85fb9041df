#include "ZelvorApp/Capture/ScreenCaptureErrorText.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {

L10nKey l10nKey(ScreenCaptureError error) {
    switch (error) {
    case ScreenCaptureError::missingScreen:
        return L10nKey::errorMissingScreen;
    case ScreenCaptureError::captureFailed:
        return L10nKey::errorCaptureFailed;
    case ScreenCaptureError::invalidCrop:
        return L10nKey::errorInvalidCrop;
    }
    return L10nKey::errorCaptureFailed;
}

std::string localizedDescription(ScreenCaptureError error, const LocalizationStore& localization) {
    return localization.text(l10nKey(error));
}

} // namespace brisklet
