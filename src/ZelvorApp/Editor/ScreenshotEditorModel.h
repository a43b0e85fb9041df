#pragma once

#include "ZelvorApp/Editor/AnnotationDocument.h"
#include "ZelvorApp/Editor/AnnotationGestureController.h"
#include "ZelvorApp/Editor/AnnotationStyleController.h"
#include "ZelvorApp/Editor/ClosingActionGuard.h"
#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorApp/Editor/EditorModes.h"
#include "ZelvorApp/Editor/EditorViewport.h"
#include "ZelvorApp/Editor/ScreenshotEditorEnvironment.h"
#include "ZelvorApp/Editor/ScreenshotEditorOutcomes.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"
#include "ZelvorApp/Editor/SelectionAdjustmentController.h"
#include "ZelvorApp/Editor/TextEditSession.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <optional>
#include <string_view>
#include <vector>

namespace brisklet {

/// What the editor is opened with.
struct ScreenshotEditorSetup {
    Image baseImage;
    /// The frozen screen the region was cut from; needed to adjust the region afterwards.
    std::optional<Image> screenSnapshot;
    /// The editor view (covering the screen) and the captured rectangle in it, in view points.
    Rect viewBounds;
    Rect selectionRect;
    double snapshotPixelsPerPoint = 1;
    AppPreferences preferences;
    ScreenshotEditorInitialInteractionMode initialMode = ScreenshotEditorInitialInteractionMode::normal;
    /// Open in `adjustingSelection` (requires `screenSnapshot`) rather than `annotating`.
    bool startsAdjustingSelection = false;
};

enum class EditorMouseButton { left, right };

/// A pointer event in view points (y growing downward), as the window received it.
struct EditorMouseEvent {
    Point location;
    int clickCount = 1;
    EditorMouseButton button = EditorMouseButton::left;
};

/// What the toolbar shows.
struct EditorToolbarState {
    std::optional<AnnotationTool> selectedTool;
    StoredColor selectedColor;
    bool canUndo = false;
    bool operator==(const EditorToolbarState&) const = default;
};

/// The screenshot editor without its window: the window forwards pointer, key and toolbar
/// events here and paints what the getters describe. Owns the annotations, selection, undo
/// history, drafts and gestures, and ends in exactly one outcome.
class ScreenshotEditorModel {
public:
    ScreenshotEditorModel(ScreenshotEditorSetup setup, ScreenshotEditorServices services,
                          ScreenshotEditorCallbacks callbacks, ScreenshotEditorHooks hooks = {});
    // Its parts refer to each other; a copy would point into the original.
    ScreenshotEditorModel(const ScreenshotEditorModel&) = delete;
    ScreenshotEditorModel& operator=(const ScreenshotEditorModel&) = delete;

    /// The window is on screen; closing actions are refused for the first moments from here.
    void editorDidAppear();
    /// The window's layout: where the image stands and at what scale. While the region is being
    /// adjusted the editor places the image itself.
    void setViewport(const Rect& displayedImageRect, double displayScale);

    /// The real pixels of a screenshot opened on a placeholder; annotations drawn meanwhile stay.
    void replaceBaseImage(Image image);

    void mouseDown(const EditorMouseEvent& event);
    void mouseDragged(const EditorMouseEvent& event);
    void mouseUp(const EditorMouseEvent& event);
    void rightMouseDown(const EditorMouseEvent& event);
    /// Returns whether the key was used; unused keys go on to the window (or the text box).
    bool keyDown(const EditorKeyEvent& event);
    /// A configurable editor shortcut, from a key press ("keyDown") or a registered hotkey ("hotkey").
    bool handleEditorHotkey(EditorHotkeyAction action, std::string_view source);

    void selectTool(std::optional<AnnotationTool> tool);
    /// Ends `adjustingSelection` on the current region (the base image re-cut for it); a
    /// background or a text mode works on the final picture. Nothing happens while annotating.
    void finishSelectionAdjustment();
    void setInteractionMode(EditorInteractionMode mode);
    /// The text typed into the edited text box so far.
    void setActiveText(std::string text);

    /// Closing actions from user input: refused by the closing guard when too early or in the
    /// middle of a drag. `source` names the input ("toolbar", "keyDown", "hotkey", "doubleClick").
    void save(std::string_view source);
    void copy(std::string_view source);
    void pin(std::string_view source);
    void cancel();

