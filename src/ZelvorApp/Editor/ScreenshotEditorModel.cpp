#include "ZelvorApp/Editor/ScreenshotEditorModel.h"

#include "Platform/AnnotationRenderer.h"
#include "Platform/Clock.h"
#include "ZelvorApp/Editor/AnnotationHandles.h"
#include "ZelvorApp/Editor/EditorKeyboardRouter.h"
#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <string>

namespace brisklet {

namespace {

PreferencesUpdater mirroring(AppPreferences& local, PreferencesUpdater external) {
    return [&local, external = std::move(external)](const std::function<void(AppPreferences&)>& change) {
        change(local);
        if (external) {
            external(change);
        }
    };
}

std::string_view hitViewName(const AnnotationPointerTarget& target) {
    switch (target.kind) {
    case AnnotationPointerTarget::Kind::activeTextChrome:
        return "activeTextEditor";
    case AnnotationPointerTarget::Kind::selectedTextChrome:
        return "textChrome";
    case AnnotationPointerTarget::Kind::handle:
        return "handle";
    case AnnotationPointerTarget::Kind::annotation:
        return "annotation";
    case AnnotationPointerTarget::Kind::empty:
        return "image";
    }
    return "image";
}

} // namespace

ScreenshotEditorModel::ScreenshotEditorModel(ScreenshotEditorSetup setup, ScreenshotEditorServices services,
                                             ScreenshotEditorCallbacks callbacks, ScreenshotEditorHooks hooks)
    : services_(services), preferences_(std::move(setup.preferences)), hooks_(std::move(hooks)),
      initialMode_(setup.initialMode), baseImage_(std::move(setup.baseImage)), layout_(services.renderer),
      document_(layout_), textEdit_(document_),
      style_(preferences_, document_, textEdit_, mirroring(preferences_, callbacks.onUpdateBackgroundPreferences)),
      gestures_(document_, textEdit_, layout_), guard_(services.clock),
      outcomes_(services, std::move(callbacks), hooks_) {
    viewport_.imageSize = {static_cast<double>(baseImage_.width()), static_cast<double>(baseImage_.height())};
    viewport_.displayedImageRect = setup.selectionRect;
    viewport_.displayScale = setup.snapshotPixelsPerPoint > 0 ? 1 / setup.snapshotPixelsPerPoint : 1;
    if (setup.startsAdjustingSelection && setup.screenSnapshot) {
        selection_.emplace(std::move(*setup.screenSnapshot), setup.viewBounds, setup.selectionRect,
                           setup.snapshotPixelsPerPoint);
        phase_ = EditorPhase::adjustingSelection;
        refreshBaseImage();
    }
}

void ScreenshotEditorModel::editorDidAppear() {
    guard_.markAppeared();
}

void ScreenshotEditorModel::setViewport(const Rect& displayedImageRect, double displayScale) {
    if (phase_ == EditorPhase::adjustingSelection) {
        return;
    }
    viewport_.displayedImageRect = displayedImageRect;
    viewport_.displayScale = displayScale;
}

void ScreenshotEditorModel::replaceBaseImage(Image image) {
    baseImage_ = std::move(image);
    viewport_.imageSize = {static_cast<double>(baseImage_.width()), static_cast<double>(baseImage_.height())};
    if (viewport_.imageSize.width > 0) {
        viewport_.displayScale = viewport_.displayedImageRect.width() / viewport_.imageSize.width;
    }
}

void ScreenshotEditorModel::updateViewportForSelection() {
    viewport_.displayedImageRect = selection_->cropRectInView();
    viewport_.displayScale = 1 / selection_->pixelsPerPoint();
    viewport_.imageSize = {static_cast<double>(baseImage_.width()), static_cast<double>(baseImage_.height())};
}

double ScreenshotEditorModel::refreshBaseImage() {
    if (!selection_ || !selection_->needsRecut()) {
        return 0;
    }
    const double start = services_.clock.monotonicSeconds();
    baseImage_ = selection_->cutBaseImage();
    updateViewportForSelection();
    return services_.clock.monotonicSeconds() - start;
}

AnnotationHitParameters ScreenshotEditorModel::hitParameters() const {
    return {viewport_.displayScale, style_.enhanceAnnotationColors()};
}

AnnotationGestureContext ScreenshotEditorModel::gestureContext() const {
    return {viewport_, hitParameters(), tool_, style_.options()};
}

bool ScreenshotEditorModel::hasActiveMouseGesture() const {
    return !gestures_.interactionState().isNone() || (selection_ && selection_->isInteracting());
}

void ScreenshotEditorModel::logMouseDown(std::string_view name, const EditorMouseEvent& event,
                                         std::string_view hitView) const {
    RuntimeLogger::log(std::string(name) + " point=" + toString(event.location) +
                       " clickCount=" + std::to_string(event.clickCount) + " phase=" + std::string(toString(phase_)) +
                       " mode=" + std::string(toString(mode_)) +
                       " tool=" + std::string(tool_ ? tool_->logName() : "none") + " hitView=" + std::string(hitView));
}

bool ScreenshotEditorModel::doubleClickBelongsToEditor(const AnnotationPointerTarget& target, Point location) const {
    // With a drawing tool in hand a quick second click is the tool's (two numbers, a text box),
    // never a request to close and throw the annotations away.
    if (tool_) {
        return false;
    }
    const bool onImage = ScreenshotEditorGeometry::containsInclusive(viewport_.displayedImageRect, location);
    const bool plainTarget = target.kind == AnnotationPointerTarget::Kind::empty ||
                             (target.kind == AnnotationPointerTarget::Kind::annotation && !target.isText());
    return onImage && plainTarget;
}

void ScreenshotEditorModel::mouseDown(const EditorMouseEvent& event) {
    if (outcomes_.hasFinished()) {
        return;
    }
    if (phase_ == EditorPhase::adjustingSelection) {
        adjustingMouseDown(event);
        return;
    }
    if (mode_ != EditorInteractionMode::annotation) {
        logMouseDown("editor mouseDown", event, "textRecognition");
        return;
    }
    const AnnotationGestureContext context = gestureContext();
    const AnnotationPointerTarget target = gestures_.targetAt(event.location, context);
    const bool onImage = ScreenshotEditorGeometry::containsInclusive(viewport_.displayedImageRect, event.location);
    logMouseDown("editor mouseDown", event,
                 target.kind == AnnotationPointerTarget::Kind::empty && !onImage ? "outside" : hitViewName(target));
    if (event.clickCount == 2 && doubleClickBelongsToEditor(target, event.location)) {
        performDoubleClickAction(EditorMouseButton::left);
        return;
    }
    if (target.kind == AnnotationPointerTarget::Kind::empty && !onImage) {
        commitActiveTextEdit();
        return;
    }
    gestures_.mouseDown(event.location, event.clickCount, context);
}

void ScreenshotEditorModel::adjustingMouseDown(const EditorMouseEvent& event) {
    const bool onSelection = ScreenshotEditorGeometry::containsInclusive(selection_->selectionRect(), event.location);
    logMouseDown("editor mouseDown", event, onSelection ? "selection" : "outside");
    if (event.clickCount == 2 && onSelection) {
        performDoubleClickAction(EditorMouseButton::left);
        return;
    }
    selection_->mouseDown(event.location);
}

void ScreenshotEditorModel::mouseDragged(const EditorMouseEvent& event) {
    if (selection_ && selection_->isInteracting()) {
        selection_->mouseDragged(event.location);
        viewport_.displayedImageRect = selection_->cropRectInView();
        return;
    }
    gestures_.mouseDragged(event.location, gestureContext());
}

void ScreenshotEditorModel::mouseUp(const EditorMouseEvent& event) {
    if (selection_ && selection_->isInteracting()) {
        selection_->mouseUp(event.location);
        refreshBaseImage();
        updateViewportForSelection();
        return;
    }
    gestures_.mouseUp(event.location, gestureContext());
}

void ScreenshotEditorModel::rightMouseDown(const EditorMouseEvent& event) {
    if (outcomes_.hasFinished()) {
        return;
    }
    const Rect& imageRect = selection_ && phase_ == EditorPhase::adjustingSelection ? selection_->selectionRect()
                                                                                    : viewport_.displayedImageRect;
    const bool onImage = ScreenshotEditorGeometry::containsInclusive(imageRect, event.location);
    logMouseDown("editor rightMouseDown", event, onImage ? "image" : "outside");
    if (event.clickCount == 2 && onImage) {
        performDoubleClickAction(EditorMouseButton::right);
    }
}

void ScreenshotEditorModel::performDoubleClickAction(EditorMouseButton button) {
    const PinnedMouseDoubleClickAction action = button == EditorMouseButton::left
                                                    ? preferences_.pinnedLeftDoubleClickAction
                                                    : preferences_.pinnedRightDoubleClickAction;
    RuntimeLogger::log("editor doubleClick action=" + std::string(toString(action)) +
                       " button=" + (button == EditorMouseButton::left ? "left" : "right"));
    if (action == PinnedMouseDoubleClickAction::close) {
        if (allowsClosingActionFromUserInput("doubleClick")) {
            cancel();
        }
    } else if (action == PinnedMouseDoubleClickAction::copyAndClose) {
        copy("doubleClick");
    }
}

bool ScreenshotEditorModel::keyDown(const EditorKeyEvent& event) {
    if (outcomes_.hasFinished()) {
        return false;
    }
    if (const auto action = matchEditorHotkey(event, preferences_)) {
        return handleEditorHotkey(*action, "keyDown");
    }
    const bool editing = textEdit_.isEditing();
    switch (EditorKeyboardRouter::command(event)) {
    case EditorKeyCommand::escape:
        escape();
        return true;
    case EditorKeyCommand::save:
        if (editing) {
            return false;
        }
        save("keyDown");
        return true;
    case EditorKeyCommand::deleteSelection:
        if (editing || !document_.selectedAnnotationID()) {
            return false;
        }
        deleteSelectedAnnotation();
        return true;
    case EditorKeyCommand::undo:
        if (editing) {
            return false;
        }
        undoLastCommand();
        return true;
    case EditorKeyCommand::copyRecognizedText:
        if (hooks_.hasRecognizedTextSelection && hooks_.hasRecognizedTextSelection() &&
            hooks_.copyRecognizedTextSelection) {
            hooks_.copyRecognizedTextSelection();
            return true;
        }
        return false;
    case EditorKeyCommand::none:
        return false;
    }
    return false;
}

void ScreenshotEditorModel::escape() {
    if (hooks_.isEyedropperActive && hooks_.isEyedropperActive()) {
        if (hooks_.cancelEyedropper) {
            hooks_.cancelEyedropper();
        }
    } else if (textEdit_.isEditing()) {
        commitActiveTextEdit();
        if (hooks_.focusEditor) {
            hooks_.focusEditor();
        }
    } else {
        cancel();
    }
}

bool ScreenshotEditorModel::handleEditorHotkey(EditorHotkeyAction action, std::string_view source) {
    const std::string name(toString(action));
    if (textEdit_.isEditing()) {
        RuntimeLogger::log("editor hotkey ignored action=" + name + " reason=activeTextEditor");
        return false;
    }
    RuntimeLogger::log("editor hotkey action=" + name + " source=" + std::string(source) +
                       " phase=" + std::string(toString(phase_)) +
                       " activeMouseGesture=" + (hasActiveMouseGesture() ? "true" : "false"));
    const auto call = [](const std::function<void()>& hook) {
        if (hook) {
            hook();
        }
    };
    switch (action) {
    case EditorHotkeyAction::pin:
        pin(source);
        break;
    case EditorHotkeyAction::copy:
        if (hooks_.hasRecognizedTextSelection && hooks_.hasRecognizedTextSelection()) {
            call(hooks_.copyRecognizedTextSelection);
        } else {
            copy(source);
        }
        break;
    case EditorHotkeyAction::save:
        save(source);
        break;
    case EditorHotkeyAction::ocr:
        call(hooks_.toggleTextRecognition);
        break;
    case EditorHotkeyAction::translate:
        call(hooks_.translateRecognizedText);
        break;
    }
    return true;
}

void ScreenshotEditorModel::selectTool(std::optional<AnnotationTool> tool) {
    gestures_.cancelGesture();
    commitActiveTextEdit();
    tool_ = tool;
    if (tool && phase_ == EditorPhase::adjustingSelection) {
        finishSelectionAdjustment();
    }
}

void ScreenshotEditorModel::finishSelectionAdjustment() {
    if (phase_ != EditorPhase::adjustingSelection || !selection_) {
        return;
    }
    refreshBaseImage();
    updateViewportForSelection();
    phase_ = EditorPhase::annotating;
}

void ScreenshotEditorModel::setInteractionMode(EditorInteractionMode mode) {
    if (mode != EditorInteractionMode::annotation) {
        gestures_.cancelGesture();
        commitActiveTextEdit();
    }
    mode_ = mode;
}

void ScreenshotEditorModel::setActiveText(std::string text) {
    textEdit_.setText(std::move(text));
}

bool ScreenshotEditorModel::allowsClosingActionFromUserInput(std::string_view source) const {
    return guard_.allowsClosingActionFromUserInput(source, phase_, hasActiveMouseGesture());
}

void ScreenshotEditorModel::save(std::string_view source) {
    if (!outcomes_.hasFinished() && allowsClosingActionFromUserInput(source)) {
        saveAnnotatedImage();
    }
}

void ScreenshotEditorModel::copy(std::string_view source) {
    if (!outcomes_.hasFinished() && allowsClosingActionFromUserInput(source)) {
        copyAnnotatedImage();
    }
}

void ScreenshotEditorModel::pin(std::string_view source) {
    if (!outcomes_.hasFinished() && allowsClosingActionFromUserInput(source)) {
        pinAnnotatedImage();
    }
}

void ScreenshotEditorModel::cancel() {
    gestures_.cancelGesture();
    outcomes_.cancel();
}

EditorRenderInput ScreenshotEditorModel::renderInput() const {
    return {baseImage_, document_.annotations(), renderOptions()};
}

void ScreenshotEditorModel::saveAnnotatedImage() {
    commitActiveTextEdit();
    gestures_.cancelGesture();
    refreshBaseImage();
    outcomes_.save(renderInput(), preferences_.exportDirectoryURL());
}

void ScreenshotEditorModel::copyAnnotatedImage() {
    const double startedAt = services_.clock.monotonicSeconds();
    commitActiveTextEdit();
    gestures_.cancelGesture();
    const double selectionSeconds = refreshBaseImage();
    outcomes_.copy(renderInput(), preferences_.exportDirectoryURL(), preferences_.saveScreenshotToVisualMemory,
                   startedAt, selectionSeconds);
}

void ScreenshotEditorModel::pinAnnotatedImage() {
    // Typed text would be lost with the editor, so it is committed here as for the other outcomes.
    commitActiveTextEdit();
    gestures_.cancelGesture();
    refreshBaseImage();
    outcomes_.pin(renderInput());
}

void ScreenshotEditorModel::deleteSelectedAnnotation() {
    document_.deleteSelectedAnnotation();
}

void ScreenshotEditorModel::undoLastCommand() {
    commitActiveTextEdit();
    if (hooks_.clearRecognizedTextSelection) {
        hooks_.clearRecognizedTextSelection();
    }
    gestures_.cancelGesture();
    document_.undoLastCommand();
}

std::optional<AnnotationHit> ScreenshotEditorModel::annotationHit(Point imagePoint) const {
    return document_.annotationHit(imagePoint, hitParameters());
}

void ScreenshotEditorModel::createNumberAnnotation(Point imagePoint) {
    const AnnotationToolOptions& o = style_.options();
    document_.appendAnnotation(
        NumberAnnotation{Uuid::generate(), imagePoint, document_.nextNumberValue(), o.selectedColor, 28});
}

void ScreenshotEditorModel::commitActiveTextEdit() {
    textEdit_.commit();
}

std::optional<AnnotationItem> ScreenshotEditorModel::draftItem() const {
    return gestures_.drafts().previewItem(style_.options());
}

std::vector<AnnotationHandle> ScreenshotEditorModel::selectionHandles() const {
    const auto* selected = document_.selectedItem();
    return selected ? AnnotationHandles::handles(*selected, viewport_) : std::vector<AnnotationHandle>{};
}

EditorToolbarState ScreenshotEditorModel::toolbarState() const {
    return {tool_, style_.options().selectedColor, document_.canUndo()};
}

} // namespace brisklet
