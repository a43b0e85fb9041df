#pragma once

#include "Platform/Translator.h"
#include "ZelvorApp/Text/PreparedRequest.h"
#include "ZelvorApp/Text/ScreenshotTranslationError.h"
#include "ZelvorApp/Text/ScreenshotTranslationResult.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/AppLanguage.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

class MainQueue;
class SerialQueue;

/// Queues translation requests for the engine, at most one at a time, and maps engine failures
/// to what the editor shows. Used on the main queue; the engine runs on a background queue and
/// every completion comes back on the main queue exactly once.
class TranslationBridgeController {
public:
    using TranslationResult = Result<ScreenshotTranslationResult, TranslationFailure>;
    using Completion = std::function<void(TranslationResult)>;
    using InterfaceLanguageProvider = std::function<AppLanguage()>;

    static constexpr const char* queueLabel = "com.brisklet.brisklet.translation";
    /// The target when the preferred one is not offered at all.
    static constexpr const char* fallbackTargetLanguage = "zh-Hans";

    TranslationBridgeController(Translator& translator, std::unique_ptr<SerialQueue> sessionQueue, MainQueue& mainQueue,
                                InterfaceLanguageProvider interfaceLanguage);
    /// Fails a pending request with the cancellation error so its caller never waits forever.
    ~TranslationBridgeController();

    TranslationBridgeController(const TranslationBridgeController&) = delete;
    TranslationBridgeController& operator=(const TranslationBridgeController&) = delete;

    /// Translates `text` into the preferred target; without `sourceLanguage` the engine detects
    /// it. Fails with our own error, or with the engine's error passed on unchanged.
    void translate(const std::string& text, const std::optional<std::string>& sourceLanguage,
                   TranslationTargetLanguage targetPreference, Completion completion);

    /// Matches the languages against the supported ones, asks for the pair's availability and
    /// logs the outcome.
    PreparedRequest prepareRequest(const std::string& text, const std::optional<std::string>& sourceLanguage,
                                   TranslationTargetLanguage targetPreference);
    /// Makes `request` the pending one (failing any earlier one with the cancellation error) and
    /// starts the engine on it. The completion gets the engine's result or error unchanged.
    void enqueue(PreparedRequest request, Completion completion);
    /// Fails the pending request, if any, with the cancellation error and forgets it.
    void invalidatePendingRequest();

    /// The engine's languages, asked once per controller.
    const std::vector<std::string>& supportedLanguages();
    /// The preferred target's locale identifier matched against `supported`, or the fallback.
    std::string resolveTargetLanguage(const std::vector<std::string>& supported,
                                      TranslationTargetLanguage preferred) const;
    /// A supported language with the same minimal identifier, else one with the same language code.
    static std::optional<std::string> resolveLanguage(const std::string& language,
                                                      const std::vector<std::string>& supportedLanguages);
    /// " domain=… code=… desc=… reason=… tags=…" appended to `prefix`.
    static std::string describeTranslationError(const std::string& prefix, const TranslatorError& error);

    const std::optional<TranslationSessionConfiguration>& configuration() const { return configuration_; }
    bool hasPendingRequest() const { return pending_.has_value(); }

private:
    struct PendingRequest {
        PreparedRequest request;
        Completion completion;
        std::uint64_t generation = 0;
    };

    void perform(const PendingRequest& pending);
    void finishPerform(std::uint64_t generation, Result<TranslationResponse, TranslatorError> outcome);
    void handlePrimaryFailure(const PreparedRequest& failed, TranslationFailure failure,
                              TranslationTargetLanguage targetPreference, const Completion& completion);
    void deliver(Completion completion, TranslationResult result);

    Translator& translator_;
    std::unique_ptr<SerialQueue> sessionQueue_;
    MainQueue& mainQueue_;
    InterfaceLanguageProvider interfaceLanguage_;
    std::optional<std::vector<std::string>> cachedSupportedLanguages_;
    std::optional<PendingRequest> pending_;
    std::optional<TranslationSessionConfiguration> configuration_;
    std::uint64_t nextGeneration_ = 1;
    // Queued main-queue tasks check this before touching the controller.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
