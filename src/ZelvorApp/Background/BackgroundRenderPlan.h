#pragma once

#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <optional>

namespace brisklet {

/// A soft drop shadow cast by a rounded rectangle. The shadow is what an opaque shape of that
/// outline casts; the shape itself is then filled with `fill` (often nearly or fully clear,
/// because the screenshot covers it).
struct BackgroundShadowStyle {
    Rect shape;
    double shapeCornerRadius = 0;
    StoredColor fill{0, 0, 0, 0};
    double shadowAlpha = 0; ///< black
    Point offset;           ///< canvas pixels, y downward
    double blurRadius = 0;  ///< the shadow softens over about this many pixels
    bool operator==(const BackgroundShadowStyle&) const = default;
};

/// A wide picture shown whole on a tall canvas: a dimmed, blurred copy fills the canvas and the
/// picture itself sits on it as a rounded card.
struct ContainedPicture {
    BackgroundImageAdjustment backdropAdjustment;
    Rect pictureRect;
    double cornerRadius = 0;
    BackgroundShadowStyle shadow;
    bool operator==(const ContainedPicture&) const = default;
};

/// The two colours of a linear gradient from the canvas's top-left corner to its bottom-right one.
struct BackgroundGradientColors {
    StoredColor start;
    StoredColor end;
    bool operator==(const BackgroundGradientColors&) const = default;
};

/// Every number the background painters need, computed without drawing, so the look is decided
/// (and tested) in one place and every painter draws the same thing.
struct BackgroundRenderPlan {
    /// The desktop's plain window colour, used where a picture or preset is missing.
    static StoredColor windowBackgroundColor() { return {0.925, 0.925, 0.925, 1}; }

    /// A solid colour as a gentle diagonal: a little lighter at the top-left, a little darker at
    /// the bottom-right (dark colours lighten less and darken less).
    static BackgroundGradientColors solidColorGradient(const StoredColor& color);

    /// The rectangle a picture of `imageSize` covers when it fills `canvas` (zoom and pan applied;
    /// a positive `offsetY` moves the picture up).
    static Rect aspectFillRect(Size imageSize, Size canvas, const BackgroundImageAdjustment& adjustment);
    /// Nothing unless the canvas is tall and the picture wide.
    static std::optional<ContainedPicture> containedPicture(Size imageSize, Size canvas,
                                                            const BackgroundImageAdjustment& adjustment);

    /// The rounded corner of the screenshot: 0 without a composition, and for a bare window
    /// capture on nothing (its own corners are already there), else the composition's radius.
    static double effectiveCornerRadius(const BackgroundComposition* composition, BackgroundCaptureContext context);
    /// The corner of the outline that casts the shadow: the device body's corner for a frame.
    static double frameShapeCornerRadius(BackgroundFrameStyle style, double cornerRadius, double frameWidth);
    /// The still picture's shadow under the frame, or nothing at strength 0.
    static std::optional<BackgroundShadowStyle> frameShadow(const BackgroundComposition& composition,
                                                            const BackgroundLayout& layout);
    /// An animation's shadow under the content rectangle, or nothing at strength 0.
    static std::optional<BackgroundShadowStyle> animationShadow(const BackgroundComposition& composition,
                                                                const BackgroundLayout& layout);
};

} // namespace brisklet
