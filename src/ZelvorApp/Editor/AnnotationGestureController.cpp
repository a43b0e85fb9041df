#include "ZelvorApp/Editor/AnnotationGestureController.h"

#include "ZelvorApp/Editor/AnnotationDocument.h"
#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"
#include "ZelvorApp/Editor/ScreenshotTextGeometry.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"
#include "ZelvorApp/Editor/TextEditSession.h"

#include <algorithm>

namespace brisklet {

namespace G = ScreenshotEditorGeometry;
namespace T = ScreenshotTextGeometry;
using S = InteractionState;

namespace {

constexpr double minimumRectangleEdgeDistance = 6;
constexpr double minimumNumberDiameter = 16;
constexpr double newNumberDiameter = 28;
/// The text editor's frame reaches this far beyond the drawn border on each side.
constexpr double editorFrameOutset = 4;
constexpr double editorFrameTextInset = 24;
constexpr double minimumTextBoxViewWidth = 80;
constexpr double minimumLayoutWidth = 30;

double resizedLayoutWidth(const TextChromeGeometry& original, Point viewPoint, const EditorViewport& viewport) {
    const Point local = T::rotated(viewPoint, original.rotationCenter, -original.rotation);
    const double frameWidth = local.x - original.borderRect.minX() + 2 * editorFrameOutset;
    const double viewWidth = std::max(frameWidth - editorFrameTextInset, minimumTextBoxViewWidth);
    return std::max(viewport.toImageLength(viewWidth), minimumLayoutWidth);
}

double rotatedAngle(double originalRotation, double startAngle, Point viewPoint, Point center) {
    return T::snappedAngle(originalRotation + T::angleAround(viewPoint, center) - startAngle);
}

Point offset(Point p, Point from, Point to) {
    return {p.x + to.x - from.x, p.y + to.y - from.y};
}

template <class Record> AnnotationItem changed(const AnnotationItem& item, auto&& change) {
    Record record = *item.as<Record>();
    change(record);
    return record;
}

} // namespace

AnnotationGestureController::AnnotationGestureController(AnnotationDocument& document, TextEditSession& textEdit,
                                                         const TextLayoutCache& layout)
    : document_(document), textEdit_(textEdit), layout_(layout) {}

std::optional<TextChromeGeometry> AnnotationGestureController::activeTextChrome(const EditorViewport& viewport) const {
    const auto text = textEdit_.activeText();
    return text ? std::optional(AnnotationHandles::textChrome(*text, layout_, viewport)) : std::nullopt;
}

std::optional<TextChromeGeometry>
AnnotationGestureController::selectedTextChrome(const EditorViewport& viewport) const {
    const auto* item = document_.selectedItem();
    const auto* text = item ? item->as<TextAnnotation>() : nullptr;
    return text ? std::optional(AnnotationHandles::textChrome(*text, layout_, viewport)) : std::nullopt;
}

std::optional<TextChromeGeometry> AnnotationGestureController::textChrome(const EditorViewport& viewport) const {
    if (textEdit_.isEditing()) {
        return activeTextChrome(viewport);
    }
    return selectedTextChrome(viewport);
}

AnnotationPointerTarget AnnotationGestureController::targetAt(Point viewPoint,
                                                              const AnnotationGestureContext& context) const {
    using Kind = AnnotationPointerTarget::Kind;
    AnnotationPointerTarget target;
    if (textEdit_.isEditing()) {
        if (const auto chrome = activeTextChrome(context.viewport)) {
            target.chromeTarget = chrome->target(viewPoint);
            if (target.chromeTarget != TextChromeTarget::none) {
                target.kind = Kind::activeTextChrome;
                return target;
            }
        }
    } else if (const auto chrome = selectedTextChrome(context.viewport)) {
        const TextChromeTarget control = chrome->target(viewPoint);
        if (control != TextChromeTarget::none && control != TextChromeTarget::body) {
            target.kind = Kind::selectedTextChrome;
            target.chromeTarget = control;
            return target;
        }
    }
    if (const auto* selected = document_.selectedItem()) {
        if (auto handle = AnnotationHandles::handleAt(*selected, viewPoint, context.viewport)) {
            target.kind = Kind::handle;
            target.handle = std::move(handle);
            return target;
        }
    }
    if (auto hit = document_.annotationHit(context.viewport.toImage(viewPoint), context.hit)) {
        target.kind = Kind::annotation;
        target.hit = std::move(hit);
    }
    return target;
}

AnnotationPointerTarget AnnotationGestureController::mouseDown(Point viewPoint, int clickCount,
                                                               const AnnotationGestureContext& context) {
    using Kind = AnnotationPointerTarget::Kind;
    reset();
    const Point p = context.viewport.toImage(viewPoint);
    const AnnotationPointerTarget target = targetAt(viewPoint, context);
    const bool wasEditing = textEdit_.isEditing();
    switch (target.kind) {
    case Kind::activeTextChrome:
        beginOnActiveTextChrome(target.chromeTarget, viewPoint, p, context.viewport);
        return target;
    case Kind::selectedTextChrome:
        beginOnSelectedTextChrome(target.chromeTarget, viewPoint, context.viewport);
        return target;
    default:
        break;
    }
    // A click anywhere else ends the text edit first, the way a text field loses focus.
    textEdit_.commit();
    if (target.kind == Kind::handle) {
        beginOnHandle(*target.handle);
    } else if (target.kind == Kind::annotation) {
        beginOnHit(*target.hit, p, clickCount, context);
    } else {
        beginToolGesture(p, wasEditing, context);
    }
    return target;
}

void AnnotationGestureController::beginOnActiveTextChrome(TextChromeTarget control, Point viewPoint, Point imagePoint,
                                                          const EditorViewport& viewport) {
    const auto text = textEdit_.activeText();
    const auto chrome = activeTextChrome(viewport);
    if (!text || !chrome) {
        return;
    }
    switch (control) {
    case TextChromeTarget::deleteButton:
        textEdit_.deleteActiveText();
        break;
    case TextChromeTarget::resizeHandle:
        state_.value = S::ResizingActiveTextEditor{viewPoint, text->layoutWidth, *chrome};
        break;
    case TextChromeTarget::rotateHandle:
        state_.value = S::RotatingActiveTextEditor{T::angleAround(viewPoint, chrome->rotationCenter), text->rotation};
        break;
    case TextChromeTarget::body:
        state_.value = S::DraggingActiveTextEditor{imagePoint, text->origin};
        break;
    case TextChromeTarget::none:
        break;
    }
}

void AnnotationGestureController::beginOnSelectedTextChrome(TextChromeTarget control, Point viewPoint,
                                                            const EditorViewport& viewport) {
    const auto* item = document_.selectedItem();
    const auto chrome = selectedTextChrome(viewport);
    if (!item || !chrome) {
        return;
    }
    const TextAnnotation& text = *item->as<TextAnnotation>();
    switch (control) {
    case TextChromeTarget::deleteButton:
        document_.deleteSelectedAnnotation();
        break;
    case TextChromeTarget::resizeHandle:
        state_.value = S::ResizingTextAnnotation{text.id, *item, viewPoint, *chrome};
        break;
    case TextChromeTarget::rotateHandle:
        state_.value = S::RotatingTextAnnotation{
            text.id, chrome->rotationCenter, T::angleAround(viewPoint, chrome->rotationCenter), text.rotation, *item};
        break;
    default:
        break;
    }
}

void AnnotationGestureController::beginOnHandle(const AnnotationHandle& handle) {
    const AnnotationItem& item = *document_.selectedItem();
    const Uuid id = item.id();
    if (const auto* corner = std::get_if<AnnotationHandle::RectangleCorner>(&handle.kind)) {
        state_.value = S::ResizingRectangle{id, corner->corner, item};
    } else if (const auto* numberCorner = std::get_if<AnnotationHandle::NumberCorner>(&handle.kind)) {
        state_.value = S::ResizingNumber{id, numberCorner->corner, item};
    } else if (const auto* arrowEnd = std::get_if<AnnotationHandle::ArrowEnd>(&handle.kind)) {
        state_.value = S::ResizingArrowEndpoint{id, arrowEnd->endpoint, item};
    } else if (const auto* lineEnd = std::get_if<AnnotationHandle::LineEnd>(&handle.kind)) {
        state_.value = S::ResizingLineEndpoint{id, lineEnd->endpoint, item};
    }
}

void AnnotationGestureController::beginOnHit(const AnnotationHit& hit, Point imagePoint, int clickCount,
                                             const AnnotationGestureContext& context) {
    const Uuid id = hit.item.id();
    document_.select(id);
    const bool isText = hit.item.is<TextAnnotation>();
    if (isText && clickCount >= 2) {
        textEdit_.beginEditing(id);
        return;
    }
    state_.value = S::Dragging{id, imagePoint, hit.item};
    reopensTextOnRelease_ =
        isText && clickCount == 1 && context.tool && context.tool->kind == AnnotationTool::Kind::text;
}

void AnnotationGestureController::beginToolGesture(Point p, bool endedTextEdit,
                                                   const AnnotationGestureContext& context) {
    document_.select(std::nullopt);
    if (!context.tool) {
        return;
    }
    const AnnotationToolOptions& o = context.options;
    switch (context.tool->kind) {
    case AnnotationTool::Kind::shape:
        state_.value = S::DrawingShape{p};
        drafts_.draftRectangle = Rect{p, {}};
        break;
    case AnnotationTool::Kind::arrow:
        state_.value = S::DrawingArrow{p};
        drafts_.draftArrowStart = drafts_.draftArrowEnd = p;
        break;
    case AnnotationTool::Kind::line:
        state_.value = S::DrawingLine{p};
        drafts_.draftLineStart = drafts_.draftLineEnd = p;
        break;
    case AnnotationTool::Kind::redaction:
        state_.value = S::DrawingRedaction{p, o.selectedRedactionMode};
        drafts_.draftRedactionRect = Rect{p, {}};
        drafts_.draftRedactionMode = o.selectedRedactionMode;
        break;
    case AnnotationTool::Kind::stroke:
        state_.value = S::DrawingStroke{context.tool->strokeMode};
        drafts_.draftStrokePoints = {p};
        drafts_.draftStrokeMode = context.tool->strokeMode;
        break;
    case AnnotationTool::Kind::text:
        // The click that closes one text box does not open the next one.
        if (!endedTextEdit) {
            const auto metrics =
                ScreenshotTextLayout::measurement("", o.selectedTextFontSize, std::nullopt, layout_.measurer());
            textEdit_.beginNewText(TextAnnotation{Uuid::generate(),
                                                  {p.x, std::max(0.0, p.y - metrics.lineHeight / 2)},
                                                  "",
                                                  o.selectedColor,
                                                  o.selectedTextFontSize,
                                                  std::nullopt,
                                                  0});
        }
        break;
    case AnnotationTool::Kind::number:
        document_.appendAnnotation(
            NumberAnnotation{Uuid::generate(), p, document_.nextNumberValue(), o.selectedColor, newNumberDiameter});
        break;
    }
}

void AnnotationGestureController::mouseDragged(Point viewPoint, const AnnotationGestureContext& context) {
    const Point p = context.viewport.toImage(viewPoint);
    updateDrafts(p);
    updateItemGesture(viewPoint, p, context);
}

void AnnotationGestureController::updateDrafts(Point p) {
    if (const auto* shape = state_.as<S::DrawingShape>()) {
        drafts_.draftRectangle = G::rectFromPoints(shape->origin, p);
    } else if (const auto* redaction = state_.as<S::DrawingRedaction>()) {
        drafts_.draftRedactionRect = G::rectFromPoints(redaction->origin, p);
    } else if (state_.as<S::DrawingArrow>()) {
        drafts_.draftArrowEnd = p;
    } else if (state_.as<S::DrawingLine>()) {
        drafts_.draftLineEnd = p;
    } else if (state_.as<S::DrawingStroke>()) {
        if (drafts_.draftStrokePoints.empty() || !(drafts_.draftStrokePoints.back() == p)) {
            drafts_.draftStrokePoints.push_back(p);
        }
    }
}

void AnnotationGestureController::updateItemGesture(Point viewPoint, Point p, const AnnotationGestureContext& context) {
    const EditorViewport& viewport = context.viewport;
    if (const auto* drag = state_.as<S::Dragging>()) {
        if (!(p == drag->startPoint)) {
            reopensTextOnRelease_ = false;
        }
        document_.updateAnnotation(drag->annotationID,
                                   drag->originalItem.offsetBy(p.x - drag->startPoint.x, p.y - drag->startPoint.y));
    } else if (const auto* r = state_.as<S::ResizingRectangle>()) {
        document_.updateAnnotation(r->annotationID, changed<RectangleAnnotation>(r->originalItem, [&](auto& rect) {
                                       rect.rect =
                                           G::resizedRectangle(rect.rect, r->corner, p, minimumRectangleEdgeDistance);
                                   }));
    } else if (const auto* n = state_.as<S::ResizingNumber>()) {
        document_.updateAnnotation(n->annotationID, changed<NumberAnnotation>(n->originalItem, [&](auto& number) {
                                       const Rect square = G::resizedSquare(AnnotationHandles::numberSquare(number),
                                                                            n->corner, p, minimumNumberDiameter);
                                       number.center = {square.midX(), square.midY()};
                                       number.diameter = square.width();
                                   }));
    } else if (const auto* a = state_.as<S::ResizingArrowEndpoint>()) {
        document_.updateAnnotation(a->annotationID, changed<ArrowAnnotation>(a->originalItem, [&](auto& arrow) {
                                       (a->endpoint == LinearAnnotationEndpoint::start ? arrow.start : arrow.end) = p;
                                   }));
    } else if (const auto* l = state_.as<S::ResizingLineEndpoint>()) {
        document_.updateAnnotation(l->annotationID, changed<LineAnnotation>(l->originalItem, [&](auto& line) {
                                       (l->endpoint == LinearAnnotationEndpoint::start ? line.start : line.end) = p;
                                   }));
    } else if (const auto* t = state_.as<S::ResizingTextAnnotation>()) {
        document_.updateAnnotation(t->annotationID, changed<TextAnnotation>(t->originalItem, [&](auto& text) {
                                       text.layoutWidth = resizedLayoutWidth(t->originalChrome, viewPoint, viewport);
                                   }));
    } else if (const auto* rot = state_.as<S::RotatingTextAnnotation>()) {
        document_.updateAnnotation(rot->annotationID, changed<TextAnnotation>(rot->originalItem, [&](auto& text) {
                                       text.rotation =
                                           rotatedAngle(rot->originalRotation, rot->startAngle, viewPoint, rot->center);
                                   }));
    } else if (const auto* move = state_.as<S::DraggingActiveTextEditor>()) {
        textEdit_.update(
            [&](TextAnnotation& text) { text.origin = offset(move->originalOrigin, move->startPoint, p); });
    } else if (const auto* resize = state_.as<S::ResizingActiveTextEditor>()) {
        textEdit_.update([&](TextAnnotation& text) {
            text.layoutWidth = resizedLayoutWidth(resize->originalChrome, viewPoint, viewport);
        });
    } else if (const auto* turn = state_.as<S::RotatingActiveTextEditor>()) {
        const auto chrome = activeTextChrome(viewport);
        if (chrome) {
            textEdit_.update([&](TextAnnotation& text) {
                text.rotation =
                    rotatedAngle(turn->originalRotation, turn->startAngle, viewPoint, chrome->rotationCenter);
            });
        }
    }
}

void AnnotationGestureController::mouseUp(Point viewPoint, const AnnotationGestureContext& context) {
    mouseDragged(viewPoint, context);
    if (auto item = drafts_.finishedItem(context.options)) {
        document_.appendAnnotation(std::move(*item));
    }
    finishItemGesture();
    reset();
}

void AnnotationGestureController::finishItemGesture() {
    const auto record = [this](const Uuid& id, const AnnotationItem& original) {
        if (const auto* final = document_.item(id)) {
            document_.recordReplace(original, *final);
        }
    };
    if (const auto* drag = state_.as<S::Dragging>()) {
        record(drag->annotationID, drag->originalItem);
        if (reopensTextOnRelease_) {
            textEdit_.beginEditing(drag->annotationID);
        }
    } else if (const auto* r = state_.as<S::ResizingRectangle>()) {
        record(r->annotationID, r->originalItem);
    } else if (const auto* n = state_.as<S::ResizingNumber>()) {
        record(n->annotationID, n->originalItem);
    } else if (const auto* a = state_.as<S::ResizingArrowEndpoint>()) {
        record(a->annotationID, a->originalItem);
    } else if (const auto* l = state_.as<S::ResizingLineEndpoint>()) {
        record(l->annotationID, l->originalItem);
    } else if (const auto* t = state_.as<S::ResizingTextAnnotation>()) {
        record(t->annotationID, t->originalItem);
    } else if (const auto* rot = state_.as<S::RotatingTextAnnotation>()) {
        record(rot->annotationID, rot->originalItem);
    }
}

void AnnotationGestureController::cancelGesture() {
    const auto restore = [this](const Uuid& id, const AnnotationItem& original) {
        document_.updateAnnotation(id, original);
    };
    std::visit(
        [&](const auto& gesture) {
            if constexpr (requires {
                              gesture.originalItem;
                              gesture.annotationID;
                          }) {
                restore(gesture.annotationID, gesture.originalItem);
            }
        },
        state_.value);
    reset();
}

void AnnotationGestureController::reset() {
    state_ = {};
    drafts_ = {};
    reopensTextOnRelease_ = false;
}

} // namespace brisklet
