// The compositions BackgroundLayout recommends and the one-click looks of the background panel.

#include "ZelvorApp/Background/BackgroundLayout.h"

#include "ZelvorApp/Background/BackgroundTemplate.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

using Context = BackgroundCaptureContext;

double clampValue(double x, double lo, double hi) {
    return std::max(std::min(x, hi), lo);
}

double shorterSide(Size size) {
    return std::max(std::min(size.width, size.height), 1.0);
}

/// Multiples of four (padding) and of two (corners) keep the canvas tidy at any scale.
double roundedTo(double step, double value) {
    return step * std::round(value / step);
}

template <class Case> bool holds(const BackgroundSource& source) {
    return std::holds_alternative<Case>(source.value);
}

/// The look a source and context deserve, per kind of source: {region, window}.
struct PerSource {
    double preset;
    double customImage;
    double solidColor;
    double desktopWallpaper;
    double transparent;
};

double pick(const PerSource& values, const BackgroundSource& source) {
    if (holds<BackgroundSource::Preset>(source)) {
        return values.preset;
    }
    if (holds<BackgroundSource::CustomImage>(source)) {
        return values.customImage;
    }
    if (holds<BackgroundSource::SolidColor>(source)) {
        return values.solidColor;
    }
    if (holds<BackgroundSource::DesktopWallpaper>(source)) {
        return values.desktopWallpaper;
    }
    return values.transparent;
}

double aspectFactor(const CanvasAspectPreset& aspect) {
    using Kind = CanvasAspectPreset::Kind;
    switch (aspect.kind) {
    case Kind::automatic:
        return 0.1;
    case Kind::square:
        return 0.12;
    case Kind::portrait:
        return 0.115;
    case Kind::landscape:
        return 0.085;
    case Kind::story:
        return 0.1;
    case Kind::custom:
        return aspect.customHeight <= aspect.customWidth ? 0.085 : 0.11;
    }
    return 0.1;
}

BackgroundImageAdjustment adjustment(double brightness, double blurRadius, double scale) {
    return {brightness, blurRadius, scale, 0, 0};
}

/// Settings shared by the three quick looks: centred, no drag offset, no template.
BackgroundComposition recentred(BackgroundComposition c) {
    c.alignment = CanvasAlignment::center;
    c.contentOffset = {};
    c.appliedTemplateID.reset();
    return c;
}

} // namespace

double BackgroundLayout::recommendedCornerRadius(const BackgroundSource& source, CaptureContext context,
                                                 Size contentSize) {
    if (holds<BackgroundSource::Transparent>(source)) {
        return 0;
    }
    const double base =
        context == Context::window ? pick({24, 30, 18, 30, 0}, source) : pick({22, 40, 14, 38, 0}, source);
    const double m = shorterSide(contentSize);
    const double step = m < 520 ? -2 : m < 900 ? 0 : m < 1400 ? 4 : 6;
    return clampValue(roundedTo(2, base + step), 0, 48);
}

double BackgroundLayout::balancedPadding(const CanvasAspectPreset& aspect, const BackgroundSource& source,
                                         CaptureContext context, Size contentSize) {
    double sourceFactor = 0;
    if (holds<BackgroundSource::CustomImage>(source) || holds<BackgroundSource::DesktopWallpaper>(source)) {
        sourceFactor = 0.01;
    } else if (holds<BackgroundSource::Transparent>(source)) {
        sourceFactor = -0.02;
    }
    const bool window = context == Context::window;
    const double contextFactor = window ? 0.035 : 0;
    const double share = aspectFactor(aspect) + sourceFactor + contextFactor;
    return clampValue(roundedTo(4, shorterSide(contentSize) * share), 24, window ? 192 : 160);
}

double BackgroundLayout::balancedShadowStrength(const BackgroundSource& source, CaptureContext context) {
    return context == Context::window ? pick({88, 100, 72, 100, 18}, source) : pick({66, 96, 44, 100, 0}, source);
}

