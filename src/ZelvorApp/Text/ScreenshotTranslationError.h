#pragma once

#include "Platform/Translator.h"
#include "ZelvorCore/Foundation/EnumTable.h"

#include <optional>
#include <string>
#include <vector>

namespace brisklet {

class LocalizationStore;

/// The translation flow's own failures.
enum class ScreenshotTranslationError {
    emptyText,
    unsupportedLanguagePairing,
    noSessionAvailable,
    translationResourcesUnavailable,
    translationResourcesNeedDownload,
    internalFailure,
    /// No translation engine is available on this system (the name is kept from the first
    /// platform that shipped the feature).
    requiresMacOS15,
};

template <> struct EnumTraits<ScreenshotTranslationError> {
    static constexpr std::array<std::pair<ScreenshotTranslationError, std::string_view>, 7> names{{
        {ScreenshotTranslationError::emptyText, "emptyText"},
        {ScreenshotTranslationError::unsupportedLanguagePairing, "unsupportedLanguagePairing"},
        {ScreenshotTranslationError::noSessionAvailable, "noSessionAvailable"},
        {ScreenshotTranslationError::translationResourcesUnavailable, "translationResourcesUnavailable"},
        {ScreenshotTranslationError::translationResourcesNeedDownload, "translationResourcesNeedDownload"},
        {ScreenshotTranslationError::internalFailure, "internalFailure"},
        {ScreenshotTranslationError::requiresMacOS15, "requiresMacOS15"},
    }};
};

std::optional<std::string> localizedErrorMessage(ScreenshotTranslationError error,
                                                 const LocalizationStore& localization);

/// Why a translation did not produce a result: one of our own errors, or the engine's error
/// passed on unchanged (which includes the cancellation of a withdrawn request).
class TranslationFailure {
public:
    /// `resourcePackages` names what to install for `translationResourcesNeedDownload`.
    static TranslationFailure app(ScreenshotTranslationError error, std::vector<std::string> resourcePackages = {});
    static TranslationFailure engine(TranslatorError error);
    static TranslationFailure cancelled();

    const ScreenshotTranslationError* appError() const { return isEngineError_ ? nullptr : &appError_; }
    const TranslatorError* engineError() const { return isEngineError_ ? &engineError_ : nullptr; }
    bool isCancellation() const;
    bool is(ScreenshotTranslationError error) const { return appError() && *appError() == error; }
    const std::vector<std::string>& resourcePackages() const { return resourcePackages_; }

    /// What the user is shown: the localised text of our own errors (plus the install command
    /// when packages are missing), the engine's own description otherwise.
    std::string localizedDescription(const LocalizationStore& localization) const;

    bool operator==(const TranslationFailure&) const = default;

private:
    TranslationFailure() = default;

    // Plain members rather than a variant: either the app error or the engine error is in use.
    bool isEngineError_ = false;
    ScreenshotTranslationError appError_ = ScreenshotTranslationError::internalFailure;
    TranslatorError engineError_;
    std::vector<std::string> resourcePackages_;
};

std::optional<std::string> localizedErrorMessage(const TranslationFailure& failure,
                                                 const LocalizationStore& localization);

} // namespace brisklet
