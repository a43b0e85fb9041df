#include "ZelvorApp/Text/EditorTextRecognitionModel.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Text/OCRMarkdownFormatter.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"
#include "ZelvorApp/Text/UnicodeText.h"

#include <algorithm>

namespace brisklet {

namespace {

std::string modeName(EditorInteractionMode mode) {
    return std::string(toString(mode));
}

const char* boolText(bool value) {
    return value ? "true" : "false";
}

} // namespace

EditorTextRecognitionModel::EditorTextRecognitionModel(EditorTextModeHost& host, EditorOCRImageSource& imageSource,
                                                       LiveTextAnalysisPort& liveText, ScreenshotOCRService& ocrService,
                                                       const LocalizationStore& localization)
    : host_(host), imageSource_(imageSource), liveText_(liveText), ocrService_(ocrService),
      localization_(localization) {}

EditorTextRecognitionModel::~EditorTextRecognitionModel() {
    *alive_ = false;
}

void EditorTextRecognitionModel::toggleTextRecognitionMode() {
    RuntimeLogger::log("editor toggleTextRecognitionMode current=" + modeName(interactionMode_));
    if (interactionMode_ != EditorInteractionMode::annotation) {
        exitSecondaryTextMode();
    } else {
        enterBestAvailableTextRecognitionMode();
    }
    focusActiveInteractionView();
}

void EditorTextRecognitionModel::enterBestAvailableTextRecognitionMode() {
    prepareForSecondaryTextModeIfNeeded();
    const bool liveTextSupported = liveText_.isImageAnalysisSupported();
    const auto resolvedMode = liveTextSupported ? EditorInteractionMode::liveText : EditorInteractionMode::classicOCR;
    RuntimeLogger::log("editor enterTextRecognition resolvedMode=" + modeName(resolvedMode) +
                       " liveTextSupported=" + boolText(liveTextSupported));
    isCombinedTextRecognitionActive_ = liveTextSupported;
    interactionMode_ = resolvedMode;
    if (liveTextSupported) {
        beginLiveTextAnalysis();
    }
    beginOCRRecognition();
    focusActiveInteractionView();
}

void EditorTextRecognitionModel::toggleLiveTextMode() {
    RuntimeLogger::log("editor toggleLiveTextMode current=" + modeName(interactionMode_));
    if (interactionMode_ == EditorInteractionMode::liveText) {
        exitSecondaryTextMode();
        return;
    }
    if (interactionMode_ == EditorInteractionMode::classicOCR) {
        clearClassicOCRState();
    } else {
        prepareForSecondaryTextModeIfNeeded();
    }
    interactionMode_ = EditorInteractionMode::liveText;
    beginLiveTextAnalysis();
    focusActiveInteractionView();
}

void EditorTextRecognitionModel::exitSecondaryTextMode() {
    clearClassicOCRState();
    clearLiveTextState();
    isCombinedTextRecognitionActive_ = false;
    host_.restorePhaseBeforeTextMode();
    interactionMode_ = EditorInteractionMode::annotation;
    translationPanelState_ = TranslationPanelState();
    host_.textStateDidChange();
}

void EditorTextRecognitionModel::fallbackFromLiveTextToClassicOCR(const std::string& reason) {
    RuntimeLogger::log("editor liveTextFallbackToClassicOCR reason=" + reason);
    clearLiveTextState();
    isCombinedTextRecognitionActive_ = false;
    const bool classicAlreadyRunning = ocrRunning_;
    interactionMode_ = EditorInteractionMode::classicOCR;
    translationPanelState_ = TranslationPanelState::Source{
        ocrPanelSourceText(), "", localization_.text(L10nKey::editorLiveTextFallbackToClassicOCR)};
    host_.textStateDidChange();
    if (!classicAlreadyRunning) {
        beginOCRRecognition();
    }
}

Image EditorTextRecognitionModel::currentOCRSourceImage() {
    auto recapture = imageSource_.recaptureDisplayedArea();
    if (recapture.ok()) {
        RuntimeLogger::log("editor currentOCRSourceImage source=recapture hiddenWindows=" +
                           std::to_string(recapture.value().hiddenWindowCount));
        return std::move(recapture).value().image;
    }
    RuntimeLogger::log("editor currentOCRSourceImage source=baseImage fallback error=" + recapture.error());
    return imageSource_.baseImage();
}

void EditorTextRecognitionModel::beginOCRRecognition() {
    Image image = currentOCRSourceImage();
    RuntimeLogger::log("editor beginOCRRecognition size=" + std::to_string(image.width()) + "x" +
                       std::to_string(image.height()));
    const std::uint64_t generation = ++ocrGeneration_;
    ocrRunning_ = true;
    ocrState_ = ScreenshotOCRState::recognizing();
    clearRecognizedText();
    refreshTextPanel();
    host_.textStateDidChange();
    std::weak_ptr<bool> alive = alive_;
    ocrService_.recognizeText(std::move(image),
                              [this, alive, generation](ScreenshotOCRService::RecognitionResult result) {
                                  const auto isAlive = alive.lock();
                                  if (!isAlive || !*isAlive || !isCurrent(generation, ocrGeneration_)) {
                                      return; // cancelled: a newer run or the closing editor owns the state now
                                  }
                                  ocrRunning_ = false;
                                  if (result.ok()) {
                                      applyRecognizedTextLines(std::move(result).value());
                                  } else {
                                      failRecognition();
                                  }
                              });
}

void EditorTextRecognitionModel::applyRecognizedTextLines(std::vector<RecognizedTextLine> lines) {
    recognizedTextWords_ = allWords(lines);
    recognizedTextLines_ = std::move(lines);
    textSelection_ = {};
    dragAnchorWordID_.reset();
    hoveredRecognizedWordID_.reset();
    ocrState_ = recognizedTextLines_.empty() ? ScreenshotOCRState::empty() : ScreenshotOCRState::ready();
    RuntimeLogger::log("editor applyRecognizedTextLines count=" + std::to_string(recognizedTextLines_.size()));
    refreshTextPanel();
    host_.textStateDidChange();
}

void EditorTextRecognitionModel::failRecognition() {
    clearRecognizedText();
    ocrState_ = ScreenshotOCRState::failed(localization_.text(L10nKey::editorOCRFailedStatus));
    refreshTextPanel();
    host_.textStateDidChange();
}

void EditorTextRecognitionModel::beginLiveTextAnalysis() {
    const Image image = imageSource_.baseImage();
    RuntimeLogger::log("editor beginLiveTextAnalysis size=" + std::to_string(image.width()) + "x" +
                       std::to_string(image.height()));
    if (!liveText_.isImageAnalysisSupported()) {
        fallbackFromLiveTextToClassicOCR("unsupported");
        return;
    }
    const std::uint64_t generation = ++liveTextGeneration_;
    std::weak_ptr<bool> alive = alive_;
    liveText_.analyze(image, [this, alive, generation](Status<std::string> status) {
        const auto isAlive = alive.lock();
        if (!isAlive || !*isAlive || !isCurrent(generation, liveTextGeneration_)) {
            return;
        }
        if (status.ok()) {
            applyLiveTextAnalysis();
        } else {
            fallbackFromLiveTextToClassicOCR("analysisFailed");
        }
    });
}

void EditorTextRecognitionModel::recognizeCurrentImage(
    std::function<void(Result<std::vector<RecognizedTextLine>, TextRecognitionError>)> completion) {
    ocrService_.recognizeText(currentOCRSourceImage(), std::move(completion));
}

void EditorTextRecognitionModel::applyLiveTextAnalysis() {
    RuntimeLogger::log(std::string("editor applyLiveTextAnalysis hasText=") + boolText(!liveText_.text().empty()) +
                       " activeTypes=text supplementaryHidden=false");
    refreshTextPanel();
    host_.textStateDidChange();
}

void EditorTextRecognitionModel::clearClassicOCRState() {
    ++ocrGeneration_;
    ocrRunning_ = false;
    clearRecognizedText();
    ocrState_ = ScreenshotOCRState::idle();
}

void EditorTextRecognitionModel::clearLiveTextState() {
    ++liveTextGeneration_;
    liveText_.clear();
}

void EditorTextRecognitionModel::cancelTasks() {
    ++ocrGeneration_;
    ++liveTextGeneration_;
    ocrRunning_ = false;
}

void EditorTextRecognitionModel::clearRecognizedText() {
    recognizedTextLines_.clear();
    recognizedTextWords_.clear();
    textSelection_ = {};
    dragAnchorWordID_.reset();
    hoveredRecognizedWordID_.reset();
}

void EditorTextRecognitionModel::prepareForSecondaryTextModeIfNeeded() {
    if (interactionMode_ == EditorInteractionMode::annotation) {
        host_.prepareForSecondaryTextMode();
    }
}

void EditorTextRecognitionModel::focusActiveInteractionView() {
    if (interactionMode_ == EditorInteractionMode::liveText) {
        const bool overlay = liveText_.isOverlayInstalled();
        RuntimeLogger::log(std::string("editor focusActiveInteractionView responder=") +
                           (overlay ? "liveTextOverlayView" : "liveTextImageView"));
        host_.focus(overlay ? EditorTextResponder::liveTextOverlayView : EditorTextResponder::liveTextImageView);
        return;
    }
    RuntimeLogger::log("editor focusActiveInteractionView responder=self mode=" + modeName(interactionMode_));
    host_.focus(EditorTextResponder::editorView);
}

void EditorTextRecognitionModel::selectLineOfWord(const Uuid& wordID) {
    for (const auto& line : recognizedTextLines_) {
        for (const auto& word : line.words) {
            if (word.id == wordID) {
                textSelection_.selectedWordIDs = RecognizedTextSelection::lineWordIDs(line);
                dragAnchorWordID_.reset();
                refreshTextPanel();
                host_.textStateDidChange();
                return;
            }
        }
    }
}

void EditorTextRecognitionModel::beginWordDrag(const Uuid& wordID) {
    dragAnchorWordID_ = wordID;
    dragToWord(wordID);
}

void EditorTextRecognitionModel::dragToWord(const Uuid& wordID) {
    if (!dragAnchorWordID_) {
        return;
    }
    textSelection_.selectedWordIDs =
        RecognizedTextSelection::rangeWordIDs(*dragAnchorWordID_, wordID, recognizedTextWords_);
    refreshTextPanel();
    host_.textStateDidChange();
}

void EditorTextRecognitionModel::setHoveredWord(std::optional<Uuid> wordID) {
    if (hoveredRecognizedWordID_ != wordID) {
        hoveredRecognizedWordID_ = std::move(wordID);
        host_.textStateDidChange();
    }
}

void EditorTextRecognitionModel::clearSelection() {
    textSelection_ = {};
    dragAnchorWordID_.reset();
    refreshTextPanel();
    host_.textStateDidChange();
}

std::string EditorTextRecognitionModel::selectedRecognizedText() const {
    return std::string(
        unicode::trimmed(RecognizedTextSelection::joinedText(recognizedTextLines_, textSelection_.selectedWordIDs)));
}

std::string EditorTextRecognitionModel::ocrPanelSourceText() const {
    if (auto selected = selectedRecognizedText(); !selected.empty()) {
        return selected;
    }
    if (auto markdown = std::string(unicode::trimmed(OCRMarkdownFormatter::markdown(recognizedTextLines_)));
        !markdown.empty()) {
        return markdown;
    }
    return liveText_.text();
}

std::string EditorTextRecognitionModel::translationSourceText() const {
    if (auto selected = selectedRecognizedText(); !selected.empty()) {
        return selected;
    }
    std::string joined;
    for (std::size_t i = 0; i < recognizedTextLines_.size(); ++i) {
        joined += (i == 0 ? "" : "\n") + recognizedTextLines_[i].text;
    }
    return std::string(unicode::trimmed(joined));
}

std::optional<std::string> EditorTextRecognitionModel::translationSourceLanguage() const {
    const bool selectionOnly = !selectedRecognizedText().empty();
    std::optional<std::string> shared;
    bool first = true;
    for (const auto& line : recognizedTextLines_) {
        const bool contributes =
            !selectionOnly || std::any_of(line.words.begin(), line.words.end(), [&](const RecognizedTextItem& w) {
                return textSelection_.selectedWordIDs.contains(w.id);
            });
        if (!contributes) {
            continue;
        }
        if (first) {
            shared = line.recognizedLanguage;
            first = false;
        } else if (shared != line.recognizedLanguage) {
            return std::nullopt; // mixed languages: let the engine detect
        }
    }
    return shared;
}

std::string EditorTextRecognitionModel::activeTranslationSourceText() const {
    if (interactionMode_ == EditorInteractionMode::liveText) {
        return liveText_.text();
    }
    return translationSourceText();
}

void EditorTextRecognitionModel::refreshTextPanel() {
    if (interactionMode_ == EditorInteractionMode::annotation) {
        return;
    }
    if (const auto* source = translationPanelState_.as<TranslationPanelState::Source>()) {
        translationPanelState_ =
            TranslationPanelState::Source{ocrPanelSourceText(), source->translatedText, source->message};
    } else if (translationPanelState_.is<TranslationPanelState::Hidden>()) {
        translationPanelState_ = TranslationPanelState::Source{ocrPanelSourceText(), "", ""};
    }
}

void EditorTextRecognitionModel::setTranslationPanelState(TranslationPanelState state) {
    translationPanelState_ = std::move(state);
    host_.textStateDidChange();
}

} // namespace brisklet
