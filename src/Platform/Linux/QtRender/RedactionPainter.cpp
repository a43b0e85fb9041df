#include "Platform/Linux/QtRender/RedactionPainter.h"

#include "Platform/Linux/Qt/QtImageConversion.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace brisklet {

namespace {

constexpr double blurRadius = 12;
constexpr int pixellateScale = 12;

struct PixelRect {
    int x0, y0, x1, y1; ///< half-open
    int width() const { return x1 - x0; }
    int height() const { return y1 - y0; }
};

std::optional<PixelRect> integralInside(const Image& base, const Rect& rect) {
    if (!std::isfinite(rect.minX()) || !std::isfinite(rect.minY()) || !std::isfinite(rect.maxX()) ||
        !std::isfinite(rect.maxY())) {
        return std::nullopt;
    }
    PixelRect r{static_cast<int>(std::max(0.0, std::floor(rect.minX()))),
                static_cast<int>(std::max(0.0, std::floor(rect.minY()))),
                static_cast<int>(std::min<double>(base.width(), std::ceil(rect.maxX()))),
                static_cast<int>(std::min<double>(base.height(), std::ceil(rect.maxY())))};
    if (r.width() <= 0 || r.height() <= 0) {
        return std::nullopt;
    }
    return r;
}

/// Box widths whose three passes approximate a Gaussian of `sigma`.
std::array<int, 3> gaussianBoxes(double sigma) {
    const double ideal = std::sqrt(12 * sigma * sigma / 3 + 1);
    int lower = static_cast<int>(std::floor(ideal));
    if (lower % 2 == 0) {
        --lower;
    }
    const int upper = lower + 2;
    const double m = std::round((12 * sigma * sigma - 3.0 * lower * lower - 12.0 * lower - 9) / (-4.0 * lower - 4));
    std::array<int, 3> sizes{};
    for (int i = 0; i < 3; ++i) {
        sizes[static_cast<std::size_t>(i)] = i < m ? lower : upper;
    }
    return sizes;
}

/// One box pass along a line of `count` samples `stride` apart, with clamped ends.
void boxLine(const float* in, float* out, int count, int stride, int radius) {
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    float sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        sum += in[std::clamp(i, 0, count - 1) * stride];
    }
    for (int i = 0; i < count; ++i) {
        out[i * stride] = sum * scale;
        sum += in[std::min(i + radius + 1, count - 1) * stride] - in[std::max(i - radius, 0) * stride];
    }
}

/// Blurs the patch and a margin around it, reading beyond the image as its edge pixels.
Image blurred(const Image& base, const PixelRect& r) {
    const auto boxes = gaussianBoxes(blurRadius);
    const int margin = static_cast<int>(std::ceil(3 * blurRadius));
    const int w = r.width() + 2 * margin;
    const int h = r.height() + 2 * margin;
    std::vector<float> a(static_cast<std::size_t>(w) * h * 4);
    std::vector<float> b(a.size());
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = base.row(std::clamp(r.y0 - margin + y, 0, base.height() - 1));
        for (int x = 0; x < w; ++x) {
            const std::uint8_t* px =
                row + static_cast<std::size_t>(std::clamp(r.x0 - margin + x, 0, base.width() - 1)) * 4;
            float* out = &a[(static_cast<std::size_t>(y) * w + x) * 4];
            const float alpha = px[3] / 255.0f;
            out[0] = px[0] * alpha;
            out[1] = px[1] * alpha;
            out[2] = px[2] * alpha;
            out[3] = px[3];
        }
    }
    for (const int box : boxes) {
        const int radius = (box - 1) / 2;
        for (int y = 0; y < h; ++y) {
            for (int c = 0; c < 4; ++c) {
                const std::size_t start = static_cast<std::size_t>(y) * w * 4 + c;
                boxLine(&a[start], &b[start], w, 4, radius);
            }
        }
        for (int x = 0; x < w; ++x) {
            for (int c = 0; c < 4; ++c) {
                const std::size_t start = static_cast<std::size_t>(x) * 4 + c;
                boxLine(&b[start], &a[start], h, w * 4, radius);
            }
        }
    }
    Image patch(r.width(), r.height());
    for (int y = 0; y < r.height(); ++y) {
        std::uint8_t* row = patch.row(y);
        for (int x = 0; x < r.width(); ++x) {
            const float* in = &a[(static_cast<std::size_t>(y + margin) * w + x + margin) * 4];
            const float alpha = in[3];
            const float unpremultiply = alpha > 0 ? 255.0f / alpha : 0;
            for (int c = 0; c < 3; ++c) {
                row[x * 4 + c] = static_cast<std::uint8_t>(std::clamp(in[c] * unpremultiply + 0.5f, 0.0f, 255.0f));
            }
            row[x * 4 + 3] = static_cast<std::uint8_t>(std::clamp(alpha + 0.5f, 0.0f, 255.0f));
        }
    }
    return patch;
}

