#include "ZelvorApp/Text/TranslationBridgeController.h"

#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Text/LanguageTag.h"
#include "ZelvorApp/Text/TranslationTargetLanguageResolver.h"
#include "ZelvorApp/Text/UnicodeText.h"

namespace brisklet {

namespace {

std::string minimalOrNil(const std::optional<std::string>& language) {
    return language ? LanguageTag::minimalIdentifier(*language) : "nil";
}

std::string languagesForLog(const std::optional<std::string>& source, const std::string& target) {
    return "sourceLanguage=" + minimalOrNil(source) + " targetLanguage=" + LanguageTag::minimalIdentifier(target);
}

const char* tagName(TranslatorErrorKind kind) {
    switch (kind) {
    case TranslatorErrorKind::unsupportedSourceLanguage:
        return "unsupportedSourceLanguage";
    case TranslatorErrorKind::unsupportedTargetLanguage:
        return "unsupportedTargetLanguage";
    case TranslatorErrorKind::unsupportedLanguagePairing:
        return "unsupportedLanguagePairing";
    case TranslatorErrorKind::unableToIdentifyLanguage:
        return "unableToIdentifyLanguage";
    case TranslatorErrorKind::nothingToTranslate:
        return "nothingToTranslate";
    case TranslatorErrorKind::internalError:
        return "internal";
    case TranslatorErrorKind::cancelled:
    case TranslatorErrorKind::other:
        return "";
    }
    return "";
}

} // namespace

const char* toString(TranslationAvailabilityStatus status) {
    switch (status) {
    case TranslationAvailabilityStatus::installed:
        return "installed";
    case TranslationAvailabilityStatus::supported:
        return "supported";
    case TranslationAvailabilityStatus::unsupported:
        return "unsupported";
    }
    return "unknown";
}

TranslationBridgeController::TranslationBridgeController(Translator& translator,
                                                         std::unique_ptr<SerialQueue> sessionQueue,
                                                         MainQueue& mainQueue,
                                                         InterfaceLanguageProvider interfaceLanguage)
    : translator_(translator), sessionQueue_(std::move(sessionQueue)), mainQueue_(mainQueue),
      interfaceLanguage_(std::move(interfaceLanguage)) {}

TranslationBridgeController::~TranslationBridgeController() {
    invalidatePendingRequest();
    *alive_ = false;
}

void TranslationBridgeController::translate(const std::string& text, const std::optional<std::string>& sourceLanguage,
                                            TranslationTargetLanguage targetPreference, Completion completion) {
    if (unicode::trimmed(text).empty()) {
        deliver(std::move(completion),
                TranslationResult::failure(TranslationFailure::app(ScreenshotTranslationError::emptyText)));
        return;
    }
    PreparedRequest prepared = prepareRequest(text, sourceLanguage, targetPreference);
    if (prepared.availabilityStatus == TranslationAvailabilityStatus::unsupported) {
        deliver(std::move(completion), TranslationResult::failure(TranslationFailure::app(
                                           ScreenshotTranslationError::unsupportedLanguagePairing)));
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    enqueue(prepared, [this, alive, prepared, targetPreference, completion](TranslationResult result) {
        if (result.ok() || alive.expired()) {
            completion(std::move(result));
            return;
        }
        handlePrimaryFailure(prepared, result.error(), targetPreference, completion);
    });
}

PreparedRequest TranslationBridgeController::prepareRequest(const std::string& text,
                                                            const std::optional<std::string>& sourceLanguage,
                                                            TranslationTargetLanguage targetPreference) {
    const auto& supported = supportedLanguages();
    PreparedRequest request;
    request.text = text;
    request.targetLanguage = resolveTargetLanguage(supported, targetPreference);
    if (sourceLanguage) {
        request.sourceLanguage = resolveLanguage(*sourceLanguage, supported);
    }
    request.availabilityStatus = request.sourceLanguage
                                     ? translator_.status(*request.sourceLanguage, request.targetLanguage)
                                     : translator_.statusForText(text, request.targetLanguage);
    RuntimeLogger::log("translation request prepared " +
                       languagesForLog(request.sourceLanguage, request.targetLanguage) +
                       " availability=" + toString(request.availabilityStatus));
    return request;
}

void TranslationBridgeController::enqueue(PreparedRequest request, Completion completion) {
    invalidatePendingRequest();
    pending_ = PendingRequest{std::move(request), std::move(completion), nextGeneration_++};
    configuration_ =
        TranslationSessionConfiguration{pending_->request.sourceLanguage, pending_->request.targetLanguage};
    perform(*pending_);
}

void TranslationBridgeController::invalidatePendingRequest() {
    if (!pending_) {
        return;
    }
    auto completion = std::move(pending_->completion);
    pending_.reset();
    configuration_.reset();
    deliver(std::move(completion), TranslationResult::failure(TranslationFailure::cancelled()));
}

const std::vector<std::string>& TranslationBridgeController::supportedLanguages() {
    if (!cachedSupportedLanguages_) {
        cachedSupportedLanguages_ = translator_.supportedLanguages();
    }
    return *cachedSupportedLanguages_;
}

std::string TranslationBridgeController::resolveTargetLanguage(const std::vector<std::string>& supported,
                                                               TranslationTargetLanguage preferred) const {
    const auto resolved = TranslationTargetLanguageResolver::resolvedPreference(
        preferred, interfaceLanguage_ ? interfaceLanguage_() : AppLanguage::system);
    const std::string identifier(TranslationTargetLanguageResolver::localeIdentifier(resolved));
    return resolveLanguage(identifier, supported).value_or(fallbackTargetLanguage);
}

std::optional<std::string> TranslationBridgeController::resolveLanguage(const std::string& language,
                                                                        const std::vector<std::string>& supported) {
    const std::string minimal = LanguageTag::minimalIdentifier(language);
    for (const auto& candidate : supported) {
        if (LanguageTag::minimalIdentifier(candidate) == minimal) {
            return candidate;
        }
    }
    const std::string code = LanguageTag::languageCode(language);
    for (const auto& candidate : supported) {
        if (LanguageTag::languageCode(candidate) == code) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::string TranslationBridgeController::describeTranslationError(const std::string& prefix,
                                                                  const TranslatorError& error) {
    std::string line = prefix + " domain=" + error.domain + " code=" + std::to_string(error.code) +
                       " desc=" + error.description + " reason=" + error.failureReason + " tags=";
    line += tagName(error.kind);
    return line;
}

void TranslationBridgeController::perform(const PendingRequest& pending) {
    Translator& translator = translator_;
    MainQueue& mainQueue = mainQueue_;
    std::weak_ptr<bool> alive = alive_;
    sessionQueue_->async(
        [this, &translator, &mainQueue, alive, request = pending.request, generation = pending.generation] {
            auto outcome = translator.translate(request.text, request.sourceLanguage, request.targetLanguage);
            mainQueue.post([this, alive, generation, outcome = std::move(outcome)]() mutable {
                if (const auto isAlive = alive.lock(); isAlive && *isAlive) {
                    finishPerform(generation, std::move(outcome));
                }
            });
        });
}

void TranslationBridgeController::finishPerform(std::uint64_t generation,
                                                Result<TranslationResponse, TranslatorError> outcome) {
    if (!pending_ || pending_->generation != generation) {
        return; // withdrawn: its caller has already been told
    }
    PendingRequest finished = std::move(*pending_);
    pending_.reset();
    configuration_.reset();
    if (!outcome.ok()) {
        const auto prefix = "translation perform failed " +
                            languagesForLog(finished.request.sourceLanguage, finished.request.targetLanguage);
        RuntimeLogger::log(describeTranslationError(prefix, outcome.error()));
        finished.completion(TranslationResult::failure(TranslationFailure::engine(outcome.error())));
        return;
    }
    const TranslationResponse& response = outcome.value();
    RuntimeLogger::log("translation success " + languagesForLog(response.sourceLanguage
                                                                    ? response.sourceLanguage
                                                                    : finished.request.sourceLanguage,
                                                                response.targetLanguage));
    finished.completion(TranslationResult::success(ScreenshotTranslationResult{
        finished.request.text, response.targetText, response.sourceLanguage, response.targetLanguage}));
}

void TranslationBridgeController::handlePrimaryFailure(const PreparedRequest& failed, TranslationFailure failure,
                                                       TranslationTargetLanguage targetPreference,
                                                       const Completion& completion) {
    const TranslatorError* error = failure.engineError();
    if (!error) {
        completion(TranslationResult::failure(std::move(failure)));
        return;
    }
    RuntimeLogger::log(describeTranslationError(
        "translation primary failed " + languagesForLog(failed.sourceLanguage, failed.targetLanguage), *error));
    switch (error->kind) {
    case TranslatorErrorKind::unsupportedLanguagePairing:
        completion(TranslationResult::failure(
            TranslationFailure::app(ScreenshotTranslationError::unsupportedLanguagePairing)));
        return;
    case TranslatorErrorKind::unableToIdentifyLanguage: {
        PreparedRequest retry = prepareRequest(failed.text, std::nullopt, targetPreference);
        if (retry.sourceLanguage == failed.sourceLanguage) {
            completion(
                TranslationResult::failure(TranslationFailure::app(ScreenshotTranslationError::internalFailure)));
            return;
        }
        enqueue(std::move(retry), completion);
        return;
    }
    case TranslatorErrorKind::internalError:
        if (failed.availabilityStatus != TranslationAvailabilityStatus::supported) {
            completion(
                TranslationResult::failure(TranslationFailure::app(ScreenshotTranslationError::internalFailure)));
        } else if (translator_.canInstallLanguageResources()) {
            completion(TranslationResult::failure(TranslationFailure::app(
                ScreenshotTranslationError::translationResourcesNeedDownload,
                translator_.missingResourcePackages(failed.sourceLanguage, failed.targetLanguage))));
        } else {
            completion(TranslationResult::failure(
                TranslationFailure::app(ScreenshotTranslationError::translationResourcesUnavailable)));
        }
        return;
    default:
        completion(TranslationResult::failure(std::move(failure)));
        return;
    }
}

void TranslationBridgeController::deliver(Completion completion, TranslationResult result) {
    mainQueue_.post(
        [completion = std::move(completion), result = std::move(result)]() mutable { completion(std::move(result)); });
}

} // namespace brisklet
