#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <functional>
#include <optional>

namespace brisklet {

/// The geometry and dragging rules of the border drawn around a region being recorded (the
/// scrolling capture, the GIF region, the recording-options selection). The shell draws it and
/// forwards pointer events here; positions are in the global desktop space.
class BorderHighlightModel {
public:
    enum class Cursor { arrow, openHand };

    static constexpr double lineWidth = 3;
    static constexpr double strokeInset = 1.5;
    /// The border window extends this far beyond the region on every side.
    static constexpr double selectionInset = 6;

    /// Told the new region (the window frame inset by `selectionInset`) while the user drags.
    using MoveHandler = std::function<void(const Rect& region)>;

    /// The rectangle the line is stroked along, for a view of these bounds.
    static Rect strokeRect(const Rect& bounds);
    /// The border window's frame for a region, and back.
    static Rect windowFrame(const Rect& region);
    static Rect region(const Rect& windowFrame);

    void setOnMove(MoveHandler handler) { onMove_ = std::move(handler); }
    bool isMovable() const { return static_cast<bool>(onMove_); }
    Cursor cursor() const { return isMovable() ? Cursor::openHand : Cursor::arrow; }

    /// A press at `pointer` on the window whose frame is `windowFrame`; false (ignored) when the
    /// border cannot be moved.
    bool mouseDown(Point pointer, const Rect& windowFrame);
    /// The window's new frame while dragging, or none when no drag is under way.
    std::optional<Rect> mouseDragged(Point pointer);
    void mouseUp();

private:
    MoveHandler onMove_;
    std::optional<Point> dragStart_;
    Rect frameAtDragStart_;
};

} // namespace brisklet
