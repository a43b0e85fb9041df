#include "ZelvorApp/Text/ScreenshotTranslationError.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {

std::optional<std::string> localizedErrorMessage(ScreenshotTranslationError error,
                                                 const LocalizationStore& localization) {
    switch (error) {
    case ScreenshotTranslationError::emptyText:
        return localization.text(L10nKey::errorTranslationEmpty);
    case ScreenshotTranslationError::unsupportedLanguagePairing:
        return localization.text(L10nKey::errorTranslationUnsupported);
    case ScreenshotTranslationError::noSessionAvailable:
        return localization.text(L10nKey::errorTranslationNoSession);
    case ScreenshotTranslationError::translationResourcesUnavailable:
        return localization.text(L10nKey::errorTranslationResourcesUnavailable);
    case ScreenshotTranslationError::translationResourcesNeedDownload:
        return localization.text(L10nKey::errorTranslationResourcesNeedDownload);
    case ScreenshotTranslationError::internalFailure:
        return localization.text(L10nKey::errorTranslationInternalFailure);
    case ScreenshotTranslationError::requiresMacOS15:
        return localization.text(L10nKey::errorTranslationRequiresMacOS15);
    }
    return std::nullopt;
}

TranslationFailure TranslationFailure::app(ScreenshotTranslationError error,
                                           std::vector<std::string> resourcePackages) {
    TranslationFailure failure;
    failure.appError_ = error;
    failure.resourcePackages_ = std::move(resourcePackages);
    return failure;
}

TranslationFailure TranslationFailure::engine(TranslatorError error) {
    TranslationFailure failure;
    failure.isEngineError_ = true;
    failure.engineError_ = std::move(error);
    return failure;
}

TranslationFailure TranslationFailure::cancelled() {
    return engine(TranslatorError{TranslatorErrorKind::cancelled, "brisklet.cancellation", 1,
                                  "The translation was cancelled.", "A newer request replaced it."});
}

bool TranslationFailure::isCancellation() const {
    const auto* error = engineError();
    return error && error->kind == TranslatorErrorKind::cancelled;
}

std::string TranslationFailure::localizedDescription(const LocalizationStore& localization) const {
    if (const auto* error = engineError()) {
        return error->description;
    }
    std::string description = localizedErrorMessage(*appError(), localization).value_or(std::string());
    if (!resourcePackages_.empty()) {
        // The command is the same in every language, so it is appended rather than translated.
        description += "\nsudo apt-get install";
        for (const auto& package : resourcePackages_) {
            description += " " + package;
        }
    }
    return description;
}

std::optional<std::string> localizedErrorMessage(const TranslationFailure& failure,
                                                 const LocalizationStore& localization) {
    return failure.localizedDescription(localization);
}

} // namespace brisklet
