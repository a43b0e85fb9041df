#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// Outline of a shape annotation.
enum class ShapeKind { rectangle, ellipse };
/// Whether a shape is only outlined or also filled.
enum class ShapeFillMode { stroke, fill };
/// `brush` is one tapered filled outline; `geometric` is a straight shaft with a notched head.
enum class ArrowStyle { brush, geometric };
/// How a redaction hides what lies under it.
enum class RedactionMode { blur, mosaic };
/// A freehand stroke is either an opaque brush or a translucent, fixed-width highlighter.
enum class StrokeMode { brush, highlighter };

template <> struct EnumTraits<ShapeKind> {
    static constexpr std::array<std::pair<ShapeKind, std::string_view>, 2> names{{
        {ShapeKind::rectangle, "rectangle"},
        {ShapeKind::ellipse, "ellipse"},
    }};
};

template <> struct EnumTraits<ShapeFillMode> {
    static constexpr std::array<std::pair<ShapeFillMode, std::string_view>, 2> names{{
        {ShapeFillMode::stroke, "stroke"},
        {ShapeFillMode::fill, "fill"},
    }};
};

template <> struct EnumTraits<ArrowStyle> {
    static constexpr std::array<std::pair<ArrowStyle, std::string_view>, 2> names{{
        {ArrowStyle::brush, "brush"},
        {ArrowStyle::geometric, "geometric"},
    }};
};

template <> struct EnumTraits<RedactionMode> {
    static constexpr std::array<std::pair<RedactionMode, std::string_view>, 2> names{{
        {RedactionMode::blur, "blur"},
        {RedactionMode::mosaic, "mosaic"},
    }};
};

template <> struct EnumTraits<StrokeMode> {
    static constexpr std::array<std::pair<StrokeMode, std::string_view>, 2> names{{
        {StrokeMode::brush, "brush"},
        {StrokeMode::highlighter, "highlighter"},
    }};
};

/// A highlighter is always this wide, whatever the brush width is set to.
inline constexpr double highlighterStrokeWidth = 14;

} // namespace brisklet
