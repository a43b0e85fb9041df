#include "Platform/Linux/QtRender/BackgroundImageEffects.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

namespace brisklet {

namespace {

/// Box widths whose three successive passes approximate a Gaussian of `sigma` (Wells, 1986).
std::array<int, 3> boxRadii(double sigma) {
    constexpr int passes = 3;
    const double ideal = std::sqrt(12 * sigma * sigma / passes + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0) {
        --lower;
    }
    const int upper = lower + 2;
    const double m = std::round((12 * sigma * sigma - passes * lower * lower - 4.0 * passes * lower - 3 * passes) /
                                (-4.0 * lower - 4));
    std::array<int, 3> radii{};
    for (int i = 0; i < passes; ++i) {
        radii[static_cast<std::size_t>(i)] = ((i < m ? lower : upper) - 1) / 2;
    }
    return radii;
}

// Averages in 32-bit fixed point with 23 fraction bits: 255 × (2r + 1) × ⌊2²³ / (2r + 1)⌋ stays
// below 2³², the result is off by less than half a level for any radius we use, and the
// arithmetic vectorises.
constexpr int averageShift = 23;

std::uint32_t boxInverse(int radius) {
    return (std::uint32_t{1} << averageShift) / static_cast<std::uint32_t>(2 * radius + 1);
}

std::uint8_t boxAverage(std::uint32_t sum, std::uint32_t inverse) {
    return static_cast<std::uint8_t>((sum * inverse + (std::uint32_t{1} << (averageShift - 1))) >> averageShift);
}

struct Plane {
    std::uint8_t* bits;
    int width;
    int height;
    qsizetype stride;
    int channels;

