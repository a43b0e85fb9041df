#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorApp/Editor/AnnotationStyles.h"
#include "ZelvorApp/Editor/ResizeCorner.h"
#include "ZelvorApp/Editor/TextChromeGeometry.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <optional>
#include <string_view>
#include <variant>

namespace brisklet {

/// The pointer gesture in progress. Points are image pixels unless the name says view points.
struct InteractionState {
    struct None {
        bool operator==(const None&) const = default;
    };
    struct DrawingShape {
        Point origin;
        bool operator==(const DrawingShape&) const = default;
    };
    struct DrawingArrow {
        Point origin;
        bool operator==(const DrawingArrow&) const = default;
    };
    struct DrawingLine {
        Point origin;
        bool operator==(const DrawingLine&) const = default;
    };
    struct DrawingRedaction {
        Point origin;
        RedactionMode mode = RedactionMode::blur;
        bool operator==(const DrawingRedaction&) const = default;
    };
    struct DrawingStroke {
        StrokeMode mode = StrokeMode::brush;
        bool operator==(const DrawingStroke&) const = default;
    };
    struct SelectingRecognizedText {
        Uuid anchorWordID;
        bool operator==(const SelectingRecognizedText&) const = default;
    };
    struct Dragging {
        Uuid annotationID;
        Point startPoint;
        AnnotationItem originalItem;
        bool operator==(const Dragging&) const = default;
    };
    struct DraggingActiveTextEditor {
        Point startPoint;
        Point originalOrigin;
        bool operator==(const DraggingActiveTextEditor&) const = default;
    };
    struct ResizingActiveTextEditor {
        Point startViewPoint;
        std::optional<double> originalLayoutWidth;
        TextChromeGeometry originalChrome;
        bool operator==(const ResizingActiveTextEditor&) const = default;
    };
    struct RotatingActiveTextEditor {
        double startAngle = 0;
        double originalRotation = 0;
        bool operator==(const RotatingActiveTextEditor&) const = default;
    };
    struct DraggingBackgroundContent {
        Point startPoint;
        Rect originalRect;
        Rect canvasRect;
        BackgroundComposition originalComposition;
        bool operator==(const DraggingBackgroundContent&) const = default;
    };
    struct ResizingRectangle {
        Uuid annotationID;
        ResizeCorner corner = ResizeCorner::topLeft;
        AnnotationItem originalItem;
        bool operator==(const ResizingRectangle&) const = default;
    };
    struct ResizingNumber {
        Uuid annotationID;
        ResizeCorner corner = ResizeCorner::topLeft;
        AnnotationItem originalItem;
        bool operator==(const ResizingNumber&) const = default;
    };
    struct ResizingArrowEndpoint {
        Uuid annotationID;
        LinearAnnotationEndpoint endpoint = LinearAnnotationEndpoint::start;
        AnnotationItem originalItem;
        bool operator==(const ResizingArrowEndpoint&) const = default;
    };
    struct ResizingLineEndpoint {
        Uuid annotationID;
        LinearAnnotationEndpoint endpoint = LinearAnnotationEndpoint::start;
        AnnotationItem originalItem;
        bool operator==(const ResizingLineEndpoint&) const = default;
    };
    struct ResizingTextAnnotation {
        Uuid annotationID;
        AnnotationItem originalItem;
        Point startViewPoint;
        TextChromeGeometry originalChrome;
        bool operator==(const ResizingTextAnnotation&) const = default;
    };
    struct RotatingTextAnnotation {
        Uuid annotationID;
        Point center; ///< view points
        double startAngle = 0;
        double originalRotation = 0;
        AnnotationItem originalItem;
        bool operator==(const RotatingTextAnnotation&) const = default;
    };

    using Variant =
        std::variant<None, DrawingShape, DrawingArrow, DrawingLine, DrawingRedaction, DrawingStroke,
                     SelectingRecognizedText, Dragging, DraggingActiveTextEditor, ResizingActiveTextEditor,
                     RotatingActiveTextEditor, DraggingBackgroundContent, ResizingRectangle, ResizingNumber,
                     ResizingArrowEndpoint, ResizingLineEndpoint, ResizingTextAnnotation, RotatingTextAnnotation>;

    Variant value;

    bool isNone() const { return std::holds_alternative<None>(value); }
    template <class T> const T* as() const { return std::get_if<T>(&value); }
    /// The annotation the gesture moves, resizes or rotates; nothing while drawing or idle.
    std::optional<Uuid> annotationID() const {
        return std::visit(
            [](const auto& state) -> std::optional<Uuid> {
                if constexpr (requires { state.annotationID; }) {
                    return state.annotationID;
                } else {
                    return std::nullopt;
                }
            },
            value);
    }

    bool operator==(const InteractionState&) const = default;
};

} // namespace brisklet
