#pragma once

#include "Platform/TextRecognizer.h"
#include "ZelvorApp/Text/EditorTextModePorts.h"
#include "ZelvorApp/Text/RecognizedTextLine.h"
#include "ZelvorApp/Text/RecognizedTextSelection.h"
#include "ZelvorApp/Text/ScreenshotOCRState.h"
#include "ZelvorApp/Text/TranslationPanelState.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

class LocalizationStore;
class ScreenshotOCRService;

/// The editor's text modes: choosing between its own recognition and the platform's live text,
/// running recognition on the right image, word selection, and what the text panel shows. The
/// editor window drives it and draws what it holds. Main queue only.
class EditorTextRecognitionModel {
public:
    EditorTextRecognitionModel(EditorTextModeHost& host, EditorOCRImageSource& imageSource,
                               LiveTextAnalysisPort& liveText, ScreenshotOCRService& ocrService,
                               const LocalizationStore& localization);
    ~EditorTextRecognitionModel();

    EditorTextRecognitionModel(const EditorTextRecognitionModel&) = delete;
    EditorTextRecognitionModel& operator=(const EditorTextRecognitionModel&) = delete;

    // Modes.
    /// The text-recognition action: leaves a text mode or enters the best one available.
    void toggleTextRecognitionMode();
    /// Live text together with our own recognition where the platform has it, else our own alone.
    void enterBestAvailableTextRecognitionMode();
    void toggleLiveTextMode();
    /// Back to annotating, in the phase the editor had before the text mode.
    void exitSecondaryTextMode();
    void fallbackFromLiveTextToClassicOCR(const std::string& reason);

    // Recognition.
    void beginOCRRecognition();
    void applyRecognizedTextLines(std::vector<RecognizedTextLine> lines);
    /// A fresh capture of the displayed screen area, or the base image when that fails.
    Image currentOCRSourceImage();
    void beginLiveTextAnalysis();
    /// Recognises a fresh copy of the editor's image without touching the mode's state (the
    /// automatic translation's own pass). The completion runs on the main queue.
    void recognizeCurrentImage(
        std::function<void(Result<std::vector<RecognizedTextLine>, TextRecognitionError>)> completion);
    void clearClassicOCRState();
    void clearLiveTextState();
    /// Drops running recognition and analysis (the editor is closing).
    void cancelTasks();

    // Word selection.
    /// A double click: the word's whole line.
    void selectLineOfWord(const Uuid& wordID);
    /// A single click anchors a drag on `wordID`.
    void beginWordDrag(const Uuid& wordID);
    /// While dragging: every word from the anchor to `wordID`.
    void dragToWord(const Uuid& wordID);
    void setHoveredWord(std::optional<Uuid> wordID);
    void clearSelection();

    // Text.
    /// The selected words, one line per recognised line, trimmed.
    std::string selectedRecognizedText() const;
    /// The selection, else the Markdown of all lines, else the live-text overlay's text.
    std::string ocrPanelSourceText() const;
    /// The selection, else all lines' texts; what our own translation translates.
    std::string translationSourceText() const;
    /// The language shared by the lines `translationSourceText` comes from, if they agree.
    std::optional<std::string> translationSourceLanguage() const;
    /// In live-text mode the overlay's text, else `translationSourceText`.
    std::string activeTranslationSourceText() const;
    /// Puts the recognised text into the panel unless a translation is shown there.
    void refreshTextPanel();

    EditorInteractionMode interactionMode() const { return interactionMode_; }
    bool isCombinedTextRecognitionActive() const { return isCombinedTextRecognitionActive_; }
    bool isRecognizing() const { return ocrRunning_; }
    const std::vector<RecognizedTextLine>& recognizedTextLines() const { return recognizedTextLines_; }
    const std::vector<RecognizedTextItem>& recognizedTextWords() const { return recognizedTextWords_; }
    const TextSelectionState& textSelection() const { return textSelection_; }
    const std::optional<Uuid>& hoveredRecognizedWordID() const { return hoveredRecognizedWordID_; }
    const ScreenshotOCRState& ocrState() const { return ocrState_; }
    const TranslationPanelState& translationPanelState() const { return translationPanelState_; }
    void setTranslationPanelState(TranslationPanelState state);
    LiveTextAnalysisPort& liveText() { return liveText_; }
    const LocalizationStore& localization() const { return localization_; }

private:
    void prepareForSecondaryTextModeIfNeeded();
    void focusActiveInteractionView();
    void applyLiveTextAnalysis();
    void failRecognition();
    void clearRecognizedText();
    bool isCurrent(std::uint64_t generation, std::uint64_t current) const { return generation == current; }

    EditorTextModeHost& host_;
    EditorOCRImageSource& imageSource_;
    LiveTextAnalysisPort& liveText_;
    ScreenshotOCRService& ocrService_;
    const LocalizationStore& localization_;

    EditorInteractionMode interactionMode_ = EditorInteractionMode::annotation;
    bool isCombinedTextRecognitionActive_ = false;
    std::vector<RecognizedTextLine> recognizedTextLines_;
    std::vector<RecognizedTextItem> recognizedTextWords_;
    TextSelectionState textSelection_;
    std::optional<Uuid> dragAnchorWordID_;
    std::optional<Uuid> hoveredRecognizedWordID_;
    ScreenshotOCRState ocrState_ = ScreenshotOCRState::idle();
    TranslationPanelState translationPanelState_;
    bool ocrRunning_ = false;
    std::uint64_t ocrGeneration_ = 0;
    std::uint64_t liveTextGeneration_ = 0;
    // Completions that arrive after the model is gone check this first.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