    std::uint8_t* row(int y) const { return bits + static_cast<qsizetype>(y) * stride; }
};

/// Running sums of one row's channels, kept in registers (an array here would live in memory and
/// halve the speed of the pass).
template <int Channels> struct RowSums;

template <> struct RowSums<1> {
    std::uint32_t s0 = 0;
    void add(const std::uint8_t* p, std::uint32_t times = 1) { s0 += p[0] * times; }
    void step(std::uint8_t* out, const std::uint8_t* entering, const std::uint8_t* leaving, std::uint32_t inverse) {
        out[0] = boxAverage(s0, inverse);
        s0 += entering[0];
        s0 -= leaving[0];
    }
};

template <> struct RowSums<4> {
    std::uint32_t s0 = 0, s1 = 0, s2 = 0, s3 = 0;
    void add(const std::uint8_t* p, std::uint32_t times = 1) {
        s0 += p[0] * times;
        s1 += p[1] * times;
        s2 += p[2] * times;
        s3 += p[3] * times;
    }
    void step(std::uint8_t* out, const std::uint8_t* entering, const std::uint8_t* leaving, std::uint32_t inverse) {
        out[0] = boxAverage(s0, inverse);
        out[1] = boxAverage(s1, inverse);
        out[2] = boxAverage(s2, inverse);
        out[3] = boxAverage(s3, inverse);
        s0 += entering[0];
        s1 += entering[1];
        s2 += entering[2];
        s3 += entering[3];
        s0 -= leaving[0];
        s1 -= leaving[1];
        s2 -= leaving[2];
        s3 -= leaving[3];
    }
};

/// One horizontal box pass from `src` to `dst`, edges clamped; only the first and last
/// `radius` pixels of a row need clamping.
template <int Channels> void boxHorizontal(const Plane& src, const Plane& dst, int radius) {
    const int w = src.width;
    const std::uint32_t inverse = boxInverse(radius);
    const auto clampedX = [w](int x) { return x < 0 ? 0 : (x >= w ? w - 1 : x); };
    for (int y = 0; y < src.height; ++y) {
        const std::uint8_t* in = src.row(y);
        std::uint8_t* out = dst.row(y);
        RowSums<Channels> sums;
        sums.add(in, static_cast<std::uint32_t>(radius + 1));
        for (int i = 1; i <= radius; ++i) {
            sums.add(in + clampedX(i) * Channels);
        }
        const int safeStart = std::min(w, radius);
        const int safeEnd = std::max(safeStart, w - radius - 1);
        for (int x = 0; x < safeStart; ++x) {
            sums.step(out + x * Channels, in + clampedX(x + radius + 1) * Channels,
                      in + clampedX(x - radius) * Channels, inverse);
        }
        for (int x = safeStart; x < safeEnd; ++x) {
            sums.step(out + x * Channels, in + (x + radius + 1) * Channels, in + (x - radius) * Channels, inverse);
        }
        for (int x = safeEnd; x < w; ++x) {
            sums.step(out + x * Channels, in + clampedX(x + radius + 1) * Channels,
                      in + clampedX(x - radius) * Channels, inverse);
        }
    }
}
void boxHorizontal(const Plane& src, const Plane& dst, int radius) {
    if (src.channels == 4) {
        boxHorizontal<4>(src, dst, radius);
    } else {
        boxHorizontal<1>(src, dst, radius);
    }
}

/// One vertical box pass from `src` to `dst`: whole rows at a time, so memory is read in order.
void boxVertical(const Plane& src, const Plane& dst, int radius) {
    const int h = src.height;
    const std::size_t n = static_cast<std::size_t>(src.width) * static_cast<std::size_t>(src.channels);
    const std::uint32_t inverse = boxInverse(radius);
    std::vector<std::uint32_t> sums(n);
    const auto rowAt = [&](int y) { return src.row(std::clamp(y, 0, h - 1)); };
    for (std::size_t i = 0; i < n; ++i) {
        sums[i] = static_cast<std::uint32_t>(radius + 1) * rowAt(0)[i];
    }
    for (int y = 1; y <= radius; ++y) {
        const std::uint8_t* r = rowAt(y);
        for (std::size_t i = 0; i < n; ++i) {
            sums[i] += r[i];
        }
    }
    for (int y = 0; y < h; ++y) {
        std::uint8_t* out = dst.row(y);
        const std::uint8_t* entering = rowAt(y + radius + 1);
        const std::uint8_t* leaving = rowAt(y - radius);
        for (std::size_t i = 0; i < n; ++i) {
            out[i] = boxAverage(sums[i], inverse);
            sums[i] += entering[i];
            sums[i] -= leaving[i];
        }
    }
}

/// Half the size in each direction, every pixel the average of the 2 × 2 it replaces (exact for
/// premultiplied pixels). A quick first step when a large picture is reduced a lot.
QImage halved(const QImage& image) {
    const int w = image.width() / 2;
    const int h = image.height() / 2;
    QImage result(w, h, image.format());
    if (result.isNull()) {
        return image;
    }
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* top = image.constScanLine(2 * y);
        const std::uint8_t* bottom = image.constScanLine(2 * y + 1);
        std::uint8_t* out = result.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* a = top + 8 * x;
            const std::uint8_t* b = bottom + 8 * x;
            for (int c = 0; c < 4; ++c) {
                out[4 * x + c] = static_cast<std::uint8_t>((a[c] + a[c + 4] + b[c] + b[c + 4] + 2) >> 2);
            }
        }
    }
    return result;
}

/// Where a target pixel samples its source: the two neighbours and the weight (of 256) of the
/// second, with pixel centres aligned.
struct Tap {
    int low;
    int high;
    int weight;
};

Tap tap(int i, int targetLength, int sourceLength) {
    const double s = std::clamp((i + 0.5) * sourceLength / targetLength - 0.5, 0.0, sourceLength - 1.0);
    const int low = static_cast<int>(s);
    return {low, std::min(low + 1, sourceLength - 1), static_cast<int>(std::lround((s - low) * 256))};
}

/// Mixes two packed 8-bit-per-channel pixels, `weight` (0...256) of the second, two channels
/// per multiplication.
inline std::uint32_t mix(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
    const std::uint32_t keep = 256 - weight;
    const std::uint32_t redBlue = (((a & 0x00ff00ffu) * keep + (b & 0x00ff00ffu) * weight) >> 8) & 0x00ff00ffu;
    const std::uint32_t alphaGreen =
        (((a >> 8) & 0x00ff00ffu) * keep + ((b >> 8) & 0x00ff00ffu) * weight) & 0xff00ff00u;
    return redBlue | alphaGreen;
}

