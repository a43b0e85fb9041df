#include "ZelvorApp/Editor/AnnotationTool.h"

namespace brisklet {

std::vector<AnnotationTool> AnnotationTool::toolbarOrder() {
    return {shape(), arrow(), line(), redaction(), stroke(StrokeMode::brush), stroke(StrokeMode::highlighter),
            text(),  number()};
}

std::string_view AnnotationTool::logName() const {
    switch (kind) {
    case Kind::stroke:
        return strokeMode == StrokeMode::brush ? "brush" : "highlighter";
    case Kind::shape:
        return "shape";
    case Kind::arrow:
        return "arrow";
    case Kind::line:
        return "line";
    case Kind::redaction:
        return "redaction";
    case Kind::text:
        return "text";
    case Kind::number:
        return "number";
    }
    return "shape";
}

std::optional<AnnotationWidthFamily> AnnotationTool::widthFamily() const {
    switch (kind) {
    case Kind::stroke:
        return strokeMode == StrokeMode::brush ? std::optional(AnnotationWidthFamily::brush) : std::nullopt;
    case Kind::shape:
        return AnnotationWidthFamily::shape;
    case Kind::arrow:
        return AnnotationWidthFamily::arrow;
    case Kind::line:
        return AnnotationWidthFamily::line;
    default:
        return std::nullopt;
    }
}

} // namespace brisklet
