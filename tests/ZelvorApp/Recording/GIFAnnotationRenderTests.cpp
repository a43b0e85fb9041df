#include "Platform/Fake/FakeGIFEncoder.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Linux/QtRender/GIFQtAnnotationFrameRenderer.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Recording/GIFAnnotationPrototypeSession.h"
#include "ZelvorApp/Recording/GIFPostProcessingModel.h"
#include "ZelvorApp/Recording/GIFPostProcessor.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

Image white(int w, int h) {
    Image image(w, h);
    image.fill(255, 255, 255);
    return image;
}

const std::uint8_t* pixel(const Image& image, int x, int y) {
    return image.row(y) + static_cast<std::size_t>(x) * 4;
}

TEST(GIFQtAnnotationFrameRendererTest, DrawsScaledShapesAndLeavesTheRestAlone) {
    const GIFQtAnnotationFrameRenderer renderer;
    const GIFPrototypeColor red{1, 0, 0, 1};
    // A 100 × 50 point canvas recorded at 2 pixels per point.
    const std::vector<GIFPrototypeAnnotation> annotations{
        {Uuid::generate(), GIFPrototypeRectangleAnnotation{Rect{{10, 10}, {20, 10}}, red, 4, true}},
        {Uuid::generate(), GIFPrototypeLineAnnotation{{60, 40}, {90, 40}, red, 4}},
    };
    const Image out = renderer.render(white(200, 100), annotations, Size{100, 50});
    ASSERT_EQ(out.width(), 200);
    const auto* filled = pixel(out, 40, 30); // inside the rectangle (20…60, 20…40 px)
    EXPECT_GT(filled[0], 240);
    EXPECT_LT(filled[1], 20);
    const auto* onLine = pixel(out, 150, 80);
    EXPECT_LT(onLine[1], 60);
    const auto* untouched = pixel(out, 150, 20);
    EXPECT_EQ(untouched[1], 255);
}

TEST(GIFQtAnnotationFrameRendererTest, MosaicRedactionCoarsensOnlyTheCoveredPixels) {
    Image checker(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t v = ((x + y) % 2) ? 255 : 0;
            checker.setPixel(x, y, v, v, v);
        }
    const GIFQtAnnotationFrameRenderer renderer;
    const Image out = renderer.render(
        checker,
        {{Uuid::generate(), GIFPrototypeRedactionAnnotation{Rect{{0, 0}, {32, 32}}, GIFRedactionMode::mosaic}}},
        Size{64, 64});
    // Inside: neighbouring pixels of a block are equal and mid grey; outside: the checkerboard.
    EXPECT_EQ(pixel(out, 5, 5)[0], pixel(out, 6, 5)[0]);
    EXPECT_NEAR(pixel(out, 5, 5)[0], 128, 40);
    EXPECT_EQ(pixel(out, 40, 40)[0], checker.row(40)[40 * 4]);
    EXPECT_NE(pixel(out, 40, 40)[0], pixel(out, 41, 40)[0]);
}

TEST(GIFQtAnnotationFrameRendererTest, ExportedFramesShowTheAnnotationsActiveAtTheirTime) {
    double now = 0;
    GIFAnnotationPrototypeSession session([&] { return now; });
    now = 0.25;
    session.commit({Uuid::generate(), GIFPrototypeRectangleAnnotation{Rect{{0, 0}, {10, 10}}, {0, 0, 1, 1}, 4, true}});
    now = 0.55;
    session.undo();

    FakeGIFEncoder encoder;
    ManualClock clock;
    const GIFQtAnnotationFrameRenderer renderer;
    const GIFFileWriter writer(encoder, clock, GIFEncodingQuality::standard);
    const auto frame = std::make_shared<const Image>(white(10, 10));
    ASSERT_TRUE(writer
                    .writeGIFFile({{frame, 0}}, 10, 0.8, "/tmp/unused.gif", {}, {},
                                  makeAnnotationFrameRenderer(session.exportPlan(Size{10, 10}), renderer))
                    .ok());
    const auto& frames = encoder.written().frames;
    ASSERT_EQ(frames.size(), 8u);
    std::vector<bool> blue;
    for (const auto& f : frames)
        blue.push_back(pixel(f, 5, 5)[0] < 50);
    EXPECT_EQ(blue, (std::vector<bool>{false, false, false, true, true, true, false, false}));
}

TEST(GIFQtAnnotationFrameRendererTest, TrimmedExportsAndPreviewsDrawTheSameAnnotations) {
    double now = 0;
    GIFAnnotationPrototypeSession session([&] { return now; });
    now = 0.45;
    session.commit({Uuid::generate(), GIFPrototypeRectangleAnnotation{Rect{{0, 0}, {10, 10}}, {0, 0, 1, 1}, 4, true}});
    const auto plan = session.exportPlan(Size{10, 10});
    const auto frame = std::make_shared<const Image>(white(10, 10));
    const GIFQtAnnotationFrameRenderer renderer;

    FakeGIFEncoder encoder;
    ManualClock clock;
    const GIFFileWriter writer(encoder, clock, GIFEncodingQuality::standard);
    GIFPostProcessingOptions options;
    options.segments = {GIFTrimSegment{Uuid::generate(), 0.3, 0.6}};
    ASSERT_TRUE(writer
                    .writeGIFFile({{frame, 0}}, 10, 1.0, "/tmp/unused.gif", {}, GIFPostProcessor::planner(options),
                                  makeAnnotationFrameRenderer(plan, renderer))
                    .ok());
    const auto& frames = encoder.written().frames;
    ASSERT_EQ(frames.size(), 4u); // 0.3, 0.4, 0.5, 0.6
    EXPECT_EQ(pixel(frames[1], 5, 5)[0], 255);
    EXPECT_LT(pixel(frames[2], 5, 5)[0], 50);

    ManualMainQueue mainQueue(clock);
    LocalizationStore localization([] { return std::vector<std::string>{"en"}; });
    GIFPostProcessingModel model(GIFRecordingDraft{{{frame, 0}}, 10, 1.0, plan, "/tmp", false}, mainQueue,
                                 localization);
    model.setPlayheadTime(0.2);
    EXPECT_EQ(pixel(model.renderedPreviewImage(&renderer, nullptr), 5, 5)[0], 255);
    model.setPlayheadTime(0.5);
    EXPECT_LT(pixel(model.renderedPreviewImage(&renderer, nullptr), 5, 5)[0], 50);
    EXPECT_EQ(model.renderedPreviewImage(nullptr, nullptr), *frame);
}

} // namespace
} // namespace brisklet