/// ARGB32 (0xAARRGGBB) as the 32-bit value of RGBA8888 bytes on a little-endian machine
/// (0xAABBGGRR), as on every machine we build for.
inline std::uint32_t swapRedBlue(std::uint32_t p) {
    return (p & 0xff00ff00u) | ((p & 0xffu) << 16) | ((p >> 16) & 0xffu);
}

std::vector<Tap> taps(int first, int count, int placed, int targetLength, int sourceLength) {
    std::vector<Tap> result;
    result.reserve(static_cast<std::size_t>(count));
    for (int i = first; i < first + count; ++i) {
        result.push_back(tap(i - placed, targetLength, sourceLength));
    }
    return result;
}

} // namespace

void drawEnlargedInto(QImage& layer, const QImage& picture, const QRect& placement) {
    if (layer.format() != QImage::Format_RGBA8888_Premultiplied ||
        picture.format() != QImage::Format_ARGB32_Premultiplied) {
        return;
    }
    const QRect visible = placement.intersected(layer.rect());
    if (visible.isEmpty() || picture.isNull()) {
        return;
    }
    const int sw = picture.width();
    const auto columns = taps(visible.left(), visible.width(), placement.left(), placement.width(), sw);
    std::vector<std::uint32_t> mixed(static_cast<std::size_t>(sw));
    for (int y = visible.top(); y <= visible.bottom(); ++y) {
        const Tap row = tap(y - placement.top(), placement.height(), picture.height());
        const auto* upper = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(row.low));
        const auto* lower = reinterpret_cast<const std::uint32_t*>(picture.constScanLine(row.high));
        for (int x = 0; x < sw; ++x) {
            mixed[static_cast<std::size_t>(x)] =
                swapRedBlue(mix(upper[x], lower[x], static_cast<std::uint32_t>(row.weight)));
        }
        auto* out = reinterpret_cast<std::uint32_t*>(layer.scanLine(y)) + visible.left();
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const Tap& column = columns[i];
            out[i] = mix(mixed[static_cast<std::size_t>(column.low)], mixed[static_cast<std::size_t>(column.high)],
                         static_cast<std::uint32_t>(column.weight));
        }
    }
}

QImage enlargedMask(const QImage& mask, QSize size) {
    QImage result(size, QImage::Format_Alpha8);
    if (result.isNull() || mask.format() != QImage::Format_Alpha8 || mask.isNull()) {
        return result;
    }
    const int sw = mask.width();
    const auto columns = taps(0, size.width(), 0, size.width(), sw);
    std::vector<int> mixed(static_cast<std::size_t>(sw));
    for (int y = 0; y < size.height(); ++y) {
        const Tap row = tap(y, size.height(), mask.height());
        const std::uint8_t* upper = mask.constScanLine(row.low);
        const std::uint8_t* lower = mask.constScanLine(row.high);
        for (int x = 0; x < sw; ++x) {
            mixed[static_cast<std::size_t>(x)] = upper[x] * (256 - row.weight) + lower[x] * row.weight;
        }
        std::uint8_t* out = result.scanLine(y);
        for (std::size_t i = 0; i < columns.size(); ++i) {
            const Tap& column = columns[i];
            const int value = mixed[static_cast<std::size_t>(column.low)] * (256 - column.weight) +
                              mixed[static_cast<std::size_t>(column.high)] * column.weight;
            out[i] = static_cast<std::uint8_t>((value + 32768) >> 16);
        }
    }
    return result;
}

void blurInPlace(QImage& image, double sigma) {
    if (image.isNull() || !(sigma > 0.2)) {
        return;
    }
    int channels = 0;
    switch (image.format()) {
    case QImage::Format_ARGB32_Premultiplied:
    case QImage::Format_RGB32:
    case QImage::Format_RGBA8888_Premultiplied:
        channels = 4;
        break;
    case QImage::Format_Alpha8:
    case QImage::Format_Grayscale8:
        channels = 1;
        break;
    default:
        return;
    }
    QImage scratch(image.size(), image.format());
    if (scratch.isNull()) {
        return;
    }
    const Plane a{image.bits(), image.width(), image.height(), image.bytesPerLine(), channels};
    const Plane b{scratch.bits(), scratch.width(), scratch.height(), scratch.bytesPerLine(), channels};
    for (const int radius : boxRadii(sigma)) {
        if (radius <= 0) {
            continue;
        }
        boxHorizontal(a, b, radius);
        boxVertical(b, a, radius);
    }
}

