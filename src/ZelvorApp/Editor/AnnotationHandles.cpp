#include "ZelvorApp/Editor/AnnotationHandles.h"

#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"

namespace brisklet::AnnotationHandles {

namespace G = ScreenshotEditorGeometry;

Rect numberSquare(const NumberAnnotation& number) {
    const double r = number.diameter / 2;
    return {{number.center.x - r, number.center.y - r}, {number.diameter, number.diameter}};
}

std::vector<AnnotationHandle> handles(const AnnotationItem& item, const EditorViewport& viewport) {
    std::vector<AnnotationHandle> result;
    if (const auto* r = item.as<RectangleAnnotation>()) {
        for (const auto& [corner, anchor] : G::handleAnchors(viewport.toView(r->rect))) {
            result.push_back({AnnotationHandle::RectangleCorner{corner}, anchor});
        }
    } else if (const auto* n = item.as<NumberAnnotation>()) {
        for (const auto& [corner, anchor] : G::handleAnchors(viewport.toView(numberSquare(*n)))) {
            if (corner == ResizeCorner::topLeft || corner == ResizeCorner::topRight ||
                corner == ResizeCorner::bottomLeft || corner == ResizeCorner::bottomRight) {
                result.push_back({AnnotationHandle::NumberCorner{corner}, anchor});
            }
        }
    } else if (const auto* a = item.as<ArrowAnnotation>()) {
        result.push_back({AnnotationHandle::ArrowEnd{LinearAnnotationEndpoint::start}, viewport.toView(a->start)});
        result.push_back({AnnotationHandle::ArrowEnd{LinearAnnotationEndpoint::end}, viewport.toView(a->end)});
    } else if (const auto* l = item.as<LineAnnotation>()) {
        result.push_back({AnnotationHandle::LineEnd{LinearAnnotationEndpoint::start}, viewport.toView(l->start)});
        result.push_back({AnnotationHandle::LineEnd{LinearAnnotationEndpoint::end}, viewport.toView(l->end)});
    }
    return result;
}

std::optional<AnnotationHandle> handleAt(const AnnotationItem& item, Point viewPoint, const EditorViewport& viewport) {
    // Later handles win where grab areas overlap: an arrow's end sits on its tip, and a tiny
    // rectangle is best grown from its bottom-right corner.
    const auto all = handles(item, viewport);
    for (auto it = all.rbegin(); it != all.rend(); ++it) {
        if (G::containsInclusive(G::handleHitRect(it->anchor), viewPoint)) {
            return *it;
        }
    }
    return std::nullopt;
}

TextChromeGeometry textChrome(const TextAnnotation& text, const TextLayoutCache& layout,
                              const EditorViewport& viewport) {
    return TextChromeGeometry::make(viewport.toView(layout.contentRect(text)), text.rotation);
}

} // namespace brisklet::AnnotationHandles