BackgroundComposition BackgroundLayout::balancedComposition(const BackgroundComposition& base, Size contentSize,
                                                            CaptureContext context) {
    BackgroundComposition c = base;
    c.aspectPreset = recommendedAspectPreset(contentSize);
    c.alignment = CanvasAlignment::center;
    c.contentOffset = {};
    c.padding = balancedPadding(c.aspectPreset, c.source, context, contentSize);
    c.shadowStrength = balancedShadowStrength(c.source, context);
    c.cornerRadius = recommendedCornerRadius(c.source, context, contentSize);
    return c;
}

BackgroundLayout::InitialState BackgroundLayout::resolveInitialState(const AppPreferences& preferences,
                                                                     Size contentSize, CaptureContext context) {
    if (preferences.defaultBackgroundPresetID) {
        for (const auto& saved : preferences.savedBackgroundPresets) {
            if (saved.id == *preferences.defaultBackgroundPresetID) {
                return {saved.composition, saved.id};
            }
        }
    }
    if (preferences.lastBackgroundComposition) {
        return {*preferences.lastBackgroundComposition, std::nullopt};
    }
    return {balancedComposition(BackgroundComposition{}, contentSize, context), std::nullopt};
}

BackgroundComposition BackgroundLayout::compositionByApplying(WindowPresentationMode mode,
                                                              const BackgroundComposition& composition) {
    BackgroundComposition c = composition;
    switch (mode) {
    case WindowPresentationMode::transparent:
        c.source = {BackgroundSource::Transparent{}};
        c.frameStyle = BackgroundFrameStyle::none;
        c.windowShadowMode = WindowShadowMode::trim;
        c.shadowStrength = 0;
        c.cornerRadius = 0;
        c.imageAdjustment = {};
        break;
    case WindowPresentationMode::solid:
        if (!holds<BackgroundSource::SolidColor>(c.source)) {
            c.source = {BackgroundSource::SolidColor{{0.944, 0.95, 0.968, 1}}};
        }
        c.windowShadowMode = WindowShadowMode::keep;
        c.padding = std::max(c.padding, 88.0);
        c.shadowStrength = std::max(c.shadowStrength, 78.0);
        c.cornerRadius = std::max(c.cornerRadius, 24.0);
        c.imageAdjustment = {};
        break;
    case WindowPresentationMode::wallpaper:
        if (holds<BackgroundSource::CustomImage>(composition.source)) {
            c.imageAdjustment = adjustment(0.95, 2, 1.01);
        } else if (holds<BackgroundSource::DesktopWallpaper>(composition.source)) {
            c.imageAdjustment = adjustment(0.92, 6, 1.02);
        } else {
            c.imageAdjustment = adjustment(0.9, 8, 1.03);
        }
        c.source = {BackgroundSource::DesktopWallpaper{}};
        c.windowShadowMode = WindowShadowMode::keep;
        c.padding = std::max(c.padding, 108.0);
        c.shadowStrength = std::max(c.shadowStrength, 92.0);
        c.cornerRadius = std::max(c.cornerRadius, 28.0);
        break;
    }
    return c;
}

