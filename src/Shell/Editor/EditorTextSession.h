#pragma once

#include "Shell/Editor/EditorTextOverlay.h"
#include "Shell/Editor/EditorTextPanel.h"
#include "ZelvorApp/Editor/AnnotationStyleController.h"
#include "ZelvorApp/Editor/EditorModes.h"
#include "ZelvorApp/Text/EditorTextModePorts.h"

#include <QPointer>

#include <functional>
#include <memory>

class QPointF;

namespace brisklet {

class EditorTextPanelController;
class EditorTextRecognitionModel;
class EditorToolbar;
class ExportService;
class LocalizationStore;
class ScreenshotEditorModel;
class ScreenshotEditorWindow;
class ScreenshotOCRService;
class TranslationBridgeController;

/// Text recognition and translation in one open editor: runs the text model on the editor's
/// image, routes the pointer to the word boxes while a text mode is on, and keeps the text panel
/// and the toolbar up to date. Lives as long as the editor's window and model.
class EditorTextSession final : public EditorTextModeHost, public EditorOCRImageSource {
public:
    struct Services {
        ScreenshotOCRService& ocr;
        /// Null where no translation engine exists.
        TranslationBridgeController* translation = nullptr;
        ExportService& exportService;
        const LocalizationStore& localization;
        /// The target language the preferences hold when the editor opens.
        TranslationTargetLanguage targetLanguage = TranslationTargetLanguage::automatic;
        /// Remembers a target language chosen in the panel.
        PreferencesUpdater updatePreferences;
    };

    EditorTextSession(Services services, ScreenshotEditorModel& editor, ScreenshotEditorWindow& window,
                      EditorToolbar* toolbar, bool dark);
    ~EditorTextSession() override;

    EditorTextSession(const EditorTextSession&) = delete;
    EditorTextSession& operator=(const EditorTextSession&) = delete;

    /// The text-recognition button and hotkey: into the text mode, or back out of it.
    void toggleTextRecognition();
    /// The translate button and hotkey: the selected or recognised text, recognising it first
    /// when the editor is not in a text mode yet.
    void translate();
    /// How the editor was opened: straight into recognition or translation.
    void openIn(ScreenshotEditorInitialInteractionMode mode);
    /// Back to annotating (a tool was picked).
    void leaveTextMode();
    bool isTextModeActive() const;

    bool hasSelection() const;
    /// Puts the selected words on the clipboard as plain text.
    void copySelection();
    void clearSelection();

    EditorTextRecognitionModel& text() { return *text_; }
    EditorTextPanel* panel() const { return panel_; }

    // EditorTextModeHost
    void prepareForSecondaryTextMode() override;
    void restorePhaseBeforeTextMode() override;
    void focus(EditorTextResponder responder) override;
    void textStateDidChange() override;

    // EditorOCRImageSource
    Result<Recapture, std::string> recaptureDisplayedArea() override;
    Image baseImage() const override;

private:
    void mousePress(QPointF point, int clickCount);
    void mouseMove(QPointF point, bool leftButtonDown);
    void selectionChanged();
    void chooseTarget(TranslationTargetLanguage target);
    void startPendingTranslation();
    EditorTextPanel::Content panelContent() const;

    Services services_;
    ScreenshotEditorModel& editor_;
    ScreenshotEditorWindow& window_;
    QPointer<EditorToolbar> toolbar_;
    UnsupportedLiveText liveText_;
    std::unique_ptr<EditorTextRecognitionModel> text_;
    std::unique_ptr<EditorTextPanelController> panelController_;
    EditorTextOverlay overlay_;
    QPointer<EditorTextPanel> panel_;
    TranslationTargetLanguage target_;
    /// A translation asked for before the text was recognised waits for the recognition.
    bool translationPending_ = false;
    /// A drag that began between words anchors on the first word it reaches.
    bool dragging_ = false;
    bool dragAnchored_ = false;
};

} // namespace brisklet