    void appendAnnotation(AnnotationItem item) { document_.appendAnnotation(std::move(item)); }
    bool updateAnnotation(const Uuid& id, AnnotationItem item) {
        return document_.updateAnnotation(id, std::move(item));
    }
    void deleteSelectedAnnotation();
    void undoLastCommand();
    std::optional<AnnotationHit> annotationHit(Point imagePoint) const;
    void createNumberAnnotation(Point imagePoint);
    void commitActiveTextEdit();
    void selectAnnotationStrokeWidth(double width) { style_.selectAnnotationStrokeWidth(width, tool_); }
    void selectTextFontSize(double size) { style_.selectTextFontSize(size); }
    void saveAnnotatedImage();
    void copyAnnotatedImage();
    void pinAnnotatedImage();
    bool allowsClosingActionFromUserInput(std::string_view source) const;

    AnnotationStyleController& style() { return style_; }
    const AnnotationStyleController& style() const { return style_; }

    EditorPhase phase() const { return phase_; }
    EditorInteractionMode interactionMode() const { return mode_; }
    ScreenshotEditorInitialInteractionMode initialInteractionMode() const { return initialMode_; }
    const std::optional<AnnotationTool>& selectedTool() const { return tool_; }
    const std::vector<AnnotationItem>& annotations() const { return document_.annotations(); }
    const std::optional<Uuid>& selectedAnnotationID() const { return document_.selectedAnnotationID(); }
    const std::vector<AnnotationCommand>& undoStack() const { return document_.undoStack(); }
    const InteractionState& interactionState() const { return gestures_.interactionState(); }
    const AnnotationDrafts& drafts() const { return gestures_.drafts(); }
    /// The gesture's draft as the item it would become, for painting.
    std::optional<AnnotationItem> draftItem() const;
    const std::optional<ActiveTextEdit>& activeTextEdit() const { return textEdit_.activeTextEdit(); }
    std::optional<TextAnnotation> activeText() const { return textEdit_.activeText(); }
    std::optional<TextChromeGeometry> textChrome() const { return gestures_.textChrome(viewport_); }
    std::vector<AnnotationHandle> selectionHandles() const;
    const Image& baseImage() const { return baseImage_; }
    const EditorViewport& viewport() const { return viewport_; }
    /// The region being adjusted, while in `adjustingSelection`.
    const SelectionAdjustmentController* selectionAdjustment() const { return selection_ ? &*selection_ : nullptr; }
    EditorToolbarState toolbarState() const;
    bool hasActiveMouseGesture() const;
    bool hasFinished() const { return outcomes_.hasFinished(); }
    const TextLayoutCache& textLayout() const { return layout_; }
    AnnotationRenderOptions renderOptions() const { return {style_.enhanceAnnotationColors()}; }

private:
    AnnotationGestureContext gestureContext() const;
    AnnotationHitParameters hitParameters() const;
    void logMouseDown(std::string_view name, const EditorMouseEvent& event, std::string_view hitView) const;
    void performDoubleClickAction(EditorMouseButton button);
    bool doubleClickBelongsToEditor(const AnnotationPointerTarget& target, Point location) const;
    void adjustingMouseDown(const EditorMouseEvent& event);
    /// Re-cuts the base image when the region changed; returns the seconds it took.
    double refreshBaseImage();
    void updateViewportForSelection();
    EditorRenderInput renderInput() const;
    void escape();

    ScreenshotEditorServices services_;
    AppPreferences preferences_;
    ScreenshotEditorHooks hooks_;
    ScreenshotEditorInitialInteractionMode initialMode_;
    Image baseImage_;
    TextLayoutCache layout_;
    AnnotationDocument document_;
    TextEditSession textEdit_;
    AnnotationStyleController style_;
    AnnotationGestureController gestures_;
    std::optional<SelectionAdjustmentController> selection_;
    ClosingActionGuard guard_;
    ScreenshotEditorOutcomes outcomes_;
    EditorViewport viewport_;
    EditorPhase phase_ = EditorPhase::annotating;
    EditorInteractionMode mode_ = EditorInteractionMode::annotation;
    std::optional<AnnotationTool> tool_;
};

} // namespace brisklet
