#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorApp/Editor/EditorViewport.h"
#include "ZelvorApp/Editor/ResizeCorner.h"
#include "ZelvorApp/Editor/TextChromeGeometry.h"

#include <optional>
#include <variant>
#include <vector>

namespace brisklet {

class TextLayoutCache;

/// A handle of a selected item.
struct AnnotationHandle {
    struct RectangleCorner {
        ResizeCorner corner;
        bool operator==(const RectangleCorner&) const = default;
    };
    struct NumberCorner {
        ResizeCorner corner;
        bool operator==(const NumberCorner&) const = default;
    };
    struct ArrowEnd {
        LinearAnnotationEndpoint endpoint;
        bool operator==(const ArrowEnd&) const = default;
    };
    struct LineEnd {
        LinearAnnotationEndpoint endpoint;
        bool operator==(const LineEnd&) const = default;
    };

    std::variant<RectangleCorner, NumberCorner, ArrowEnd, LineEnd> kind;
    Point anchor; ///< view points

    bool operator==(const AnnotationHandle&) const = default;
};

namespace AnnotationHandles {

/// The handles a selected item shows: eight for rectangles and ellipses, the four corners of the
/// square around a number, one at each end of an arrow or line; none for other kinds.
std::vector<AnnotationHandle> handles(const AnnotationItem& item, const EditorViewport& viewport);
/// The handle whose grab area (16 × 16 view points) contains `viewPoint`.
std::optional<AnnotationHandle> handleAt(const AnnotationItem& item, Point viewPoint, const EditorViewport& viewport);

/// The square that bounds a number's circle, in image pixels.
Rect numberSquare(const NumberAnnotation& number);

/// The frame of a text in view points.
TextChromeGeometry textChrome(const TextAnnotation& text, const TextLayoutCache& layout,
                              const EditorViewport& viewport);

} // namespace AnnotationHandles

} // namespace brisklet
