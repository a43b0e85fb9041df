#include "ZelvorApp/Text/ScreenshotOCRServiceError.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {

std::optional<std::string> localizedErrorMessage(ScreenshotOCRServiceError error,
                                                 const LocalizationStore& localization) {
    switch (error) {
    case ScreenshotOCRServiceError::recognitionFailed:
        return localization.text(L10nKey::errorOCRFailed);
    }
    return std::nullopt;
}

} // namespace brisklet