BackgroundComposition BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode mode,
                                                              const BackgroundComposition& composition,
                                                              Size contentSize) {
    BackgroundComposition c = recentred(composition);
    switch (mode) {
    case BackgroundWindowQuickMode::clean:
        c.source = {BackgroundSource::Transparent{}};
        c.aspectPreset = {CanvasAspectPreset::Kind::automatic};
        c.frameStyle = BackgroundFrameStyle::none;
        c.windowShadowMode = WindowShadowMode::trim;
        c.padding = 28;
        c.shadowStrength = 0;
        c.cornerRadius = 0;
        c.imageAdjustment = {};
        break;
    case BackgroundWindowQuickMode::elevated:
        if (!holds<BackgroundSource::Preset>(c.source) && !holds<BackgroundSource::SolidColor>(c.source)) {
            c.source = {BackgroundSource::Preset{"cream-note"}};
        }
        c.frameStyle = BackgroundFrameStyle::none;
        c.aspectPreset = recommendedAspectPreset(contentSize);
        c.windowShadowMode = WindowShadowMode::keep;
        c.padding = 84;
        c.shadowStrength = 68;
        c.cornerRadius = 22;
        c.imageAdjustment = {};
        break;
    case BackgroundWindowQuickMode::showcase: {
        if (holds<BackgroundSource::CustomImage>(composition.source)) {
            c.imageAdjustment = adjustment(0.93, 4, 1.03);
        } else {
            c.imageAdjustment = holds<BackgroundSource::DesktopWallpaper>(composition.source)
                                    ? adjustment(0.86, 12, 1.05)
                                    : adjustment(0.84, 14, 1.06);
            c.source = {BackgroundSource::DesktopWallpaper{}};
        }
        const ShowcaseMetrics metrics = showcaseMetrics(contentSize);
        c.aspectPreset = {CanvasAspectPreset::Kind::landscape};
        c.windowShadowMode = WindowShadowMode::keep;
        c.padding = metrics.padding;
        c.shadowStrength = metrics.shadowStrength;
        c.cornerRadius = metrics.cornerRadius;
        break;
    }
    }
    return c;
}

BackgroundComposition BackgroundLayout::compositionByApplying(BackgroundTemplatePreset preset,
                                                              const BackgroundComposition& composition,
                                                              Size contentSize, CaptureContext context) {
    const auto chosen = BackgroundTemplate::templateFor(preset);
    if (!chosen) {
        return composition;
    }
    BackgroundComposition c = composition;
    c.aspectPreset = chosen->aspectPreset;
    c.frameStyle = chosen->frameStyle;
    c.padding = chosen->preferredPadding.value_or(balancedPadding(c.aspectPreset, c.source, context, contentSize));
    c.shadowStrength = chosen->preferredShadowStrength.value_or(balancedShadowStrength(c.source, context));
    c.cornerRadius = chosen->preferredCornerRadius.value_or(recommendedCornerRadius(c.source, context, contentSize));
    c.appliedTemplateID = preset;
    return c;
}

std::optional<BackgroundWindowQuickMode> BackgroundLayout::inferredWindowQuickMode(const BackgroundComposition& c) {
    const bool transparent = holds<BackgroundSource::Transparent>(c.source);
    if (transparent && c.frameStyle == BackgroundFrameStyle::none && c.windowShadowMode == WindowShadowMode::trim &&
        c.padding <= 40 && c.cornerRadius <= 2 && c.shadowStrength <= 8) {
        return BackgroundWindowQuickMode::clean;
    }
    if (c.windowShadowMode == WindowShadowMode::trim) {
        return std::nullopt;
    }
    const bool presetOrSolid =
        holds<BackgroundSource::Preset>(c.source) || holds<BackgroundSource::SolidColor>(c.source);
    if (c.frameStyle == BackgroundFrameStyle::none && c.padding >= 72 && c.padding <= 92 && presetOrSolid) {
        return BackgroundWindowQuickMode::elevated;
    }
    const bool picture =
        holds<BackgroundSource::CustomImage>(c.source) || holds<BackgroundSource::DesktopWallpaper>(c.source);
    const auto& a = c.imageAdjustment;
    const bool softened = (a.brightness <= 0.9 && a.blurRadius >= 8) || (a.brightness <= 0.95 && a.blurRadius >= 3);
    if (c.padding >= 120 && c.cornerRadius >= 28 && a.scale >= 1.03 && picture && softened) {
        return BackgroundWindowQuickMode::showcase;
    }
    return std::nullopt;
}

ShowcaseMetrics BackgroundLayout::showcaseMetrics(Size contentSize) {
    const double m = shorterSide(contentSize);
    return {clampValue(roundedTo(4, 0.146 * m), 108, 152), clampValue(std::round(0.02 * m + 84), 92, 100),
            clampValue(roundedTo(2, 0.016 * m + 18), 24, 34)};
}

} // namespace brisklet
