// Writing a 4K screenshot as PNG: our encoder beside Qt's QImage::save in the same run.
// The image imitates a desktop: flat panels, anti-aliased "text" rows, a photo-like gradient.

#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Qt/QtImageConversion.h"

#include <QBuffer>
#include <QImage>

#include <benchmark/benchmark.h>

#include <random>

namespace {

using brisklet::Image;

Image makeScreenshot(int width, int height) {
    Image image(width, height);
    std::mt19937 random(7);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            std::uint8_t r = 246, g = 246, b = 248; // window background
            if (x < width / 5) {
                r = 38, g = 41, b = 48; // dark sidebar
            } else if (y > height / 2 && x > width / 2) {
                // photo: smooth gradient with grain
                const int grain = static_cast<int>(random() % 9) - 4;
                r = static_cast<std::uint8_t>(std::clamp(x * 255 / width + grain, 0, 255));
                g = static_cast<std::uint8_t>(std::clamp(y * 255 / height + grain, 0, 255));
                b = static_cast<std::uint8_t>(std::clamp(160 + grain, 0, 255));
            } else if ((y / 18) % 2 == 0 && (y % 18) > 4 && (y % 18) < 15 && (x / 7) % 11 != 0) {
                // text rows: glyph-like strokes with soft edges
                const int shade = ((x * 13 + y * 7) % 23 < 9) ? 40 + static_cast<int>(random() % 60) : 230;
                r = g = b = static_cast<std::uint8_t>(shade);
            }
            image.setPixel(x, y, r, g, b, 255);
        }
    }
    return image;
}

const Image& screenshot() {
    static const Image image = makeScreenshot(3840, 2160);
    return image;
}

void BM_BriskletPng(benchmark::State& state) {
    brisklet::LinuxImageCodec codec;
    std::size_t bytes = 0;
    for (auto _ : state) {
        auto encoded = codec.encode(screenshot(), brisklet::ImageFormat::png);
        bytes = encoded.value().size();
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_QtQImageSavePng(benchmark::State& state) {
    // Qt's own screen grabs come as RGB32; saving one of those is the peer's everyday path.
    const QImage qimage = brisklet::toQImage(screenshot()).convertToFormat(QImage::Format_RGB32);
    std::size_t bytes = 0;
    for (auto _ : state) {
        QByteArray data;
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        qimage.save(&buffer, "PNG");
        bytes = static_cast<std::size_t>(data.size());
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

} // namespace

BENCHMARK(BM_BriskletPng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_QtQImageSavePng)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
