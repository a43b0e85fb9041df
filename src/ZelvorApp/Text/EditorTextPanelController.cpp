#include "ZelvorApp/Text/EditorTextPanelController.h"

#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Text/EditorTextRecognitionModel.h"
#include "ZelvorApp/Text/ScreenshotOCRServiceError.h"

namespace brisklet {

using TranslationResult = TranslationBridgeController::TranslationResult;

EditorTextPanelController::EditorTextPanelController(EditorTextRecognitionModel& text,
                                                     TranslationBridgeController* translation,
                                                     ExportService& exportService,
                                                     TargetPreferenceProvider targetPreference)
    : text_(text), translation_(translation), exportService_(exportService),
      targetPreference_(std::move(targetPreference)) {}

EditorTextPanelController::~EditorTextPanelController() {
    cancelTranslation();
    *alive_ = false;
}

void EditorTextPanelController::handleToolbarTranslateAction() {
    RuntimeLogger::log("editor handleToolbarTranslateAction mode=" + std::string(toString(text_.interactionMode())));
    if (const std::string liveText = text_.liveText().text();
        text_.interactionMode() == EditorInteractionMode::liveText && !liveText.empty()) {
        beginTranslation(liveText, std::nullopt);
        return;
    }
    if (const std::string source = text_.translationSourceText(); !source.empty()) {
        beginTranslation(source, text_.translationSourceLanguage());
        return;
    }
    beginAutomaticOCRTranslation();
}

void EditorTextPanelController::translateRecognizedText() {
    const bool liveTextMode = text_.interactionMode() == EditorInteractionMode::liveText;
    beginTranslation(text_.activeTranslationSourceText(),
                     liveTextMode ? std::nullopt : text_.translationSourceLanguage());
}

void EditorTextPanelController::beginTranslation(const std::string& sourceText,
                                                 const std::optional<std::string>& sourceLanguage) {
    cancelTranslation();
    const std::uint64_t generation = ++translationGeneration_;
    translationRunning_ = true;
    text_.setTranslationPanelState(TranslationPanelState::Translating{sourceText});
    const char* logPrefix = "editor translateRecognizedText failed error=";
    if (!translation_) {
        showTranslationResult(
            generation, sourceText,
            TranslationResult::failure(TranslationFailure::app(ScreenshotTranslationError::requiresMacOS15)),
            logPrefix);
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    translation_->translate(sourceText, sourceLanguage, targetPreference_(),
                            [this, alive, generation, sourceText, logPrefix](TranslationResult result) {
                                if (!alive.expired()) {
                                    showTranslationResult(generation, sourceText, std::move(result), logPrefix);
                                }
                            });
}

void EditorTextPanelController::beginAutomaticOCRTranslation() {
    cancelTranslation();
    const std::uint64_t generation = ++translationGeneration_;
    translationRunning_ = true;
    text_.setTranslationPanelState(TranslationPanelState::Translating{text_.translationSourceText()});
    std::weak_ptr<bool> alive = alive_;
    text_.recognizeCurrentImage([this, alive,
                                 generation](Result<std::vector<RecognizedTextLine>, TextRecognitionError> lines) {
        if (alive.expired() || generation != translationGeneration_) {
            return;
        }
        if (!lines.ok()) {
            const std::string message =
                localizedErrorMessage(ScreenshotOCRServiceError::recognitionFailed, text_.localization()).value_or("");
            RuntimeLogger::log("editor automaticTranslation failed error=" + message);
            translationRunning_ = false;
            text_.setTranslationPanelState(TranslationPanelState::Failed{"", message});
            return;
        }
        const std::string sourceText = AutomaticScreenshotTranslation::sourceText(lines.value());
        automaticTranslation_ = AutomaticScreenshotTranslation::start(
            translation_, std::move(lines).value(), targetPreference_(), text_.localization(),
            [this, alive, generation, sourceText](TranslationResult result) {
                if (!alive.expired()) {
                    showTranslationResult(generation, sourceText, std::move(result), nullptr);
                }
            });
    });
}

void EditorTextPanelController::showTranslationResult(std::uint64_t generation, const std::string& sourceText,
                                                      TranslationResult result, const char* failureLogPrefix) {
    if (generation != translationGeneration_) {
        return;
    }
    if (!result.ok() && result.error().isCancellation()) {
        return; // withdrawn in favour of a newer translation, which owns the panel
    }
    translationRunning_ = false;
    automaticTranslation_.reset();
    if (result.ok()) {
        text_.setTranslationPanelState(TranslationPanelState::Success{std::move(result).value()});
        return;
    }
    const std::string message = result.error().localizedDescription(text_.localization());
    if (failureLogPrefix) {
        RuntimeLogger::log(failureLogPrefix + message);
    }
    text_.setTranslationPanelState(TranslationPanelState::Failed{sourceText, message});
}

void EditorTextPanelController::copyCurrentOCRPanelText() {
    const std::string& source = text_.translationPanelState().sourceText();
    if (!source.empty()) {
        exportService_.copyTextToPasteboard(source);
    }
}

void EditorTextPanelController::cancelTranslation() {
    ++translationGeneration_;
    translationRunning_ = false;
    if (automaticTranslation_) {
        automaticTranslation_->cancel();
        automaticTranslation_.reset();
    }
}

} // namespace brisklet
