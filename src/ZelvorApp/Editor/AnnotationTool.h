#pragma once

#include "ZelvorApp/Editor/AnnotationStyles.h"

#include <optional>
#include <string_view>
#include <vector>

namespace brisklet {

/// The tool families that each remember their own line width.
enum class AnnotationWidthFamily { shape, arrow, line, brush };

/// A drawing tool of the editor. Only `stroke` carries a payload (brush or highlighter).
struct AnnotationTool {
    enum class Kind { stroke, shape, arrow, line, redaction, text, number };

    Kind kind = Kind::shape;
    StrokeMode strokeMode = StrokeMode::brush; ///< meaningful for `stroke` only

    static AnnotationTool stroke(StrokeMode mode) { return {Kind::stroke, mode}; }
    static AnnotationTool shape() { return {Kind::shape}; }
    static AnnotationTool arrow() { return {Kind::arrow}; }
    static AnnotationTool line() { return {Kind::line}; }
    static AnnotationTool redaction() { return {Kind::redaction}; }
    static AnnotationTool text() { return {Kind::text}; }
    static AnnotationTool number() { return {Kind::number}; }

    /// The toolbar's order: shape, arrow, line, redaction, brush, highlighter, text, number.
    static std::vector<AnnotationTool> toolbarOrder();

    /// The word log lines use: "shape", "arrow", "line", "redaction", "brush", "highlighter",
    /// "text" or "number".
    std::string_view logName() const;
    /// The width this tool draws with, if it has a configurable one (a highlighter has not).
    std::optional<AnnotationWidthFamily> widthFamily() const;

    bool operator==(const AnnotationTool& other) const {
        return kind == other.kind && (kind != Kind::stroke || strokeMode == other.strokeMode);
    }
};

} // namespace brisklet
