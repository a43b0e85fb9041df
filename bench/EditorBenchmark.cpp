// The editor's two hot paths: flattening a 4K screenshot with 50 annotations (every export and
// copy waits for it) and hit-testing a crowded document (every mouse-down and hover asks).

#include "EditorBenchmarkAnnotations.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "SyntheticScreenshot.h"
#include "ZelvorApp/Editor/AnnotationDocument.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

using namespace brisklet;

const Image& screenshot() {
    static const Image image = bench::syntheticScreenshot(3840, 2160);
    return image;
}

void BM_Flatten4KWith50Annotations(benchmark::State& state) {
    const QtAnnotationRenderer renderer;
    const auto items = bench::fiftyAnnotations();
    const AnnotationRenderOptions options{state.range(0) != 0};
    for (auto _ : state) {
        auto result = renderer.flatten(screenshot(), items, options);
        benchmark::DoNotOptimize(result.value().data());
    }
}
BENCHMARK(BM_Flatten4KWith50Annotations)
    ->ArgName("enhanced")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void BM_HitTest1000Annotations(benchmark::State& state) {
    const QtAnnotationRenderer renderer;
    const TextLayoutCache layout(renderer);
    AnnotationDocument document(layout);
    bench::AnnotationScatter s(3);
    for (int i = 0; i < 1000; ++i) {
        document.appendAnnotation(bench::scatteredAnnotation(i, s));
    }
    std::vector<Point> queries;
    for (int i = 0; i < 4096; ++i) {
        queries.push_back(s.point());
    }
    std::size_t next = 0;
    std::size_t hits = 0;
    const AnnotationHitParameters parameters{0.5, false};
    for (auto _ : state) {
        const auto hit = document.annotationHit(queries[next++ & 4095], parameters);
        hits += hit ? 1 : 0;
        benchmark::DoNotOptimize(hit);
    }
    state.counters["hitRate"] = static_cast<double>(hits) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HitTest1000Annotations)->Unit(benchmark::kMicrosecond)->Repetitions(5)->ReportAggregatesOnly(true);

} // namespace

// Fonts need a QGuiApplication; the offscreen platform gives one without a display.
int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }
    QGuiApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
