// The background's two hot paths: composing a large screenshot on the blurred desktop wallpaper
// (every save, copy and preview of the editor with a wallpaper background waits for it) and
// putting every frame of a GIF on its background (once per frame of every export).

#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "SyntheticScreenshot.h"
#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/GIFBackgroundRenderer.h"
#include "ZelvorApp/Background/GIFRenderContext.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sys/resource.h>
#include <unistd.h>

namespace {

using namespace brisklet;
namespace fs = std::filesystem;

bool wallpaperWritten = false;

/// A 4K photo-like wallpaper (soft colour fields with fine grain), saved as JPEG like most are.
const fs::path& wallpaperFile() {
    static const fs::path file = [] {
        Image image(3840, 2160);
        for (int y = 0; y < 2160; ++y) {
            for (int x = 0; x < 3840; ++x) {
                const double u = x / 3840.0;
                const double v = y / 2160.0;
                const int grain = static_cast<int>((x * 7919 + y * 104729) % 17) - 8;
                const auto channel = [grain](double value) {
                    return static_cast<std::uint8_t>(std::clamp(value * 255 + grain, 0.0, 255.0));
                };
                image.setPixel(x, y, channel(0.2 + 0.6 * u * v), channel(0.35 + 0.4 * std::sin(6 * u + 3 * v) * 0.5),
                               channel(0.8 - 0.5 * v));
            }
        }
        const fs::path path =
            fs::temp_directory_path() / ("brisklet-bench-wallpaper-" + std::to_string(getpid()) + ".jpg");
        LinuxImageCodec().writeFile(image, path, ImageFormat::jpeg, 0.9);
        wallpaperWritten = true;
        return path;
    }();
    return file;
}

const Image& screenshot() {
    static const Image image = bench::syntheticScreenshot(2560, 1600);
    return image;
}

/// The wallpaper look of a window capture: the desktop picture, dimmed and blurred.
BackgroundComposition wallpaperComposition(double blurRadius) {
    BackgroundComposition c = BackgroundLayout::compositionByApplying(
        WindowPresentationMode::wallpaper,
        BackgroundLayout::balancedComposition({}, {2560, 1600}, BackgroundCaptureContext::window));
    c.imageAdjustment.blurRadius = blurRadius;
    return c;
}

/// CPU time of the whole process (Qt spreads some image work over worker threads, which the
/// benchmark's own CPU column, the calling thread's, does not see).
double processCpuMs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval& t) { return t.tv_sec * 1000.0 + t.tv_usec / 1000.0; };
    return ms(usage.ru_utime) + ms(usage.ru_stime);
}

/// Reports the process CPU per iteration of the measured loop.
class ProcessCpuCounter {
public:
    explicit ProcessCpuCounter(benchmark::State& state) : state_(state), start_(processCpuMs()) {}
    ~ProcessCpuCounter() {
        state_.counters["processCpuMs"] = benchmark::Counter(
            (processCpuMs() - start_) / static_cast<double>(std::max<std::int64_t>(state_.iterations(), 1)));
    }

private:
    benchmark::State& state_;
    double start_;
};

DesktopPictureLookup wallpaperLookup() {
    return [] { return std::optional<fs::path>(wallpaperFile()); };
}

/// Everything from scratch: the wallpaper is decoded, adjusted and the picture composed.
void BM_ComposeOnWallpaperCold(benchmark::State& state) {
    const auto composition = wallpaperComposition(8);
    wallpaperFile();
    const ProcessCpuCounter cpu(state);
    for (auto _ : state) {
        const BackgroundQtRenderer renderer(wallpaperLookup());
        auto composed = renderer.compose(screenshot(), composition, BackgroundCaptureContext::window);
        benchmark::DoNotOptimize(composed);
    }
}
BENCHMARK(BM_ComposeOnWallpaperCold)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

/// The wallpaper is decoded already but blurred anew each time (the user drags the blur slider).
void BM_ComposeOnWallpaperWithBlur(benchmark::State& state) {
    const BackgroundQtRenderer renderer(wallpaperLookup());
    (void)renderer.compose(screenshot(), wallpaperComposition(8), BackgroundCaptureContext::window);
    double blur = 8;
    const ProcessCpuCounter cpu(state);
    for (auto _ : state) {
        blur = blur >= 12 ? 8 : blur + 0.25;
        auto composed = renderer.compose(screenshot(), wallpaperComposition(blur), BackgroundCaptureContext::window);
        benchmark::DoNotOptimize(composed);
    }
}
BENCHMARK(BM_ComposeOnWallpaperWithBlur)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

/// Nothing about the background changed (padding, position or the screenshot did).
void BM_ComposeOnWallpaperWarm(benchmark::State& state) {
    const BackgroundQtRenderer renderer(wallpaperLookup());
    const auto composition = wallpaperComposition(8);
    (void)renderer.compose(screenshot(), composition, BackgroundCaptureContext::window);
    const ProcessCpuCounter cpu(state);
    for (auto _ : state) {
        auto composed = renderer.compose(screenshot(), composition, BackgroundCaptureContext::window);
        benchmark::DoNotOptimize(composed);
    }
}
BENCHMARK(BM_ComposeOnWallpaperWarm)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

/// A 300-frame GIF export of 800×500 frames on a preset: one context, then every frame.
void BM_GIFBackgroundPass300Frames(benchmark::State& state) {
    const BackgroundQtRenderer renderer;
    const auto composition = GIFBackgroundChoice::preset("ocean-glass").composition({800, 500});
    std::vector<Image> frames;
    for (int i = 0; i < 4; ++i) {
        frames.push_back(bench::syntheticScreenshot(800, 500));
        frames.back().setPixel(i, i, 255, 0, 0);
    }
    const ProcessCpuCounter cpu(state);
    for (auto _ : state) {
        const auto context = GIFRenderContext::make({800, 500}, *composition, renderer);
        for (int frame = 0; frame < 300; ++frame) {
            auto composed = context.value().render(frames[static_cast<std::size_t>(frame) % frames.size()]);
            benchmark::DoNotOptimize(composed);
        }
    }
    state.SetItemsProcessed(state.iterations() * 300); // frames per second
}
BENCHMARK(BM_GIFBackgroundPass300Frames)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

} // namespace

// Painting needs a QGuiApplication; the offscreen platform gives one without a display.
int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (wallpaperWritten) {
        std::error_code ignored;
        fs::remove(wallpaperFile(), ignored);
    }
    return 0;
}
