// Costs that decide whether recording keeps up and how long an export takes: shrinking a captured
// frame, and encoding frames (palette reduction with dithering plus compression).
#include "Platform/Clock.h"
#include "Platform/Linux/Gif/GiflibGIFEncoder.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"
#include "ZelvorApp/Recording/GIFPerformancePolicy.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

using namespace brisklet;

/// A desktop-like frame: flat panels, a gradient and some high-contrast "text" rows.
Image screenLike(int width, int height, int shift) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const bool text = (y / 14) % 3 == 0 && ((x + shift) / 3) % 4 != 0 && x > width / 4;
            const auto g = static_cast<std::uint8_t>(x * 255 / width);
            if (text) {
                image.setPixel(x, y, 20, 20, 30);
            } else if (x < width / 4) {
                image.setPixel(x, y, 40, 44, 52);
            } else {
                image.setPixel(x, y, g, static_cast<std::uint8_t>(200 - g / 2), 240);
            }
        }
    }
    return image;
}

void BM_DownscaleCapturedFrame(benchmark::State& state) {
    const Image frame = screenLike(2880, 1800, 0); // a full Retina-class capture
    for (auto _ : state) {
        benchmark::DoNotOptimize(GIFPerformancePolicy::downscaledImage(frame, static_cast<int>(state.range(0))));
    }
}
BENCHMARK(BM_DownscaleCapturedFrame)->Arg(960)->Arg(1280)->Arg(1600)->Unit(benchmark::kMillisecond);

void BM_EncodeFrames(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = width * 9 / 16;
    std::vector<CapturedGIFFrame> frames;
    for (int i = 0; i < 20; ++i) {
        frames.push_back({std::make_shared<const Image>(screenLike(width, height, i * 3)), i / 20.0});
    }
    GiflibGIFEncoder encoder;
    SystemClock clock;
    const GIFFileWriter writer(encoder, clock, GIFEncodingQuality::standard);
    const auto file = std::filesystem::temp_directory_path() / "brisklet-bench-gif.gif";
    for (auto _ : state) {
        if (!writer.writeGIFFile(frames, 20, 1.0, file).ok())
            state.SkipWithError("encoding failed");
    }
    std::filesystem::remove(file);
    state.SetItemsProcessed(state.iterations() * static_cast<long long>(frames.size()));
}
BENCHMARK(BM_EncodeFrames)->Arg(640)->Arg(1280)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
