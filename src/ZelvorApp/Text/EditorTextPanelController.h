#pragma once

#include "ZelvorApp/Text/AutomaticScreenshotTranslation.h"
#include "ZelvorApp/Text/TranslationBridgeController.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace brisklet {

class EditorTextRecognitionModel;
class ExportService;
class LocalizationStore;

/// The actions of the editor's text panel: translating the recognised text (on request or the
/// whole screenshot automatically) and copying the panel's text. Main queue only.
class EditorTextPanelController {
public:
    using TargetPreferenceProvider = std::function<TranslationTargetLanguage()>;

    /// `translation` is null where no translation engine exists.
    EditorTextPanelController(EditorTextRecognitionModel& text, TranslationBridgeController* translation,
                              ExportService& exportService, TargetPreferenceProvider targetPreference);
    ~EditorTextPanelController();

    EditorTextPanelController(const EditorTextPanelController&) = delete;
    EditorTextPanelController& operator=(const EditorTextPanelController&) = delete;

    /// The toolbar's translate action: the live-text or recognised text when there is some,
    /// else the whole screenshot.
    void handleToolbarTranslateAction();
    /// Translates the selection, or all recognised text.
    void translateRecognizedText();
    void beginTranslation(const std::string& sourceText, const std::optional<std::string>& sourceLanguage);
    /// Recognises the editor's image again and translates all of it, line by line if need be.
    void beginAutomaticOCRTranslation();
    /// Copies the panel's source text as plain text (marked as our own clipboard write).
    void copyCurrentOCRPanelText();
    /// Drops a running translation (the editor is closing or the text changed).
    void cancelTranslation();

    bool isTranslating() const { return translationRunning_; }

private:
    void showTranslationResult(std::uint64_t generation, const std::string& sourceText,
                               TranslationBridgeController::TranslationResult result, const char* failureLogPrefix);

    EditorTextRecognitionModel& text_;
    TranslationBridgeController* translation_;
    ExportService& exportService_;
    TargetPreferenceProvider targetPreference_;
    std::shared_ptr<AutomaticScreenshotTranslation> automaticTranslation_;
    std::uint64_t translationGeneration_ = 0;
    bool translationRunning_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
