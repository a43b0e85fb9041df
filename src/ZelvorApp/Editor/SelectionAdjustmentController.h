#pragma once

#include "ZelvorApp/Editor/ResizeCorner.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

#include <array>
#include <utility>
#include <variant>

namespace brisklet {

/// The pointer gesture on the captured rectangle while it is still being adjusted.
struct SelectionInteraction {
    struct None {
        bool operator==(const None&) const = default;
    };
    struct Moving {
        Point pointerOffset; ///< pointer minus the rectangle's origin at mouse-down
        Rect originalRect;
        bool operator==(const Moving&) const = default;
    };
    struct Resizing {
        ResizeCorner corner = ResizeCorner::topLeft;
        Rect originalRect;
        bool operator==(const Resizing&) const = default;
    };

    std::variant<None, Moving, Resizing> value;

    bool isNone() const { return std::holds_alternative<None>(value); }
    bool operator==(const SelectionInteraction&) const = default;
};

/// Moving and resizing the captured rectangle over the frozen screen snapshot, and cutting the
/// base image out of the snapshot again whenever the rectangle changed. View points have their
/// origin at the top-left of the screen the snapshot shows, y growing downward.
class SelectionAdjustmentController {
public:
    static constexpr double minimumSelectionSide = 24; ///< view points
    static constexpr int minimumCropPixels = 4;

    /// `pixelsPerPoint` is the snapshot's pixel density over `viewBounds`.
    SelectionAdjustmentController(Image snapshot, Rect viewBounds, Rect selection, double pixelsPerPoint);

    const Rect& selectionRect() const { return selection_; }
    const SelectionInteraction& interaction() const { return interaction_; }
    bool isInteracting() const { return !interaction_.isNone(); }
    double pixelsPerPoint() const { return pixelsPerPoint_; }

    /// What a press at `viewPoint` would start: resizing on a handle (the topmost one wins),
    /// moving inside the rectangle, or nothing elsewhere. The window shows it as the cursor.
    SelectionInteraction grabAt(Point viewPoint) const;
    /// Starts resizing on a handle or moving inside the rectangle; returns false elsewhere.
    bool mouseDown(Point viewPoint);
    void mouseDragged(Point viewPoint);
    void mouseUp(Point viewPoint);

    /// The eight handles of the rectangle, in view points.
    std::array<std::pair<ResizeCorner, Point>, 8> handles() const;

    /// The snapshot pixels the rectangle covers: made integral outward, kept inside the snapshot
    /// and at least 4 pixels on each side.
    Rect cropRect() const;
    /// Where the crop stands in the view (aligned to whole snapshot pixels).
    Rect cropRectInView() const;
    /// True when the rectangle moved or changed size since the base image was last cut.
    bool needsRecut() const { return !(cutRect_ == cropRect()); }
    /// The base image for the current rectangle.
    Image cutBaseImage();

private:
    Rect clampedIntoView(Rect rect) const;

    Image snapshot_;
    Rect viewBounds_;
    Rect selection_;
    double pixelsPerPoint_;
    SelectionInteraction interaction_;
    Rect cutRect_;
};

} // namespace brisklet
