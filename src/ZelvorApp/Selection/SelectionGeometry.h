#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <array>
#include <optional>

namespace brisklet {

/// The eight handles of a selection, in hit-test order. Each one moves exactly the edges that
/// pass through it: `topLeft` sits on (minX, minY) and moves those two edges.
enum class SelectionHandle { topLeft, top, topRight, right, bottomLeft, bottom, bottomRight, left };

/// The geometry rules of the selection overlay, in the view's points (origin at the screen's
/// bottom-left corner, y growing upwards).
struct SelectionGeometry {
    static constexpr double minimumShortSide = 4;
    static constexpr double minimumLongSide = 24;
    static constexpr double handleSize = 8;
    static constexpr double handleHitSlop = 6;
    static constexpr double minimumResizeSide = 20;

    /// The rectangle with non-negative width and height.
    static Rect standardized(const Rect& rect);
    /// Shorter side at least 4 points, longer side at least 24.
    static bool isValidSelection(const Rect& rect);
    /// Edges rounded to whole points.
    static Rect roundedToPoints(const Rect& rect);
    /// Rounds half away from zero on the device pixel grid of `scale`.
    static double alignedToPixels(double value, double scale);

    /// The handle squares of a non-empty selection, in hit-test order.
    static std::array<Rect, 8> handleRects(const Rect& selection, double scale);
    /// The first handle whose square, grown by 6 points, holds `point`.
    static std::optional<SelectionHandle> hitHandle(Point point, const Rect& selection, double scale);

    /// The rectangle dragged open from `origin` to `point`, kept inside `bounds`.
    static Rect created(Point origin, Point point, const Rect& bounds);
    /// The selection moved so its origin is `point` − `offset`, kept inside `bounds`.
    static Rect moved(const Rect& selection, Point point, Point offset, const Rect& bounds);
    /// `start` with the handle's edges moved to `point`; a moved edge stops 20 points before the
    /// opposite one, and the result stays inside `bounds`.
    static Rect resized(const Rect& start, SelectionHandle handle, Point point, const Rect& bounds);
    /// `point` clamped into `bounds`.
    static Point clamped(Point point, const Rect& bounds);
};

} // namespace brisklet
