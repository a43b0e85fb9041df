#include "Platform/Fake/FakeBackgroundRenderer.h"
#include "Platform/Fake/FakeGIFEncoder.h"
#include "Platform/Fake/ManualClock.h"
#include "ZelvorApp/Background/GIFBackgroundRenderer.h"
#include "ZelvorApp/Recording/GIFAnnotationFrameRenderer.h"
#include "ZelvorApp/Recording/GIFExportFrameRenderer.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

/// Marks the frame's top-left pixel pure green for every active annotation, and remembers the
/// size of the frames it was given (so the order of annotation and background shows).
class MarkingAnnotationRenderer final : public GIFAnnotationFrameRenderer {
public:
    Image render(const Image& frame, const std::vector<GIFPrototypeAnnotation>& annotations, Size) const override {
        ++calls;
        lastFrameWidth = frame.width();
        Image marked = frame;
        marked.setPixel(0, 0, 0, 255, 0);
        marked.setPixel(1, 0, static_cast<std::uint8_t>(annotations.size()), 255, 0);
        return marked;
    }
    mutable int calls = 0;
    mutable int lastFrameWidth = 0;
};

std::shared_ptr<const Image> solid(std::uint8_t red, int w = 8, int h = 6) {
    Image image(w, h);
    image.fill(red, 0, 0);
    return std::make_shared<const Image>(std::move(image));
}

/// One rectangle drawn at 0.25 s and undone at 0.55 s.
GIFAnnotationExportPlan planWithOneRectangle() {
    const GIFPrototypeAnnotation rectangle{Uuid::generate(),
                                           GIFPrototypeRectangleAnnotation{Rect{{0, 0}, {4, 4}}, {}, 4, true}};
    GIFAnnotationTimeline timeline;
    timeline.events = {GIFAnnotationAdded{0.25, rectangle}, GIFAnnotationDeactivated{0.55, rectangle.id}};
    return GIFAnnotationExportPlan{timeline, Size{8, 6}};
}

BackgroundComposition presetComposition(Size contentSize) {
    return *GIFBackgroundChoice::preset("ocean-glass").composition(contentSize);
}

TEST(GIFExportFrameRendererTest, AnnotationsAreDrawnBeforeTheBackground) {
    const MarkingAnnotationRenderer annotations;
    const FakeBackgroundRenderer background;
    const auto composition = presetComposition({8, 6});
    GIFExportFrameRenderer renderer(planWithOneRectangle(), &annotations, composition, &background);
    EXPECT_FALSE(renderer.drawsNothing());

    const auto drawn = renderer.render(*solid(200), 0.3);
    ASSERT_TRUE(drawn) << drawn.error();
    EXPECT_EQ(annotations.lastFrameWidth, 8) << "annotations see the recorded frame, not the canvas";
    const BackgroundLayout layout = BackgroundLayout::make({8, 6}, composition);
    EXPECT_EQ(drawn.value().width(), static_cast<int>(layout.canvasSize.width));
    const int x = static_cast<int>(layout.contentRect.minX());
    const int y = static_cast<int>(layout.contentRect.minY());
    const std::uint8_t* mark = drawn.value().row(y) + x * 4;
    EXPECT_EQ(mark[0], 0);
    EXPECT_EQ(mark[1], 255) << "the annotation's mark lands at the content offset";
    EXPECT_EQ(drawn.value().row(y)[(x + 2) * 4], 200) << "the rest of the frame is the recording";
    EXPECT_EQ(drawn.value().row(0)[0], 60) << "the canvas outside is the background";

    // Before the rectangle was drawn nothing is marked, but the background is still there.
    const auto early = renderer.render(*solid(200), 0.1);
    ASSERT_TRUE(early);
    EXPECT_EQ(early.value().row(y)[x * 4], 200);
    EXPECT_EQ(annotations.calls, 1);
}

TEST(GIFExportFrameRendererTest, WithoutABackgroundOnlyAnnotationsAreDrawnAndWithoutEitherNothing) {
    const MarkingAnnotationRenderer annotations;
    GIFExportFrameRenderer annotatedOnly(planWithOneRectangle(), &annotations, std::nullopt, nullptr);
    const auto drawn = annotatedOnly.render(*solid(200), 0.4);
    ASSERT_TRUE(drawn);
    EXPECT_EQ(drawn.value().width(), 8);
    EXPECT_EQ(drawn.value().row(0)[1], 255);
    EXPECT_EQ(annotatedOnly.contextsMade(), 0);

    // A plan without a renderer to draw it, and no background: frames go through untouched.
    EXPECT_TRUE(GIFExportFrameRenderer(planWithOneRectangle(), nullptr, std::nullopt, nullptr).drawsNothing());
    EXPECT_FALSE(GIFExportFrameRenderer::writerRenderer(
        GIFExportFrameRenderer(planWithOneRectangle(), nullptr, std::nullopt, nullptr)));
}

