#pragma once

#include "ZelvorApp/Text/RecognizedTextLine.h"
#include "ZelvorApp/Text/TranslationBridgeController.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace brisklet {

class LocalizationStore;

/// Translates the recognised text of a whole screenshot: first all of it at once, letting the
/// engine detect the language; when that fails, line by line with each line's own language,
/// keeping any line that cannot be translated as it was recognised.
class AutomaticScreenshotTranslation : public std::enable_shared_from_this<AutomaticScreenshotTranslation> {
public:
    using Completion = TranslationBridgeController::Completion;

    /// Starts a run. `controller` may be null when no translation engine exists here. The
    /// completion is called once, on the main queue (at once for an empty text or a missing
    /// engine), and never after `cancel()` or after the bridge withdrew the run's request.
    static std::shared_ptr<AutomaticScreenshotTranslation>
    start(TranslationBridgeController* controller, std::vector<RecognizedTextLine> lines,
          TranslationTargetLanguage targetPreference, const LocalizationStore& localization, Completion completion);

    /// Ends the run silently at its next step.
    void cancel() { cancelled_ = true; }
    bool isCancelled() const { return cancelled_; }

    /// The lines' texts joined with "\n", trimmed.
    static std::string sourceText(const std::vector<RecognizedTextLine>& lines);

private:
    AutomaticScreenshotTranslation(TranslationBridgeController* controller, std::vector<RecognizedTextLine> lines,
                                   TranslationTargetLanguage targetPreference, const LocalizationStore& localization,
                                   Completion completion);

    void run();
    void handlePrimary(TranslationBridgeController::TranslationResult result);
    void translateLine(std::size_t position);
    void handleLine(std::size_t position, TranslationBridgeController::TranslationResult result);
    void finishLines();
    void fail(const TranslationFailure& failure);
    void finish(TranslationBridgeController::TranslationResult result);

    TranslationBridgeController* controller_;
    std::vector<RecognizedTextLine> lines_;
    TranslationTargetLanguage targetPreference_;
    const LocalizationStore& localization_;
    Completion completion_;
    std::string sourceText_;
    std::vector<std::string> outputLines_;
    std::optional<ScreenshotTranslationResult> firstLineResult_;
    bool cancelled_ = false;
};

} // namespace brisklet
