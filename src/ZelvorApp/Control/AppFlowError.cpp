#include "ZelvorApp/Control/AppFlowError.h"

#include "ZelvorApp/Capture/ScreenCaptureErrorText.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {
namespace {

L10nKey editorKey(const ScreenshotEditorFailure& failure) {
    if (const auto* error = std::get_if<ScreenshotEditorError>(&failure.cause)) {
        switch (*error) {
        case ScreenshotEditorError::renderFailed:
            return L10nKey::errorEditorRenderFailed;
        case ScreenshotEditorError::encodeUnavailable:
            return L10nKey::errorEditorEncodeUnavailable;
        case ScreenshotEditorError::encodeFailed:
            return L10nKey::errorEditorEncodeFailed;
        }
    }
    return L10nKey::genericUnknownError;
}

struct MessageVisitor {
    const LocalizationStore& localization;

    std::string operator()(ScreenCaptureError error) const { return localization.text(l10nKey(error)); }
    std::string operator()(GIFRecorderError error) const { return localization.text(messageKey(error)); }
    std::string operator()(LongshotRecorderError error) const { return localization.text(l10nKey(error)); }
    std::string operator()(const VideoRecorderError& error) const { return localization.text(error.messageKey()); }
    std::string operator()(ScreenshotTranslationError error) const {
        return localizedErrorMessage(error, localization).value_or(localization.text(L10nKey::genericUnknownError));
    }
    std::string operator()(const ScreenshotEditorFailure& failure) const {
        if (std::holds_alternative<std::error_code>(failure.cause)) {
            const std::string description = failure.description();
            return description.empty() ? localization.text(L10nKey::genericUnknownError) : description;
        }
        return localization.text(editorKey(failure));
    }
    std::string operator()(const DescribedError& error) const {
        return error.description.empty() ? localization.text(L10nKey::genericUnknownError) : error.description;
    }
};

struct LogVisitor {
    std::string operator()(ScreenCaptureError error) const { return std::string(toString(error)); }
    std::string operator()(GIFRecorderError error) const { return std::string(toString(error)); }
    std::string operator()(LongshotRecorderError error) const { return std::string(toString(error)); }
    std::string operator()(const VideoRecorderError& error) const { return error.description(); }
    std::string operator()(ScreenshotTranslationError error) const { return std::string(toString(error)); }
    std::string operator()(const ScreenshotEditorFailure& failure) const { return failure.description(); }
    std::string operator()(const DescribedError& error) const { return error.description; }
};

} // namespace

std::string userMessage(const AppFlowError& error, const LocalizationStore& localization) {
    return std::visit(MessageVisitor{localization}, error);
}

std::string logDescription(const AppFlowError& error) {
    return std::visit(LogVisitor{}, error);
}

} // namespace brisklet