TEST(GIFExportFrameRendererTest, OneBackgroundContextServesTheWholeExport) {
    FakeGIFEncoder encoder;
    ManualClock clock;
    const GIFFileWriter writer(encoder, clock, GIFEncodingQuality::standard);
    const FakeBackgroundRenderer background;
    const MarkingAnnotationRenderer annotations;
    const auto composition = presetComposition({8, 6});
    std::vector<CapturedGIFFrame> frames;
    for (int i = 0; i < 10; ++i)
        frames.push_back({solid(static_cast<std::uint8_t>(i * 20)), i * 0.1});

    const auto status = writer.writeGIFFile(frames, 10, 1.0, "/tmp/unused.gif", {}, {},
                                            GIFExportFrameRenderer::writerRenderer(GIFExportFrameRenderer(
                                                planWithOneRectangle(), &annotations, composition, &background)));
    ASSERT_TRUE(status.ok()) << status.error().detail;
    EXPECT_EQ(background.backgrounds, 1);
    EXPECT_EQ(background.stages, 1);
    EXPECT_EQ(background.frames, 10);
    const auto& written = encoder.written();
    const BackgroundLayout layout = BackgroundLayout::make({8, 6}, composition);
    EXPECT_EQ(written.width, static_cast<int>(layout.canvasSize.width));
    EXPECT_EQ(written.height, static_cast<int>(layout.canvasSize.height));
    ASSERT_EQ(written.frames.size(), 10u);
    const int x = static_cast<int>(layout.contentRect.minX());
    const int y = static_cast<int>(layout.contentRect.minY());
    std::vector<bool> marked;
    for (const auto& frame : written.frames)
        marked.push_back(frame.row(y)[x * 4 + 1] == 255);
    EXPECT_EQ(marked, (std::vector<bool>{false, false, false, true, true, true, false, false, false, false}));
    EXPECT_EQ(written.frames[7].row(y)[(x + 3) * 4], 140) << "each slot shows its own recorded frame";
}

TEST(GIFExportFrameRendererTest, APostProcessedExportIsTrimmedAnnotatedAndOnItsBackground) {
    FakeGIFEncoder encoder;
    ManualClock clock;
    const GIFFileWriter writer(encoder, clock, GIFEncodingQuality::standard);
    const FakeBackgroundRenderer background;
    const MarkingAnnotationRenderer annotations;
    GIFRecordingDraft draft;
    for (int i = 0; i < 10; ++i)
        draft.frames.push_back({solid(static_cast<std::uint8_t>(i * 20)), i * 0.1});
    draft.fps = 10;
    draft.recordingDuration = 1.0;
    draft.annotationExportPlan = planWithOneRectangle();
    GIFPostProcessingOptions options;
    options.segments = {GIFTrimSegment{Uuid::generate(), 0.3, 0.6}};
    options.backgroundComposition = presetComposition({8, 6});

    const auto status = GIFExportFrameRenderer::writePostProcessed(writer, draft, options, "/tmp/unused.gif", {},
                                                                   &annotations, &background);
    ASSERT_TRUE(status.ok()) << status.error().detail;
    const auto& written = encoder.written();
    const BackgroundLayout layout = BackgroundLayout::make({8, 6}, *options.backgroundComposition);
    EXPECT_EQ(written.width, static_cast<int>(layout.canvasSize.width)) << "the background was not dropped";
    EXPECT_EQ(written.frames.size(), 4u) << "slots 0.3, 0.4, 0.5 and 0.6";
    const int x = static_cast<int>(layout.contentRect.minX());
    const int y = static_cast<int>(layout.contentRect.minY());
    EXPECT_EQ(written.frames.front().row(y)[x * 4 + 1], 255) << "annotated at 0.3";
}

TEST(GIFExportFrameRendererTest, ABackgroundThatCannotBeDrawnFailsTheExportBeforeAnythingIsWritten) {
    FakeGIFEncoder encoder;
    ManualClock clock;
    const GIFFileWriter writer(encoder, clock, GIFEncodingQuality::standard);
    FakeBackgroundRenderer background;
    background.failure = BackgroundRenderError::renderFailed;
    const auto failed = writer.writeGIFFile({{solid(1), 0}}, 10, 0.5, "/tmp/unused.gif", {}, {},
                                            GIFExportFrameRenderer::writerRenderer(GIFExportFrameRenderer(
                                                std::nullopt, nullptr, presetComposition({8, 6}), &background)));
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().error, GIFRecorderError::exportFailed);
    EXPECT_NE(failed.error().detail.find("renderFailed"), std::string::npos) << failed.error().detail;
    EXPECT_EQ(encoder.beginCount(), 0) << "no file is started for a background that cannot be drawn";
    EXPECT_EQ(background.stages, 0);

    // A background asked for without anything to draw it with is a failure too, not a plain GIF.
    GIFExportFrameRenderer unrenderable(std::nullopt, nullptr, presetComposition({8, 6}), nullptr);
    EXPECT_FALSE(unrenderable.drawsNothing());
    EXPECT_FALSE(unrenderable.render(*solid(1), 0));
}

TEST(GIFPrototypeColorTest, PresetsAreTheEditorsFixedColoursInOrder) {
    constexpr auto presets = GIFPrototypeColor::presets();
    ASSERT_EQ(presets.size(), 5u);
    EXPECT_EQ(presets[0], (GIFPrototypeColor{1.0, 0.231, 0.188, 1}));  // red
    EXPECT_EQ(presets[1], (GIFPrototypeColor{1.0, 0.8, 0.0, 1}));      // yellow
    EXPECT_EQ(presets[2], (GIFPrototypeColor{0.204, 0.78, 0.349, 1})); // green
    EXPECT_EQ(presets[3], (GIFPrototypeColor{0.039, 0.518, 1.0, 1}));  // blue
    EXPECT_EQ(presets[4], (GIFPrototypeColor{1, 1, 1, 1}));            // white
}

} // namespace
} // namespace brisklet
