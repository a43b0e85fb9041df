#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

namespace brisklet {

/// Which part of a text's frame a pointer is over.
enum class TextChromeTarget { none, deleteButton, resizeHandle, rotateHandle, body };

/// The on-screen frame of a selected or edited text, in view points with y growing downward.
/// Every rectangle is unrotated; the frame is drawn turned by `rotation` about `rotationCenter`.
struct TextChromeGeometry {
    Rect contentRect;
    Rect borderRect;
    Rect deleteRect;
    Rect resizeHandleRect;
    Rect rotateHandleRect;
    Point rotationCenter;
    double rotation = 0;

    static constexpr double horizontalInset = 8;
    static constexpr double verticalInset = 6;
    static constexpr double controlSize = 12;
    static constexpr double rotateHandleLift = 14;
    /// Small controls are easier to grab with this much slack on every side.
    static constexpr double controlHitSlack = 4;

    /// The frame around `contentRect` (view points) turned by `rotation` radians.
    static TextChromeGeometry make(const Rect& contentRect, double rotation);

    /// What lies under `viewPoint`: the controls first (delete, resize, rotate), then the body.
    TextChromeTarget target(Point viewPoint) const;

    bool operator==(const TextChromeGeometry&) const = default;
};

} // namespace brisklet
