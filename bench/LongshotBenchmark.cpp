// Scrolling capture: the per-frame analysis at common screen sizes and the final composition.

#include "SyntheticPage.h"

#include "Platform/Linux/OpenCV/OpenCVImageRegistration.h"
#include "ZelvorApp/Longshot/LongshotComposer.h"
#include "ZelvorApp/Longshot/LongshotFrameClassifier.h"

#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <utility>

namespace {

using namespace brisklet;
using namespace brisklet::testing_support;

/// A page with a sticky header and footer, seen through a viewport of the given size.
struct ViewedPage {
    Image content;
    Image header;
    Image footer;
    int height;

    ViewedPage(int width, int viewportHeight)
        : content(makeTextPage(width, viewportHeight * 8, 91)),
          header(makeBar(width, viewportHeight / 12, 40, 70, 140, 92)),
          footer(makeBar(width, viewportHeight / 18, 70, 70, 70, 93)), height(viewportHeight) {}

    int visible() const { return height - header.height() - footer.height(); }
    Image frame(int offset) const { return stacked(stacked(header, rowsOf(content, offset, visible())), footer); }
    /// The auto-scroller's normal step for this viewport.
    int step() const { return static_cast<int>(0.55 * height); }
};

const ViewedPage& page(int width, int height) {
    static std::map<std::pair<int, int>, std::unique_ptr<ViewedPage>> pages;
    auto& entry = pages[{width, height}];
    if (!entry) {
        entry = std::make_unique<ViewedPage>(width, height);
    }
    return *entry;
}

LongshotAnalysisOptions autoScrollOptions(int step) {
    LongshotAnalysisOptions options;
    options.allowedPixelDirection = LongshotPixelOverlapMatcher::Direction::forward;
    options.expectedScrollStep = step;
    return options;
}

/// One frame pair from scratch: both frames sampled, bars, registration, matching, check.
void BM_AnalyzePair(benchmark::State& state) {
    const ViewedPage& viewed = page(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const Image previous = viewed.frame(300);
    const Image current = viewed.frame(300 + viewed.step());
    const OpenCVImageRegistration registration;
    const LongshotComposer composer(registration);
    const auto options = autoScrollOptions(viewed.step());
    for (auto _ : state) {
        const auto match = composer.analyze(previous, current, options);
        benchmark::DoNotOptimize(match);
        if (!match.isReliable || match.seamOffset != viewed.step()) {
            state.SkipWithError("the pair was not matched exactly");
            break;
        }
    }
}
BENCHMARK(BM_AnalyzePair)
    ->Args({1440, 900})
    ->Args({2880, 1800})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

/// What the recorder pays per captured frame: the last kept frame's samples are reused.
void BM_ClassifyNextFrame(benchmark::State& state) {
    const ViewedPage& viewed = page(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const auto previous = std::make_shared<const Image>(viewed.frame(300));
    const auto current = std::make_shared<const Image>(viewed.frame(300 + viewed.step()));
    const OpenCVImageRegistration registration;
    const LongshotComposer composer(registration);
    const auto options = autoScrollOptions(viewed.step());
    for (auto _ : state) {
        state.PauseTiming();
        LongshotFrameClassifier classifier(composer);
        classifier.classify(nullptr, previous, options); // the kept frame, sampled once
        state.ResumeTiming();
        const auto analysis = classifier.classify(previous, current, options);
        benchmark::DoNotOptimize(analysis);
    }
}
BENCHMARK(BM_ClassifyNextFrame)
    ->Args({1440, 900})
    ->Args({2880, 1800})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

/// The peer: the image registration alone on the band the analysis hands it (the frames
/// without their bars), which is one of the steps of every analysis.
void BM_RegistrationOnly(benchmark::State& state) {
    const ViewedPage& viewed = page(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    const Image previous = viewed.frame(300);
    const Image current = viewed.frame(300 + viewed.step());
    const OpenCVImageRegistration registration;
    const int top = viewed.header.height();
    const PixelRegion band{0, top, previous.width(), viewed.visible()};
    for (auto _ : state) {
        const auto outcome = registration.translation(previous, current, band);
        benchmark::DoNotOptimize(outcome);
    }
}
BENCHMARK(BM_RegistrationOnly)
    ->Args({1440, 900})
    ->Args({2880, 1800})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

/// Stacking 60 accepted frames into the tall image.
void BM_Compose60Frames(benchmark::State& state) {
    const int width = static_cast<int>(state.range(0));
    const int height = static_cast<int>(state.range(1));
    const ViewedPage& viewed = page(width, height);
    const int step = viewed.visible() / 8; // 60 frames must fit into the page
    std::vector<AcceptedLongshotFrame> frames;
    for (int i = 0; i < 60; ++i) {
        std::optional<LongshotOverlapMatch> match;
        if (i > 0) {
            match = LongshotOverlapMatch{height - step,          step, 1.0, viewed.header.height(),
                                         viewed.footer.height(), 0,    0,   true};
        }
        frames.push_back({std::make_shared<const Image>(viewed.frame(i * step)), match});
    }
    for (auto _ : state) {
        const auto image = LongshotComposer::compose(frames, LongshotCropOptions::automatic());
        benchmark::DoNotOptimize(image);
    }
}
BENCHMARK(BM_Compose60Frames)
    ->Args({1440, 900})
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