void shiftBrightness(QImage& image, double delta) {
    if (image.format() != QImage::Format_ARGB32_Premultiplied || std::abs(delta) <= 0.001) {
        return;
    }
    const int shift = static_cast<int>(std::lround(std::clamp(delta, -1.0, 1.0) * 255));
    // Opaque pixels (nearly all of a photo) go through one table; others scale the shift by alpha.
    std::array<std::uint8_t, 256> opaque{};
    for (int v = 0; v < 256; ++v) {
        opaque[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(std::clamp(v + shift, 0, 255));
    }
    for (int y = 0; y < image.height(); ++y) {
        auto* pixels = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = pixels[x];
            const int a = qAlpha(p);
            if (a == 255) {
                pixels[x] =
                    qRgba(opaque[static_cast<std::size_t>(qRed(p))], opaque[static_cast<std::size_t>(qGreen(p))],
                          opaque[static_cast<std::size_t>(qBlue(p))], 255);
                continue;
            }
            // Premultiplied: a half-transparent pixel moves by half the shift.
            const int s = shift * a / 255;
            pixels[x] = qRgba(std::clamp(qRed(p) + s, 0, a), std::clamp(qGreen(p) + s, 0, a),
                              std::clamp(qBlue(p) + s, 0, a), a);
        }
    }
}

QImage adjustedBackgroundPicture(const QImage& picture, QSizeF drawnSize, const BackgroundImageAdjustment& adjustment) {
    QImage working = picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (working.isNull() || drawnSize.width() <= 0 || drawnSize.height() <= 0) {
        return working;
    }
    const bool brighten = std::abs(adjustment.brightness - 1) > 0.001;
    const bool blur = adjustment.blurRadius > 0.001;
    if (!brighten && !blur) {
        return working;
    }
    // Canvas pixels per picture pixel, and the blur as it will appear on the canvas.
    const double drawnScale = drawnSize.width() / working.width();
    const double canvasSigma = blur ? adjustment.blurRadius * drawnScale : 0;
    // A blurred picture holds no detail finer than its blur, so it can be processed at a quarter
    // of the blur's size per pixel and scaled up smoothly afterwards without a visible difference.
    const double reduction = std::clamp(canvasSigma / 4, 1.0, 16.0);
    const double targetWidth = std::min<double>(working.width(), drawnSize.width() / reduction);
    const double targetHeight = std::min<double>(working.height(), drawnSize.height() / reduction);
    const QSize target(std::max(1, static_cast<int>(std::ceil(targetWidth))),
                       std::max(1, static_cast<int>(std::ceil(targetHeight))));
    while (working.width() >= 2 * target.width() && working.height() >= 2 * target.height()) {
        working = halved(working);
    }
    if (target != working.size()) {
        working = working.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    if (brighten) {
        shiftBrightness(working, adjustment.brightness - 1);
    }
    if (blur) {
        blurInPlace(working, adjustment.blurRadius * working.width() / picture.width());
    }
    return working;
}

void unpremultiplyInPlace(Image& image) {
    std::uint8_t* p = image.data();
    const std::size_t count = static_cast<std::size_t>(image.width()) * static_cast<std::size_t>(image.height());
    for (std::size_t i = 0; i < count; ++i, p += 4) {
        const unsigned a = p[3];
        if (a == 255) {
            continue;
        }
        if (a == 0) {
            p[0] = p[1] = p[2] = 0;
            continue;
        }
        for (int c = 0; c < 3; ++c) {
            p[c] = static_cast<std::uint8_t>(std::min(255u, (p[c] * 255u + a / 2) / a));
        }
    }
}

} // namespace brisklet
