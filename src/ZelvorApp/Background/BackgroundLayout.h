#pragma once

#include "ZelvorApp/Background/BackgroundWindowModes.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <optional>
#include <string>

namespace brisklet {

struct AppPreferences;

/// Room the device or browser chrome takes around the screenshot, in image pixels.
struct FrameInsets {
    double top = 0;
    double left = 0;
    double bottom = 0;
    double right = 0;
    bool operator==(const FrameInsets&) const = default;
};

/// Padding, shadow and corner of the showcase look, scaled to the content.
struct ShowcaseMetrics {
    double padding = 0;
    double shadowStrength = 0;
    double cornerRadius = 0;
    bool operator==(const ShowcaseMetrics&) const = default;
};

/// Where everything goes on the decorative canvas. Rectangles are in canvas pixels with the
/// origin at the top-left corner and y growing downward, like every image of ours. (A stored
/// `contentOffset.height` still counts upward, as compositions have always been saved.)
struct BackgroundLayout {
    using CaptureContext = BackgroundCaptureContext;

    /// The composition the editor opens with, and the saved preset it came from.
    struct InitialState {
        BackgroundComposition composition;
        std::optional<std::string> selectedSavedPresetID;
        bool operator==(const InitialState&) const = default;
    };

    Size canvasSize;
    /// Where the screenshot goes.
    Rect contentRect;
    /// The screenshot plus its frame chrome.
    Rect frameRect;
    /// Equal to `contentRect`.
    Rect framedContentRect;

    bool operator==(const BackgroundLayout&) const = default;

    // Geometry.

    static BackgroundLayout make(Size contentSize, const BackgroundComposition& composition);
    static FrameInsets frameInsets(BackgroundFrameStyle style, Size contentSize);
    /// The offset that puts the content's top-left corner at `contentOrigin` (clamped onto the
    /// canvas): the inverse of the offset step of `make`, for dragging the screenshot around.
    static Size contentOffset(Point contentOrigin, Size contentSize, const BackgroundComposition& composition);

    // Recommendations and the composition the editor starts with.

    static CanvasAspectPreset recommendedAspectPreset(Size size);
    static double recommendedCornerRadius(const BackgroundSource& source, CaptureContext context, Size contentSize);
    /// Padding that suits `aspect` for this content: a share of its shorter side.
    static double balancedPadding(const CanvasAspectPreset& aspect, const BackgroundSource& source,
                                  CaptureContext context, Size contentSize);
    static double balancedShadowStrength(const BackgroundSource& source, CaptureContext context);
    static BackgroundComposition balancedComposition(const BackgroundComposition& base, Size contentSize,
                                                     CaptureContext context);
    static InitialState resolveInitialState(const AppPreferences& preferences, Size contentSize,
                                            CaptureContext context);

    // One-click looks.

    static BackgroundComposition compositionByApplying(WindowPresentationMode mode,
                                                       const BackgroundComposition& composition);
    static BackgroundComposition compositionByApplying(BackgroundWindowQuickMode mode,
                                                       const BackgroundComposition& composition, Size contentSize);
    static BackgroundComposition compositionByApplying(BackgroundTemplatePreset preset,
                                                       const BackgroundComposition& composition, Size contentSize,
                                                       CaptureContext context);
    /// The quick look a composition matches (to highlight its button), or nothing.
    static std::optional<BackgroundWindowQuickMode> inferredWindowQuickMode(const BackgroundComposition& composition);
    static ShowcaseMetrics showcaseMetrics(Size contentSize);
};

} // namespace brisklet
