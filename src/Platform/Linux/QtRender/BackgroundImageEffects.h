#pragma once

#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <QImage>
#include <QSizeF>

namespace brisklet {

/// Gaussian-looking blur of `image` in place (three box passes each way), edges extended as if
/// the picture went on beyond them. Works on 32-bit (premultiplied) and 8-bit images; other
/// formats are left alone. `sigma` is in the image's own pixels.
void blurInPlace(QImage& image, double sigma);

/// Adds `delta` (−1…1) to every colour channel of a premultiplied 32-bit image, staying within
/// each pixel's alpha.
void shiftBrightness(QImage& image, double delta);

/// `picture` ready to be drawn into a rectangle of `drawnSize` canvas pixels with its
/// brightness and blur applied (blur radius in the picture's own pixels, as a photo editor
/// counts it). A blurred picture is returned at a reduced resolution that still looks identical
/// once drawn, which keeps large wallpapers fast. Format ARGB32 premultiplied.
QImage adjustedBackgroundPicture(const QImage& picture, QSizeF drawnSize, const BackgroundImageAdjustment& adjustment);

/// Draws `picture` (ARGB32 premultiplied) stretched bilinearly over `placement` into `layer`
/// (RGBA8888 premultiplied), touching only the layer's pixels inside the placement. For
/// enlarging blurred pictures, whose smoothness bilinear sampling keeps.
void drawEnlargedInto(QImage& layer, const QImage& picture, const QRect& placement);

/// An 8-bit mask enlarged bilinearly to exactly `size`.
QImage enlargedMask(const QImage& mask, QSize size);

/// Converts premultiplied RGBA pixels in place to the straight alpha `Image` stores.
void unpremultiplyInPlace(Image& image);

} // namespace brisklet