/// Each cell of the grid anchored at the patch centre takes the average of its image pixels.
Image pixellated(const Image& base, const PixelRect& r) {
    const double cx = (r.x0 + r.x1) / 2.0;
    const double cy = (r.y0 + r.y1) / 2.0;
    const auto cellStart = [](int v, double center) {
        return static_cast<int>(std::floor((v - center) / pixellateScale) * pixellateScale + center);
    };
    Image patch(r.width(), r.height());
    for (int cellY = cellStart(r.y0, cy); cellY < r.y1; cellY += pixellateScale) {
        for (int cellX = cellStart(r.x0, cx); cellX < r.x1; cellX += pixellateScale) {
            const int x0 = std::max(0, cellX), x1 = std::min(base.width(), cellX + pixellateScale);
            const int y0 = std::max(0, cellY), y1 = std::min(base.height(), cellY + pixellateScale);
            double sum[4] = {0, 0, 0, 0};
            for (int y = y0; y < y1; ++y) {
                const std::uint8_t* row = base.row(y);
                for (int x = x0; x < x1; ++x) {
                    const std::uint8_t* px = row + static_cast<std::size_t>(x) * 4;
                    const double alpha = px[3];
                    sum[0] += px[0] * alpha;
                    sum[1] += px[1] * alpha;
                    sum[2] += px[2] * alpha;
                    sum[3] += alpha;
                }
            }
            const int count = std::max(1, (x1 - x0) * (y1 - y0));
            std::uint8_t color[4] = {0, 0, 0, 0};
            if (sum[3] > 0) {
                for (int c = 0; c < 3; ++c) {
                    color[c] = static_cast<std::uint8_t>(std::clamp(std::lround(sum[c] / sum[3]), 0L, 255L));
                }
                color[3] = static_cast<std::uint8_t>(std::clamp(std::lround(sum[3] / count), 0L, 255L));
            }
            for (int y = std::max(r.y0, y0); y < std::min(r.y1, y1); ++y) {
                for (int x = std::max(r.x0, x0); x < std::min(r.x1, x1); ++x) {
                    patch.setPixel(x - r.x0, y - r.y0, color[0], color[1], color[2], color[3]);
                }
            }
        }
    }
    return patch;
}

} // namespace

std::optional<RedactionPatch> redactionPatch(const Image& base, const Rect& rect, RedactionMode mode) {
    if (base.isEmpty()) {
        return std::nullopt;
    }
    const auto r = integralInside(base, rect);
    if (!r) {
        return std::nullopt;
    }
    return RedactionPatch{mode == RedactionMode::blur ? blurred(base, *r) : pixellated(base, *r), r->x0, r->y0};
}

void paintRedactionAnnotation(QPainter& painter, const RedactionAnnotation& redaction, const Image& base) {
    const auto patch = redactionPatch(base, redaction.rect, redaction.mode);
    if (!patch) {
        return;
    }
    painter.save();
    // The patch replaces what lies under it (base pixels plus anything drawn before).
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPointF(patch->x, patch->y), toQImage(patch->pixels));
    painter.restore();
}

} // namespace brisklet
