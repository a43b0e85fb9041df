#include "TranslationFixture.h"

#include "Platform/Fake/CannedLanguageIdentifier.h"
#include "Platform/Fake/CannedTextRecognizer.h"
#include "Platform/Fake/InMemoryPasteboard.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Text/EditorTextPanelController.h"
#include "ZelvorApp/Text/EditorTextRecognitionModel.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"

namespace brisklet {
namespace {

struct RecordingHost final : EditorTextModeHost {
    int prepared = 0;
    int restored = 0;
    std::vector<EditorTextResponder> focused;
    void prepareForSecondaryTextMode() override { ++prepared; }
    void restorePhaseBeforeTextMode() override { ++restored; }
    void focus(EditorTextResponder responder) override { focused.push_back(responder); }
    void textStateDidChange() override {}
};

struct ScriptedImageSource final : EditorOCRImageSource {
    Image base = Image(120, 50);
    std::optional<std::string> captureError;
    int recaptures = 0;
    Result<Recapture, std::string> recaptureDisplayedArea() override {
        ++recaptures;
        if (captureError) {
            return Result<Recapture, std::string>::failure(*captureError);
        }
        return Result<Recapture, std::string>::success(Recapture{Image(100, 40), 2});
    }
    Image baseImage() const override { return base; }
};

// A platform that has live text; analyses finish when the test says so.
struct ScriptedLiveText final : LiveTextAnalysisPort {
    std::vector<AnalysisCompletion> pending;
    std::string overlayText;
    bool installed = false;
    bool isImageAnalysisSupported() const override { return true; }
    void analyze(const Image&, AnalysisCompletion completion) override { pending.push_back(std::move(completion)); }
    void clear() override {
        installed = false;
        overlayText.clear();
    }
    bool isOverlayInstalled() const override { return installed; }
    std::string text() const override { return overlayText; }
};

class EditorTextModesTest : public texttest::TranslationFixture {
protected:
    RecordingHost host;
    ScriptedImageSource imageSource;
    UnsupportedLiveText noLiveText;
    CannedTextRecognizer recognizer;
    CannedLanguageIdentifier languages{"en"};
    ManualSerialQueue* ocrQueue = nullptr;
    std::unique_ptr<ScreenshotOCRService> ocr;
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService exportService{pasteboard, tracker};

    void SetUp() override {
        TranslationFixture::SetUp();
        auto queue = std::make_unique<ManualSerialQueue>(ScreenshotOCRService::queueLabel);
        ocrQueue = queue.get();
        ocr = std::make_unique<ScreenshotOCRService>(recognizer, languages, std::move(queue), mainQueue);
        recognizer.setObservations(
            {CannedTextRecognizer::line("Title:", Rect{{0.1, 0.7}, {0.3, 0.2}}, 0.9f),
             CannedTextRecognizer::line("first words here", Rect{{0.1, 0.4}, {0.6, 0.2}}, 0.9f)});
    }

    std::unique_ptr<EditorTextRecognitionModel> makeModel(LiveTextAnalysisPort& liveText) {
        return std::make_unique<EditorTextRecognitionModel>(host, imageSource, liveText, *ocr, localization);
    }

