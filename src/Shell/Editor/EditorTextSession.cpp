#include "Shell/Editor/EditorTextSession.h"

#include "Shell/Editor/EditorToolbar.h"
#include "Shell/Editor/ScreenshotEditorWindow.h"
#include "ZelvorApp/Editor/ScreenshotEditorModel.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Text/EditorTextPanelController.h"
#include "ZelvorApp/Text/EditorTextRecognitionModel.h"

#include <QPointF>

namespace brisklet {

EditorTextSession::EditorTextSession(Services services, ScreenshotEditorModel& editor, ScreenshotEditorWindow& window,
                                     EditorToolbar* toolbar, bool dark)
    : services_(std::move(services)), editor_(editor), window_(window), toolbar_(toolbar),
      text_(
          std::make_unique<EditorTextRecognitionModel>(*this, *this, liveText_, services_.ocr, services_.localization)),
      overlay_(*text_), target_(services_.targetLanguage) {
    panelController_ = std::make_unique<EditorTextPanelController>(*text_, services_.translation,
                                                                   services_.exportService, [this] { return target_; });
    panel_ = new EditorTextPanel(services_.localization, dark, &window_);
    panel_->hide();
    panel_->onCopy = [this] {
        if (!text_->translationPanelState().sourceText().empty()) {
            panelController_->copyCurrentOCRPanelText();
        } else if (const std::string shown = text_->ocrPanelSourceText(); !shown.empty()) {
            services_.exportService.copyTextToPasteboard(shown);
        }
    };
    panel_->onTranslate = [this] { translate(); };
    panel_->onCopyTranslation = [this] {
        if (const auto* success = text_->translationPanelState().as<TranslationPanelState::Success>()) {
            services_.exportService.copyTextToPasteboard(success->result.translatedText);
        }
    };
    panel_->onTargetChanged = [this](TranslationTargetLanguage target) { chooseTarget(target); };

    ScreenshotEditorWindow::TextModeLayer layer;
    layer.isActive = [this] { return isTextModeActive(); };
    layer.paint = [this](QPainter& painter) { overlay_.paint(painter, editor_.viewport()); };
    layer.press = [this](QPointF point, int clickCount) { mousePress(point, clickCount); };
    layer.move = [this](QPointF point, bool leftButtonDown) { mouseMove(point, leftButtonDown); };
    layer.release = [this](QPointF) { dragging_ = false; };
    window_.setTextModeLayer(std::move(layer));
}

EditorTextSession::~EditorTextSession() {
    window_.setTextModeLayer({});
    panelController_.reset();
    text_->cancelTasks();
    delete panel_.data();
}

void EditorTextSession::toggleTextRecognition() {
    translationPending_ = false;
    text_->toggleTextRecognitionMode();
}

void EditorTextSession::translate() {
    if (!isTextModeActive()) {
        translationPending_ = true;
        text_->enterBestAvailableTextRecognitionMode();
        return;
    }
    if (text_->isRecognizing()) {
        translationPending_ = true;
        return;
    }
    panelController_->handleToolbarTranslateAction();
}

void EditorTextSession::openIn(ScreenshotEditorInitialInteractionMode mode) {
    switch (mode) {
    case ScreenshotEditorInitialInteractionMode::normal:
        return;
    case ScreenshotEditorInitialInteractionMode::textRecognition:
    case ScreenshotEditorInitialInteractionMode::classicOCR:
        text_->enterBestAvailableTextRecognitionMode();
        return;
    case ScreenshotEditorInitialInteractionMode::translate:
        translate();
        return;
    }
}

void EditorTextSession::leaveTextMode() {
    if (isTextModeActive()) {
        translationPending_ = false;
        panelController_->cancelTranslation();
        text_->exitSecondaryTextMode();
    }
}

bool EditorTextSession::isTextModeActive() const {
    return text_->interactionMode() != EditorInteractionMode::annotation;
}

bool EditorTextSession::hasSelection() const {
    return !text_->textSelection().selectedWordIDs.empty();
}

void EditorTextSession::copySelection() {
    if (const std::string selected = text_->selectedRecognizedText(); !selected.empty()) {
        services_.exportService.copyTextToPasteboard(selected);
    }
}

void EditorTextSession::clearSelection() {
    if (hasSelection()) {
        text_->clearSelection();
    }
}

void EditorTextSession::prepareForSecondaryTextMode() {
    // Words are found on the picture as it stands; a region still being adjusted is settled
    // first, since boxes over a rectangle that then moved would point at other pixels.
    // The window already shows that picture: it took it when the region was let go.
    editor_.finishSelectionAdjustment();
    editor_.commitActiveTextEdit();
    editor_.selectTool(std::nullopt);
}

void EditorTextSession::restorePhaseBeforeTextMode() {
    // The text mode settled the region, so the phase to come back to is always `annotating`.
    editor_.setInteractionMode(EditorInteractionMode::annotation);
}

void EditorTextSession::focus(EditorTextResponder) {
    // Only our own view exists here (no live-text overlay): the picture takes the keyboard, so
    // Ctrl+C and Esc reach the editor.
    window_.focusPicture();
    window_.setCursor(isTextModeActive() ? Qt::ArrowCursor : Qt::CrossCursor);
}

void EditorTextSession::textStateDidChange() {
    if (editor_.interactionMode() != text_->interactionMode()) {
        editor_.setInteractionMode(text_->interactionMode());
    }
    if (isTextModeActive()) {
        panel_->setContent(panelContent());
        // Beside the picture as it is shown (on its canvas when there is one), clear of the
        // background panel.
        panel_->place(window_.pictureFrame().toAlignedRect(), window_.panelBounds());
        panel_->show();
        panel_->raise();
    } else {
        panel_->hide();
        window_.setCursor(Qt::CrossCursor);
    }
    if (toolbar_) {
        toolbar_->refresh();
    }
    window_.update();
    startPendingTranslation();
}

void EditorTextSession::startPendingTranslation() {
    if (!translationPending_ || !isTextModeActive() || text_->isRecognizing()) {
        return;
    }
    translationPending_ = false;
    if (text_->ocrState().kind() != ScreenshotOCRState::Kind::failed) {
        panelController_->handleToolbarTranslateAction();
    }
}

Result<EditorOCRImageSource::Recapture, std::string> EditorTextSession::recaptureDisplayedArea() {
    // The editor covers the whole screen, and an X11 capture cannot leave one of its windows
    // out, so a fresh capture would only read our own window back. The base image is the same
    // area of the frozen screen, cut the moment the region was chosen.
    return Result<Recapture, std::string>::failure(
        "the editor covers the screen and X11 cannot capture the screen without it");
}

Image EditorTextSession::baseImage() const {
    return editor_.baseImage();
}

void EditorTextSession::mousePress(QPointF point, int clickCount) {
    const auto word = overlay_.wordAt(point, editor_.viewport());
    dragging_ = true;
    dragAnchored_ = word.has_value();
    if (word && clickCount >= 2) {
        text_->selectLineOfWord(*word);
        dragging_ = false;
    } else if (word) {
        text_->beginWordDrag(*word);
    } else {
        text_->clearSelection();
    }
    selectionChanged();
}

void EditorTextSession::mouseMove(QPointF point, bool leftButtonDown) {
    const auto word = overlay_.wordAt(point, editor_.viewport());
    window_.setCursor(word ? Qt::IBeamCursor : Qt::ArrowCursor);
    text_->setHoveredWord(word);
    if (!leftButtonDown || !dragging_ || !word) {
        return;
    }
    if (dragAnchored_) {
        text_->dragToWord(*word);
    } else {
        dragAnchored_ = true;
        text_->beginWordDrag(*word);
    }
    selectionChanged();
}

void EditorTextSession::selectionChanged() {
    // A translation belongs to the text it was made from; a new selection shows the new text,
    // ready to translate again.
    const auto& state = text_->translationPanelState();
    if (!state.is<TranslationPanelState::Source>() && !state.is<TranslationPanelState::Hidden>()) {
        panelController_->cancelTranslation();
        text_->setTranslationPanelState(TranslationPanelState::Source{text_->ocrPanelSourceText(), "", ""});
    }
}

void EditorTextSession::chooseTarget(TranslationTargetLanguage target) {
    if (target == target_) {
        return;
    }
    target_ = target;
    if (services_.updatePreferences) {
        services_.updatePreferences(
            [target](AppPreferences& preferences) { preferences.translationTargetLanguage = target; });
    }
    translate();
}

EditorTextPanel::Content EditorTextSession::panelContent() const {
    using Translation = EditorTextPanel::Content::Translation;
    EditorTextPanel::Content content;
    const TranslationPanelState& state = text_->translationPanelState();
    const ScreenshotOCRState& ocr = text_->ocrState();
    if (const auto status = ocr.statusText(services_.localization)) {
        content.status = *status;
    } else if (const auto* source = state.as<TranslationPanelState::Source>(); source && !source->message.empty()) {
        content.status = source->message;
    } else if (ocr.kind() == ScreenshotOCRState::Kind::ready && !hasSelection()) {
        content.status = services_.localization.text(L10nKey::editorTextSelectionHint);
    }
    content.sourceText = state.sourceText().empty() ? text_->ocrPanelSourceText() : state.sourceText();
    content.hasSelection = hasSelection();
    content.canTranslate = services_.translation != nullptr;
    content.target = target_;
    if (state.is<TranslationPanelState::Translating>()) {
        content.translation = Translation::translating;
    } else if (const auto* success = state.as<TranslationPanelState::Success>()) {
        content.translation = Translation::success;
        content.translatedText = success->result.translatedText;
    } else if (const auto* failed = state.as<TranslationPanelState::Failed>()) {
        content.translation = Translation::failed;
        content.translationMessage = failed->message;
    }
    return content;
}

} // namespace brisklet
