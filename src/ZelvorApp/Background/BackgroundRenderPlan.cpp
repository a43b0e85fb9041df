#include "ZelvorApp/Background/BackgroundRenderPlan.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

StoredColor blended(const StoredColor& c, const StoredColor& toward, double fraction) {
    const auto mix = [fraction](double a, double b) { return a + (b - a) * fraction; };
    return {mix(c.red, toward.red), mix(c.green, toward.green), mix(c.blue, toward.blue), mix(c.alpha, toward.alpha)};
}

Rect integral(const Rect& r) {
    const double x0 = std::floor(r.minX());
    const double y0 = std::floor(r.minY());
    return {{x0, y0}, {std::ceil(r.maxX()) - x0, std::ceil(r.maxY()) - y0}};
}

} // namespace

BackgroundGradientColors BackgroundRenderPlan::solidColorGradient(const StoredColor& color) {
    const double luminance = 0.299 * color.red + 0.587 * color.green + 0.114 * color.blue;
    const bool dark = luminance < 0.5;
    return {blended(color, StoredColor{1, 1, 1, 1}, dark ? 0.12 : 0.18),
            blended(color, StoredColor{0, 0, 0, 1}, dark ? 0.08 : 0.12)};
}

Rect BackgroundRenderPlan::aspectFillRect(Size imageSize, Size canvas, const BackgroundImageAdjustment& adjustment) {
    if (imageSize.width <= 0 || imageSize.height <= 0) {
        return {{0, 0}, canvas};
    }
    const double fill = std::max(canvas.width / imageSize.width, canvas.height / imageSize.height);
    const double scale = fill * std::max(adjustment.scale, 1.0);
    const Size drawn{imageSize.width * scale, imageSize.height * scale};
    return {{(canvas.width - drawn.width) / 2 + adjustment.offsetX,
             (canvas.height - drawn.height) / 2 - adjustment.offsetY},
            drawn};
}

std::optional<ContainedPicture> BackgroundRenderPlan::containedPicture(Size imageSize, Size canvas,
                                                                       const BackgroundImageAdjustment& adjustment) {
    if (imageSize.width <= 0 || imageSize.height <= 0 || canvas.width <= 0 || canvas.height <= 0) {
        return std::nullopt;
    }
    const bool tallCanvas = canvas.height / canvas.width >= 1.18;
    const bool widePicture = imageSize.width / imageSize.height >= 1.15;
    if (!tallCanvas || !widePicture) {
        return std::nullopt;
    }
    ContainedPicture contained;
    contained.backdropAdjustment = adjustment;
    contained.backdropAdjustment.brightness = std::max(adjustment.brightness - 0.1, 0.72);
    contained.backdropAdjustment.blurRadius = std::max(adjustment.blurRadius + 10, 14.0);
    contained.backdropAdjustment.scale = std::max(adjustment.scale, 1.08);

    const double fit = std::min(0.92 * canvas.width / imageSize.width, 0.92 * canvas.height / imageSize.height);
    const Size fitted{imageSize.width * fit, imageSize.height * fit};
    contained.pictureRect =
        integral({{(canvas.width - fitted.width) / 2, (canvas.height - fitted.height) / 2}, fitted});
    contained.cornerRadius =
        std::min(0.035 * std::min(contained.pictureRect.width(), contained.pictureRect.height()), 26.0);
    contained.shadow = {contained.pictureRect, contained.cornerRadius, {1, 1, 1, 0.08}, 0.22, {0, 18}, 42};
    return contained;
}

double BackgroundRenderPlan::effectiveCornerRadius(const BackgroundComposition* composition,
                                                   BackgroundCaptureContext context) {
    if (composition == nullptr) {
        return 0;
    }
    const bool bareWindow = context == BackgroundCaptureContext::window &&
                            composition->frameStyle == BackgroundFrameStyle::none &&
                            composition->windowShadowMode == WindowShadowMode::trim &&
                            std::holds_alternative<BackgroundSource::Transparent>(composition->source.value);
    return bareWindow ? 0 : std::max(composition->cornerRadius, 0.0);
}

double BackgroundRenderPlan::frameShapeCornerRadius(BackgroundFrameStyle style, double cornerRadius,
                                                    double frameWidth) {
    switch (style) {
    case BackgroundFrameStyle::none:
        return std::max(cornerRadius, 0.0);
    case BackgroundFrameStyle::browserLight:
    case BackgroundFrameStyle::browserDark:
        return std::max(cornerRadius + 6, 14.0);
    case BackgroundFrameStyle::iphoneLight:
    case BackgroundFrameStyle::iphoneDark:
        return std::min(std::max(cornerRadius + 16, 24.0), 0.12 * frameWidth);
    case BackgroundFrameStyle::macbookLight:
    case BackgroundFrameStyle::macbookDark:
        return std::max(cornerRadius + 8, 16.0);
    }
    return std::max(cornerRadius, 0.0);
}

std::optional<BackgroundShadowStyle> BackgroundRenderPlan::frameShadow(const BackgroundComposition& composition,
                                                                       const BackgroundLayout& layout) {
    if (!(composition.shadowStrength > 0)) {
        return std::nullopt;
    }
    const double k = std::clamp(composition.shadowStrength / 100, 0.0, 1.0);
    BackgroundShadowStyle shadow;
    shadow.shape = layout.frameRect;
    shadow.shapeCornerRadius =
        frameShapeCornerRadius(composition.frameStyle, composition.cornerRadius, layout.frameRect.width());
    shadow.fill = {0, 0, 0, 0.24 * k + 0.02};
    shadow.shadowAlpha = 0.45 * k + 0.02;
    shadow.offset = {0, 6 + 24 * k};
    shadow.blurRadius = 6 + 72 * k;
    return shadow;
}

std::optional<BackgroundShadowStyle> BackgroundRenderPlan::animationShadow(const BackgroundComposition& composition,
                                                                           const BackgroundLayout& layout) {
    const double s = composition.shadowStrength;
    if (!(s > 0.001)) {
        return std::nullopt;
    }
    BackgroundShadowStyle shadow;
    shadow.shape = layout.contentRect;
    shadow.shapeCornerRadius = std::max(composition.cornerRadius, 0.0);
    shadow.shadowAlpha = std::min(s / 260 + 0.12, 0.42);
    shadow.offset = {0, std::max(0.18 * s, 8.0)};
    shadow.blurRadius = std::max(0.45 * s, 8.0);
    return shadow;
}

} // namespace brisklet
