#include "Platform/Fake/FakeBackgroundRenderer.h"
#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Editor/EditorBackgroundComposer.h"

#include <array>
#include <gtest/gtest.h>

namespace brisklet {
namespace {

Image markedScreenshot() {
    Image image(80, 60);
    image.fill(200, 10, 10);
    image.setPixel(0, 0, 1, 2, 3, 255);
    return image;
}

TEST(EditorBackgroundComposer, FollowsTheBackgroundTheEditorShowsWhenItRuns) {
    FakeBackgroundRenderer renderer;
    std::optional<BackgroundComposition> current;
    const EditorBackgroundComposer composer([&] { return current; }, BackgroundCaptureContext::region, renderer);
    const auto hook = composer.hook();
    const Image screenshot = markedScreenshot();

    auto plain = hook(screenshot);
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain.value(), screenshot) << "no background: the flattened image is the result";
    EXPECT_EQ(renderer.backgrounds, 0);

    current = BackgroundComposition{};
    current->padding = 40;
    const BackgroundLayout layout = BackgroundLayout::make({80, 60}, *current);
    auto composed = hook(screenshot);
    ASSERT_TRUE(composed);
    EXPECT_EQ(composed.value().width(), int(layout.canvasSize.width));
    EXPECT_EQ(composed.value().height(), int(layout.canvasSize.height));
    const std::uint8_t* corner =
        composed.value().row(int(layout.contentRect.minY())) + int(layout.contentRect.minX()) * 4;
    EXPECT_EQ((std::array<int, 3>{corner[0], corner[1], corner[2]}), (std::array<int, 3>{1, 2, 3}))
        << "the screenshot sits in the layout's content rectangle";
}

TEST(EditorBackgroundComposer, ABackgroundThatCannotBeDrawnFailsTheRenderInsteadOfDroppingIt) {
    FakeBackgroundRenderer renderer;
    renderer.failure = BackgroundRenderError::canvasTooLarge;
    const EditorBackgroundComposer composer([] { return BackgroundComposition{}; }, BackgroundCaptureContext::window,
                                            renderer);
    const auto result = composer.compose(markedScreenshot());
    ASSERT_FALSE(result);
    EXPECT_EQ(result.error(), ScreenshotEditorError::renderFailed);
}

} // namespace
} // namespace brisklet
