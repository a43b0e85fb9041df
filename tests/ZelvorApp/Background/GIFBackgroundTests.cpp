#include "Platform/Fake/FakeBackgroundRenderer.h"
#include "ZelvorApp/Background/GIFBackgroundRenderer.h"
#include "ZelvorApp/Background/GIFRenderContext.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

Image frame(int width, int height, std::uint8_t shade) {
    Image image(width, height);
    image.fill(shade, 255 - shade, 128);
    return image;
}

BackgroundComposition onPreset(double padding = 40) {
    BackgroundComposition c;
    c.aspectPreset = {CanvasAspectPreset::Kind::automatic};
    c.padding = padding;
    return c;
}

TEST(GIFRenderContext, TheBackgroundIsDrawnOncePerExport) {
    FakeBackgroundRenderer renderer;
    const auto context = GIFRenderContext::make({120, 80}, onPreset(), renderer);
    ASSERT_TRUE(context);
    EXPECT_EQ(context.value().canvasSize(), (Size{200, 160}));
    EXPECT_EQ(context.value().layout(), BackgroundLayout::make({120, 80}, onPreset()));
    EXPECT_EQ(context.value().baseImage().width(), 200);
    EXPECT_EQ(context.value().baseImage().row(0)[0], 40) << "the base is the background alone";

    for (int i = 0; i < 30; ++i) {
        const auto rendered = context.value().render(frame(120, 80, static_cast<std::uint8_t>(i * 8)));
        ASSERT_TRUE(rendered);
        EXPECT_EQ(rendered.value().width(), 200);
        EXPECT_EQ(rendered.value().row(40)[40 * 4], i * 8) << "the frame sits in the content rectangle";
        EXPECT_EQ(rendered.value().row(0)[0], 60) << "frames are drawn on the stage, not the bare base";
    }
    EXPECT_EQ(renderer.backgrounds, 1);
    EXPECT_EQ(renderer.stages, 1);
    EXPECT_EQ(renderer.frames, 30);
    EXPECT_EQ(context.value().render(Image()).error(), BackgroundRenderError::emptyContent);
}

TEST(GIFRenderContext, FailsWhenTheBackgroundCannotBeRendered) {
    FakeBackgroundRenderer renderer;
    renderer.failure = BackgroundRenderError::renderFailed;
    const auto failed = GIFRenderContext::make({120, 80}, onPreset(), renderer);
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error(), BackgroundRenderError::renderFailed);
    EXPECT_EQ(renderer.stages, 0);

    FakeBackgroundRenderer working;
    EXPECT_EQ(GIFRenderContext::make({0, 80}, onPreset(), working).error(), BackgroundRenderError::emptyContent);
    EXPECT_EQ(GIFRenderContext::make({120, 80}, onPreset(1e6), working).error(), BackgroundRenderError::canvasTooLarge)
        << "an absurd padding is refused before any memory is taken";
    EXPECT_EQ(working.backgrounds, 0);
}

TEST(GIFBackgroundRenderer, OneFrameWithoutAContextAndTheBaseAlone) {
    FakeBackgroundRenderer renderer;
    const auto one = GIFBackgroundRenderer::render(frame(50, 30, 200), onPreset(10), renderer);
    ASSERT_TRUE(one);
    EXPECT_EQ(one.value().width(), 70);
    EXPECT_EQ(one.value().height(), 50);
    EXPECT_EQ(GIFBackgroundRenderer::render(Image(), onPreset(), renderer).error(),
              BackgroundRenderError::emptyContent);

    const auto base = GIFBackgroundRenderer::makeBackgroundBase({300, 200}, onPreset(), renderer);
    ASSERT_TRUE(base);
    EXPECT_EQ(base.value().width(), 300);
    EXPECT_EQ(GIFBackgroundRenderer::makeBackgroundBase({1e6, 1e6}, onPreset(), renderer).error(),
              BackgroundRenderError::canvasTooLarge);
}

TEST(GIFBackgroundChoice, APresetGetsTheBalancedLayoutWithRoomToBreathe) {
    EXPECT_FALSE(GIFBackgroundChoice::none().composition({640, 480}));

    const auto small = GIFBackgroundChoice::preset("sunset-bloom").composition({200, 100});
    ASSERT_TRUE(small);
    EXPECT_EQ(small->source, (BackgroundSource{BackgroundSource::Preset{"sunset-bloom"}}));
    EXPECT_EQ(small->padding, 76) << "the balanced 24 raised to 76";
    EXPECT_EQ(small->aspectPreset.kind, CanvasAspectPreset::Kind::landscape);
    EXPECT_EQ(small->shadowStrength, 66) << "a recording is laid out like a region capture";

    const auto large = GIFBackgroundChoice::preset("dark-moon").composition({2000, 1600});
    EXPECT_EQ(large->padding, 160) << "a larger balanced padding stays";
}

} // namespace
} // namespace brisklet
