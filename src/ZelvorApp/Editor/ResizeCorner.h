#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// The eight handles of a rectangle: four corners and four edge midpoints.
enum class ResizeCorner { topLeft, top, topRight, right, bottomLeft, bottom, bottomRight, left };

/// Which end of an arrow or line a handle moves.
enum class LinearAnnotationEndpoint { start, end };

template <> struct EnumTraits<ResizeCorner> {
    static constexpr std::array<std::pair<ResizeCorner, std::string_view>, 8> names{{
        {ResizeCorner::topLeft, "topLeft"},
        {ResizeCorner::top, "top"},
        {ResizeCorner::topRight, "topRight"},
        {ResizeCorner::right, "right"},
        {ResizeCorner::bottomLeft, "bottomLeft"},
        {ResizeCorner::bottom, "bottom"},
        {ResizeCorner::bottomRight, "bottomRight"},
        {ResizeCorner::left, "left"},
    }};
};

template <> struct EnumTraits<LinearAnnotationEndpoint> {
    static constexpr std::array<std::pair<LinearAnnotationEndpoint, std::string_view>, 2> names{{
        {LinearAnnotationEndpoint::start, "start"},
        {LinearAnnotationEndpoint::end, "end"},
    }};
};

inline bool movesLeftEdge(ResizeCorner c) {
    return c == ResizeCorner::topLeft || c == ResizeCorner::left || c == ResizeCorner::bottomLeft;
}
inline bool movesRightEdge(ResizeCorner c) {
    return c == ResizeCorner::topRight || c == ResizeCorner::right || c == ResizeCorner::bottomRight;
}
inline bool movesTopEdge(ResizeCorner c) {
    return c == ResizeCorner::topLeft || c == ResizeCorner::top || c == ResizeCorner::topRight;
}
inline bool movesBottomEdge(ResizeCorner c) {
    return c == ResizeCorner::bottomLeft || c == ResizeCorner::bottom || c == ResizeCorner::bottomRight;
}

} // namespace brisklet
