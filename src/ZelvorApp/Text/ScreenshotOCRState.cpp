#include "ZelvorApp/Text/ScreenshotOCRState.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {

std::optional<std::string> ScreenshotOCRState::statusText(const LocalizationStore& localization) const {
    switch (kind_) {
    case Kind::idle:
    case Kind::ready:
        return std::nullopt;
    case Kind::recognizing:
        return localization.text(L10nKey::errorOCRRecognizing);
    case Kind::empty:
        return localization.text(L10nKey::errorOCREmpty);
    case Kind::failed:
        return message_;
    }
    return std::nullopt;
}

const char* toString(ScreenshotOCRState::Kind kind) {
    switch (kind) {
    case ScreenshotOCRState::Kind::idle:
        return "idle";
    case ScreenshotOCRState::Kind::recognizing:
        return "recognizing";
    case ScreenshotOCRState::Kind::ready:
        return "ready";
    case ScreenshotOCRState::Kind::empty:
        return "empty";
    case ScreenshotOCRState::Kind::failed:
        return "failed";
    }
    return "";
}

} // namespace brisklet
