#include "ZelvorApp/Text/AutomaticScreenshotTranslation.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Text/UnicodeText.h"

namespace brisklet {

using TranslationResult = TranslationBridgeController::TranslationResult;

AutomaticScreenshotTranslation::AutomaticScreenshotTranslation(TranslationBridgeController* controller,
                                                               std::vector<RecognizedTextLine> lines,
                                                               TranslationTargetLanguage targetPreference,
                                                               const LocalizationStore& localization,
                                                               Completion completion)
    : controller_(controller), lines_(std::move(lines)), targetPreference_(targetPreference),
      localization_(localization), completion_(std::move(completion)) {}

std::shared_ptr<AutomaticScreenshotTranslation>
AutomaticScreenshotTranslation::start(TranslationBridgeController* controller, std::vector<RecognizedTextLine> lines,
                                      TranslationTargetLanguage targetPreference, const LocalizationStore& localization,
                                      Completion completion) {
    std::shared_ptr<AutomaticScreenshotTranslation> translation(new AutomaticScreenshotTranslation(
        controller, std::move(lines), targetPreference, localization, std::move(completion)));
    translation->run();
    return translation;
}

std::string AutomaticScreenshotTranslation::sourceText(const std::vector<RecognizedTextLine>& lines) {
    std::string joined;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        joined += (i == 0 ? "" : "\n") + lines[i].text;
    }
    return std::string(unicode::trimmed(joined));
}

void AutomaticScreenshotTranslation::run() {
    sourceText_ = sourceText(lines_);
    if (sourceText_.empty()) {
        // Shown to the user as it is, without a log line: nothing was recognised.
        finish(TranslationResult::failure(TranslationFailure::app(ScreenshotTranslationError::emptyText)));
        return;
    }
    if (!controller_) {
        handlePrimary(TranslationResult::failure(TranslationFailure::app(ScreenshotTranslationError::requiresMacOS15)));
        return;
    }
    auto self = shared_from_this();
    controller_->translate(sourceText_, std::nullopt, targetPreference_,
                           [self](TranslationResult result) { self->handlePrimary(std::move(result)); });
}

void AutomaticScreenshotTranslation::handlePrimary(TranslationResult result) {
    if (cancelled_) {
        return;
    }
    if (result.ok()) {
        finish(std::move(result));
        return;
    }
    if (result.error().isCancellation()) {
        return; // another translation took the bridge over; it owns the panel now
    }
    RuntimeLogger::log("editor automaticTranslation primary failed; trying line fallback error=" +
                       result.error().localizedDescription(localization_));
    if (!controller_) {
        fail(TranslationFailure::app(ScreenshotTranslationError::requiresMacOS15));
        return;
    }
    translateLine(0);
}

void AutomaticScreenshotTranslation::translateLine(std::size_t position) {
    while (position < lines_.size() && unicode::trimmed(lines_[position].text).empty()) {
        ++position;
    }
    if (position >= lines_.size()) {
        finishLines();
        return;
    }
    const RecognizedTextLine& line = lines_[position];
    auto self = shared_from_this();
    controller_->translate(
        std::string(unicode::trimmed(line.text)), line.recognizedLanguage, targetPreference_,
        [self, position](TranslationResult result) { self->handleLine(position, std::move(result)); });
}

void AutomaticScreenshotTranslation::handleLine(std::size_t position, TranslationResult result) {
    if (cancelled_) {
        return;
    }
    const RecognizedTextLine& line = lines_[position];
    if (result.ok()) {
        outputLines_.push_back(result.value().translatedText);
        if (!firstLineResult_) {
            firstLineResult_ = result.value();
        }
    } else if (result.error().isCancellation()) {
        return;
    } else {
        RuntimeLogger::log("editor automaticTranslation line fallback kept original index=" +
                           std::to_string(line.index) + " error=" + result.error().localizedDescription(localization_));
        outputLines_.emplace_back(unicode::trimmed(line.text));
    }
    translateLine(position + 1);
}

void AutomaticScreenshotTranslation::finishLines() {
    if (!firstLineResult_) {
        fail(TranslationFailure::app(ScreenshotTranslationError::internalFailure));
        return;
    }
    RuntimeLogger::log("editor automaticTranslation line fallback success lines=" +
                       std::to_string(outputLines_.size()));
    std::string translated;
    for (std::size_t i = 0; i < outputLines_.size(); ++i) {
        translated += (i == 0 ? "" : "\n") + outputLines_[i];
    }
    finish(TranslationResult::success(ScreenshotTranslationResult{sourceText_, std::move(translated), std::nullopt,
                                                                  firstLineResult_->targetLanguage}));
}

void AutomaticScreenshotTranslation::fail(const TranslationFailure& failure) {
    RuntimeLogger::log("editor automaticTranslation failed error=" + failure.localizedDescription(localization_));
    finish(TranslationResult::failure(failure));
}

void AutomaticScreenshotTranslation::finish(TranslationResult result) {
    if (cancelled_ || !completion_) {
        return;
    }
    auto completion = std::move(completion_);
    completion_ = nullptr;
    completion(std::move(result));
}

} // namespace brisklet