    void finishRecognition() {
        while (ocrQueue->runPending() > 0 || session->runPending() > 0 || mainQueue.pendingTaskCount() > 0) {
            mainQueue.drain();
        }
    }
};

TEST_F(EditorTextModesTest, WithoutLiveTextTheEditorUsesItsOwnRecognition) {
    auto model = makeModel(noLiveText);
    model->toggleTextRecognitionMode();
    EXPECT_EQ(model->interactionMode(), EditorInteractionMode::classicOCR);
    EXPECT_FALSE(model->isCombinedTextRecognitionActive());
    EXPECT_EQ(host.prepared, 1);
    EXPECT_EQ(model->ocrState(), ScreenshotOCRState::recognizing());
    EXPECT_EQ(model->ocrState().statusText(localization), localization.text(L10nKey::errorOCRRecognizing));
    finishRecognition();
    EXPECT_EQ(model->ocrState(), ScreenshotOCRState::ready());
    EXPECT_FALSE(model->ocrState().statusText(localization));
    ASSERT_EQ(model->recognizedTextLines().size(), 2u);
    EXPECT_EQ(model->recognizedTextWords().size(), 4u);
    EXPECT_EQ(model->ocrPanelSourceText(), "## Title\n\nfirst words here");
    EXPECT_EQ(model->translationPanelState().sourceText(), "## Title\n\nfirst words here");
    EXPECT_EQ(recognizer.receivedImages().front().width(), 200) << "the fresh 100 × 40 capture, upscaled";
    EXPECT_EQ(host.focused.back(), EditorTextResponder::editorView);
    for (const char* line :
         {"editor toggleTextRecognitionMode current=annotation",
          "editor enterTextRecognition resolvedMode=classicOCR liveTextSupported=false",
          "editor currentOCRSourceImage source=recapture hiddenWindows=2", "editor beginOCRRecognition size=100x40",
          "editor focusActiveInteractionView responder=self mode=classicOCR",
          "editor applyRecognizedTextLines count=2"}) {
        EXPECT_TRUE(log.contains(line)) << line;
    }
}

TEST_F(EditorTextModesTest, AFailedRecaptureRecognisesTheBaseImage) {
    imageSource.captureError = "The screen could not be captured.";
    auto model = makeModel(noLiveText);
    EXPECT_EQ(model->currentOCRSourceImage().width(), 120);
    EXPECT_TRUE(
        log.contains("editor currentOCRSourceImage source=baseImage fallback error=The screen could not be captured."));
}

TEST_F(EditorTextModesTest, EmptyResultsAndFailuresShowDifferentStates) {
    auto model = makeModel(noLiveText);
    recognizer.setObservations({});
    model->enterBestAvailableTextRecognitionMode();
    finishRecognition();
    EXPECT_EQ(model->ocrState(), ScreenshotOCRState::empty());
    EXPECT_EQ(model->ocrState().statusText(localization), localization.text(L10nKey::errorOCREmpty));

    recognizer.setError({TextRecognitionErrorCode::engineFailed, "boom"});
    model->beginOCRRecognition();
    finishRecognition();
    EXPECT_EQ(model->ocrState(), ScreenshotOCRState::failed(localization.text(L10nKey::editorOCRFailedStatus)));
    EXPECT_EQ(model->ocrState().statusText(localization), localization.text(L10nKey::editorOCRFailedStatus));
    EXPECT_NE(model->ocrState(), ScreenshotOCRState::failed("other message"));
}

TEST_F(EditorTextModesTest, LeavingTheModeRestoresThePhaseAndDropsLateResults) {
    auto model = makeModel(noLiveText);
    model->toggleTextRecognitionMode();
    model->toggleTextRecognitionMode();
    EXPECT_EQ(model->interactionMode(), EditorInteractionMode::annotation);
    EXPECT_EQ(host.restored, 1);
    finishRecognition();
    EXPECT_TRUE(model->recognizedTextLines().empty()) << "the cancelled run's result is dropped";
    EXPECT_EQ(model->ocrState(), ScreenshotOCRState::idle());
    EXPECT_TRUE(model->translationPanelState().is<TranslationPanelState::Hidden>());

    model->beginOCRRecognition();
    model.reset();
    finishRecognition(); // a result arriving after the editor closed touches nothing
}

TEST_F(EditorTextModesTest, AskingForLiveTextWhereThereIsNoneFallsBackToClassicRecognition) {
    auto model = makeModel(noLiveText);
    model->toggleLiveTextMode();
    EXPECT_EQ(model->interactionMode(), EditorInteractionMode::classicOCR);
    EXPECT_TRUE(log.contains("editor toggleLiveTextMode current=annotation"));
    EXPECT_TRUE(log.contains("editor liveTextFallbackToClassicOCR reason=unsupported"));
    const auto* panel = model->translationPanelState().as<TranslationPanelState::Source>();
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->message, localization.text(L10nKey::editorLiveTextFallbackToClassicOCR));
    EXPECT_TRUE(model->isRecognizing());
    finishRecognition();
    EXPECT_EQ(model->translationPanelState().as<TranslationPanelState::Source>()->message,
              localization.text(L10nKey::editorLiveTextFallbackToClassicOCR))
        << "the message stays while the recognised text arrives";
    EXPECT_EQ(model->translationPanelState().sourceText(), "## Title\n\nfirst words here");
}

TEST_F(EditorTextModesTest, CombinedModeRunsBothAndFallsBackWithoutRestartingRecognition) {
    ScriptedLiveText liveText;
    auto model = makeModel(liveText);
    model->enterBestAvailableTextRecognitionMode();
    EXPECT_EQ(model->interactionMode(), EditorInteractionMode::liveText);
    EXPECT_TRUE(model->isCombinedTextRecognitionActive());
    ASSERT_EQ(liveText.pending.size(), 1u);
    EXPECT_TRUE(log.contains("editor focusActiveInteractionView responder=liveTextImageView"));
    EXPECT_EQ(model->activeTranslationSourceText(), "");

    liveText.pending[0](Status<std::string>::failure("analysis failed"));
    EXPECT_EQ(model->interactionMode(), EditorInteractionMode::classicOCR);
    EXPECT_TRUE(log.contains("editor liveTextFallbackToClassicOCR reason=analysisFailed"));
    EXPECT_EQ(log.countStartingWith("editor beginOCRRecognition"), 1u) << "the running recognition is kept";
    finishRecognition();
    EXPECT_EQ(model->ocrState(), ScreenshotOCRState::ready());
}

TEST_F(EditorTextModesTest, PanelPrefersSelectedWordsThenMarkdownThenLiveText) {
    ScriptedLiveText liveText;
    auto model = makeModel(liveText);
    model->enterBestAvailableTextRecognitionMode();
    liveText.installed = true;
    liveText.overlayText = "overlay text";
    liveText.pending[0](Status<std::string>::success(Unit{}));
    EXPECT_TRUE(log.contains("editor applyLiveTextAnalysis hasText=true activeTypes=text supplementaryHidden=false"));
    EXPECT_EQ(model->ocrPanelSourceText(), "overlay text") << "nothing recognised yet";
    finishRecognition();
    EXPECT_EQ(model->ocrPanelSourceText(), "## Title\n\nfirst words here");

    const auto& words = model->recognizedTextWords();
    model->beginWordDrag(words[3].id);
    model->dragToWord(words[2].id);
    EXPECT_EQ(model->ocrPanelSourceText(), "words here");
    model->selectLineOfWord(words[0].id);
    EXPECT_EQ(model->selectedRecognizedText(), "Title:");
    EXPECT_EQ(model->activeTranslationSourceText(), "overlay text") << "live-text mode translates the overlay's text";
}

TEST_F(EditorTextModesTest, CopyingPutsThePanelTextOnTheClipboardAsOurOwnWrite) {
    auto model = makeModel(noLiveText);
    EditorTextPanelController panel(*model, controller.get(), exportService,
                                    [] { return TranslationTargetLanguage::spanish; });
    panel.copyCurrentOCRPanelText();
    EXPECT_EQ(pasteboard.changeCount(), 0) << "nothing to copy";
    model->enterBestAvailableTextRecognitionMode();
    finishRecognition();
    panel.copyCurrentOCRPanelText();
    EXPECT_EQ(pasteboard.readText(), "## Title\n\nfirst words here");
    EXPECT_EQ(tracker.consume(pasteboard.changeCount()), AppClipboardWriteTracker::Policy::ignore);
}

TEST_F(EditorTextModesTest, ToolbarTranslatesTheRecognisedTextOrTheWholeScreenshot) {
    auto model = makeModel(noLiveText);
    EditorTextPanelController panel(*model, controller.get(), exportService,
                                    [] { return TranslationTargetLanguage::spanish; });
    panel.handleToolbarTranslateAction();
    EXPECT_TRUE(model->translationPanelState().is<TranslationPanelState::Translating>());
    finishRecognition();
    const auto* success = model->translationPanelState().as<TranslationPanelState::Success>();
    ASSERT_TRUE(success) << "nothing recognised yet: the whole screenshot is recognised and translated";
    EXPECT_EQ(success->result.translatedText, "[es] TITLE:\nFIRST WORDS HERE");

    model->enterBestAvailableTextRecognitionMode();
    finishRecognition();
    model->selectLineOfWord(model->recognizedTextWords()[1].id);
    panel.handleToolbarTranslateAction();
    finishRecognition();
    success = model->translationPanelState().as<TranslationPanelState::Success>();
    ASSERT_TRUE(success);
    EXPECT_EQ(success->result.sourceText, "first words here");
    EXPECT_EQ(translator.calls().back().source, "en") << "the lines' shared language";
}

TEST_F(EditorTextModesTest, TranslationFailuresAreShownAndLogged) {
    auto model = makeModel(noLiveText);
    EditorTextPanelController noEngine(*model, nullptr, exportService,
                                       [] { return TranslationTargetLanguage::spanish; });
    model->enterBestAvailableTextRecognitionMode();
    finishRecognition();
    noEngine.translateRecognizedText();
    const auto* failed = model->translationPanelState().as<TranslationPanelState::Failed>();
    ASSERT_TRUE(failed);
    EXPECT_EQ(failed->message, localization.text(L10nKey::errorTranslationRequiresMacOS15));
    EXPECT_EQ(failed->sourceText, "Title:\nfirst words here");
    EXPECT_TRUE(log.contains("editor translateRecognizedText failed error=" +
                             localization.text(L10nKey::errorTranslationRequiresMacOS15)));
}

TEST_F(EditorTextModesTest, ANewerTranslationReplacesTheRunningOne) {
    auto model = makeModel(noLiveText);
    EditorTextPanelController panel(*model, controller.get(), exportService,
                                    [] { return TranslationTargetLanguage::spanish; });
    panel.beginTranslation("first", "en");
    panel.beginTranslation("second", "en");
    finishRecognition();
    const auto* success = model->translationPanelState().as<TranslationPanelState::Success>();
    ASSERT_TRUE(success);
    EXPECT_EQ(success->result.sourceText, "second");
    EXPECT_FALSE(panel.isTranslating());
}

} // namespace
} // namespace brisklet
