#pragma once

#include "ZelvorApp/Editor/AnnotationDrafts.h"
#include "ZelvorApp/Editor/AnnotationHandles.h"
#include "ZelvorApp/Editor/AnnotationHit.h"
#include "ZelvorApp/Editor/AnnotationHitTester.h"
#include "ZelvorApp/Editor/AnnotationTool.h"
#include "ZelvorApp/Editor/AnnotationToolOptions.h"
#include "ZelvorApp/Editor/EditorViewport.h"
#include "ZelvorApp/Editor/InteractionState.h"

#include <optional>

namespace brisklet {

class AnnotationDocument;
class TextEditSession;
class TextLayoutCache;

/// What the editor knows when a pointer event arrives.
struct AnnotationGestureContext {
    EditorViewport viewport;
    AnnotationHitParameters hit;
    std::optional<AnnotationTool> tool;
    AnnotationToolOptions options;
};

/// What lies under the pointer, in the order a mouse-down looks: the frame of the edited text,
/// the frame of the selected text, the handles of the selected item, any item, empty image.
struct AnnotationPointerTarget {
    enum class Kind { activeTextChrome, selectedTextChrome, handle, annotation, empty };

    Kind kind = Kind::empty;
    TextChromeTarget chromeTarget = TextChromeTarget::none;
    std::optional<AnnotationHandle> handle;
    std::optional<AnnotationHit> hit;

    bool isText() const { return hit && hit->item.is<TextAnnotation>(); }
};

/// Turns pointer gestures on the image into annotations: drawing new items, selecting, moving,
/// resizing and rotating existing ones, and editing texts in place. Points arrive in view points.
class AnnotationGestureController {
public:
    AnnotationGestureController(AnnotationDocument& document, TextEditSession& textEdit, const TextLayoutCache& layout);

    const InteractionState& interactionState() const { return state_; }
    const AnnotationDrafts& drafts() const { return drafts_; }

    /// What a mouse-down at `viewPoint` would act on; changes nothing.
    AnnotationPointerTarget targetAt(Point viewPoint, const AnnotationGestureContext& context) const;

    AnnotationPointerTarget mouseDown(Point viewPoint, int clickCount, const AnnotationGestureContext& context);
    void mouseDragged(Point viewPoint, const AnnotationGestureContext& context);
    /// Ends the gesture: a large enough draft becomes an item, a changed item records one replace.
    void mouseUp(Point viewPoint, const AnnotationGestureContext& context);
    /// Drops a gesture in progress without creating or recording anything; a moved or resized
    /// item returns to where it was.
    void cancelGesture();

    /// The frame of the edited text, else of the selected text, in view points.
    std::optional<TextChromeGeometry> textChrome(const EditorViewport& viewport) const;

private:
    std::optional<TextChromeGeometry> activeTextChrome(const EditorViewport& viewport) const;
    std::optional<TextChromeGeometry> selectedTextChrome(const EditorViewport& viewport) const;

    void beginOnActiveTextChrome(TextChromeTarget target, Point viewPoint, Point imagePoint,
                                 const EditorViewport& viewport);
    void beginOnSelectedTextChrome(TextChromeTarget target, Point viewPoint, const EditorViewport& viewport);
    void beginOnHandle(const AnnotationHandle& handle);
    void beginOnHit(const AnnotationHit& hit, Point imagePoint, int clickCount,
                    const AnnotationGestureContext& context);
    void beginToolGesture(Point imagePoint, bool endedTextEdit, const AnnotationGestureContext& context);

    void updateItemGesture(Point viewPoint, Point imagePoint, const AnnotationGestureContext& context);
    void updateDrafts(Point imagePoint);
    void finishItemGesture();
    void reset();

    AnnotationDocument& document_;
    TextEditSession& textEdit_;
    const TextLayoutCache& layout_;
    InteractionState state_;
    AnnotationDrafts drafts_;
    /// A single click with the text tool on a text re-opens it, unless the click became a drag.
    bool reopensTextOnRelease_ = false;
};

} // namespace brisklet
