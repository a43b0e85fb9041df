// The editor's two hot paths: flattening a 4K screenshot with 50 annotations (every export and
// copy waits for it) and hit-testing a crowded document (every mouse-down and hover asks).

#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "SyntheticScreenshot.h"
#include "ZelvorApp/Editor/AnnotationDocument.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"

#include <QGuiApplication>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <random>

namespace {

using namespace brisklet;

const Image& screenshot() {
    static const Image image = bench::syntheticScreenshot(3840, 2160);
    return image;
}

class Scatter {
public:
    explicit Scatter(unsigned seed) : random_(seed) {}
    double between(double low, double high) { return std::uniform_real_distribution<double>(low, high)(random_); }
    Point point() { return {between(0, 3840), between(0, 2160)}; }
    StoredColor color() {
        static const StoredColor palette[] = {{1, 0.231, 0.188, 1}, {1, 0.8, 0, 1}, {0.039, 0.518, 1, 1}};
        return palette[static_cast<int>(between(0, 2.999))];
    }
    std::vector<Point> squiggle(Point start, int count) {
        std::vector<Point> points{start};
        for (int i = 1; i < count; ++i) {
            points.push_back({points.back().x + between(2, 8), points.back().y + between(-6, 6)});
        }
        return points;
    }

private:
    std::mt19937 random_;
};

/// Every kind, in the mix a busy annotated screenshot has.
AnnotationItem makeItem(int i, Scatter& s) {
    const Point p = s.point();
    const Uuid id = Uuid::generate();
    switch (i % 7) {
    case 0:
        return RectangleAnnotation{id,
                                   {p, {s.between(60, 400), s.between(40, 300)}},
                                   i % 3 == 0 ? ShapeKind::ellipse : ShapeKind::rectangle,
                                   i % 4 == 0 ? ShapeFillMode::fill : ShapeFillMode::stroke,
                                   s.color(),
                                   s.between(2, 8)};
    case 1:
        return ArrowAnnotation{id,
                               p,
                               {p.x + s.between(-300, 300), p.y + s.between(-200, 200)},
                               i % 2 ? ArrowStyle::brush : ArrowStyle::geometric,
                               s.color(),
                               s.between(3, 8)};
    case 2:
        return LineAnnotation{id, p, {p.x + s.between(-300, 300), p.y + s.between(-200, 200)}, s.color(), 4};
    case 3:
        return StrokeAnnotation{id, s.squiggle(p, 60), i % 5 == 0 ? StrokeMode::highlighter : StrokeMode::brush,
                                s.color(), 6};
    case 4:
        return TextAnnotation{id,
                              p,
                              i % 2 ? "Check this value" : "Wrapped note about\nthe chart",
                              s.color(),
                              i % 2 ? 24.0 : 36.0,
                              i % 3 == 0 ? std::optional(180.0) : std::nullopt,
                              i % 4 == 0 ? 0.4 : 0};
    case 5:
        return NumberAnnotation{id, p, i, s.color(), 28};
    default:
        return RedactionAnnotation{
            id, {p, {s.between(40, 160), s.between(20, 60)}}, i % 2 ? RedactionMode::blur : RedactionMode::mosaic};
    }
}

std::vector<AnnotationItem> fiftyAnnotations() {
    Scatter s(11);
    std::vector<AnnotationItem> items;
    for (int i = 0; i < 48; ++i) {
        items.push_back(makeItem(i, s));
    }
    // Two large redactions: the blur is the most expensive thing an export draws.
    items.push_back(RedactionAnnotation{Uuid::generate(), {{900, 400}, {420, 220}}, RedactionMode::blur});
    items.push_back(RedactionAnnotation{Uuid::generate(), {{2200, 1500}, {420, 220}}, RedactionMode::mosaic});
    return items;
}

void BM_Flatten4KWith50Annotations(benchmark::State& state) {
    const QtAnnotationRenderer renderer;
    const auto items = fiftyAnnotations();
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
    Scatter s(3);
    for (int i = 0; i < 1000; ++i) {
        document.appendAnnotation(makeItem(i, s));
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
