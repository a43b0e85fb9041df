#include "BackgroundRenderSupport.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/QtRender/BackgroundImageEffects.h"
#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "ZelvorApp/Background/BackgroundRenderPlan.h"
#include "ZelvorApp/Background/GIFRenderContext.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace brisklet {
namespace {

namespace fs = std::filesystem;
using namespace backgroundtest;

constexpr int tolerance = 2;

void expectColor(const Image& image, int x, int y, const StoredColor& color, int within = tolerance) {
    const auto p = pixelAt(image, x, y);
    EXPECT_NEAR(p[0], color.red * 255, within) << "at " << x << "," << y;
    EXPECT_NEAR(p[1], color.green * 255, within) << "at " << x << "," << y;
    EXPECT_NEAR(p[2], color.blue * 255, within) << "at " << x << "," << y;
    EXPECT_NEAR(p[3], color.alpha * 255, within) << "at " << x << "," << y;
}

int luminance(const Image& image, int x, int y) {
    const auto p = pixelAt(image, x, y);
    return (p[0] * 299 + p[1] * 587 + p[2] * 114) / 1000;
}

BackgroundComposition composition(BackgroundSource source, double padding = 48, double shadow = 0, double corner = 0) {
    BackgroundComposition c;
    c.source = std::move(source);
    c.aspectPreset = {CanvasAspectPreset::Kind::automatic};
    c.padding = padding;
    c.shadowStrength = shadow;
    c.cornerRadius = corner;
    return c;
}

BackgroundSource preset(const char* id) {
    return {BackgroundSource::Preset{id}};
}

class BackgroundRenderTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    LinuxImageCodec codec;
    BackgroundQtRenderer renderer;

    Image compose(const Image& content, const BackgroundComposition& c,
                  BackgroundCaptureContext context = BackgroundCaptureContext::region) {
        auto result = renderer.compose(content, c, context);
        EXPECT_TRUE(result) << (result ? "" : toString(result.error()));
        return result ? std::move(result).value() : Image();
    }

    /// A picture file: left half `left`, right half `right`.
    fs::path twoTone(const std::string& name, int width, int height, std::array<std::uint8_t, 3> left,
                     std::array<std::uint8_t, 3> right) {
        Image image(width, height);
        fillRect(image, 0, 0, width / 2, height, left);
        fillRect(image, width / 2, 0, width - width / 2, height, right);
        const fs::path file = paths.root() / name;
        EXPECT_TRUE(codec.writeFile(image, file, ImageFormat::png));
        return file;
    }

    void expectMatchesReference(const Image& rendered, const std::string& name) {
        const auto file = fs::path(BRISKLET_BACKGROUND_TEST_DATA_DIR) / name;
        if (std::getenv("BRISKLET_UPDATE_REFERENCE_IMAGES") != nullptr) {
            fs::remove(file);
            ASSERT_TRUE(codec.writeFile(rendered, file, ImageFormat::png));
            GTEST_SKIP() << "wrote " << file;
        }
        const auto reference = codec.readFile(file);
        ASSERT_TRUE(reference) << file << " is missing; run with BRISKLET_UPDATE_REFERENCE_IMAGES=1 to create it";
        ASSERT_EQ(reference.value().width(), rendered.width()) << name;
        ASSERT_EQ(reference.value().height(), rendered.height()) << name;
        const PixelDifference d = compare(rendered, reference.value());
        // Antialiasing may differ by a little between Qt versions; a moved or missing part of a
        // frame, a lost shadow or a wrong gradient changes far more than this.
        EXPECT_LT(d.mean, 0.5) << name;
        EXPECT_LT(d.badFraction, 0.003) << name;
    }
};

TEST_F(BackgroundRenderTest, EveryFrameStyleLooksLikeItsReference) {
    const Image screenshot = syntheticScreenshot();
    for (const auto style : allCases<BackgroundFrameStyle>()) {
        BackgroundComposition c = composition(preset("violet-coral"), 56, 72, 12);
        c.frameStyle = style;
        const Image composed = compose(screenshot, c);
        const auto layout = BackgroundLayout::make({360, 240}, c);
        ASSERT_EQ(composed.width(), layout.canvasSize.width) << toString(style);
        expectMatchesReference(composed, "frame-" + std::string(toString(style)) + ".png");
    }
}

TEST_F(BackgroundRenderTest, UprightPhonesLookLikeTheirReferences) {
    const Image screenshot = syntheticScreenshot(200, 400);
    for (const auto style : {BackgroundFrameStyle::iphoneLight, BackgroundFrameStyle::iphoneDark}) {
        BackgroundComposition c = composition(preset("emerald-lagoon"), 48, 80, 24);
        c.frameStyle = style;
        expectMatchesReference(compose(screenshot, c), "upright-" + std::string(toString(style)) + ".png");
    }
}

TEST_F(BackgroundRenderTest, ShowcaseOnAWallpaperLooksLikeItsReference) {
    // A picture with structure, so the blur and dimming are visible in the reference.
    Image wallpaper(640, 400);
    for (int y = 0; y < 400; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool stripe = ((x / 40) + (y / 40)) % 2 == 0;
            wallpaper.setPixel(x, y, static_cast<std::uint8_t>(40 + x / 4), stripe ? 120 : 200,
                               static_cast<std::uint8_t>(220 - y / 3));
        }
    }
    const fs::path file = paths.root() / "wallpaper.png";
    ASSERT_TRUE(codec.writeFile(wallpaper, file, ImageFormat::png));
    const BackgroundQtRenderer desktopRenderer([file] { return std::optional<fs::path>(file); });
    const BackgroundComposition showcase =
        BackgroundLayout::compositionByApplying(BackgroundWindowQuickMode::showcase, {}, {360, 240});
    const auto composed = desktopRenderer.compose(syntheticScreenshot(), showcase, BackgroundCaptureContext::window);
    ASSERT_TRUE(composed);
    expectMatchesReference(composed.value(), "showcase-wallpaper.png");
}

TEST_F(BackgroundRenderTest, GradientsRunCornerToCornerAndSolidColoursGetAGentleDiagonal) {
    const Image content = syntheticScreenshot(100, 100);
    const Image ocean = compose(content, composition(preset("ocean-glass")));
    expectColor(ocean, 0, 0, {0.035, 0.137, 0.392, 1});
    expectColor(ocean, ocean.width() - 1, ocean.height() - 1, {0.122, 0.294, 0.682, 1});
    EXPECT_EQ(pixelAt(ocean, 5, ocean.height() - 6), pixelAt(ocean, ocean.width() - 6, 5))
        << "on a square canvas the other diagonal is one colour";

    const Image graphite = compose(content, composition(preset("graphite")));
    expectColor(graphite, 0, 0, {0.165, 0.176, 0.204, 1});
    expectColor(graphite, graphite.width() - 1, graphite.height() - 1, {0.165, 0.176, 0.204, 1});

    const StoredColor teal{0.1, 0.5, 0.6, 1};
    const auto expected = BackgroundRenderPlan::solidColorGradient(teal);
    EXPECT_NEAR(expected.start.red, 0.1 + 0.9 * 0.12, 1e-9) << "a dark colour lightens by 0.12";
    EXPECT_NEAR(expected.end.green, 0.5 * 0.92, 1e-9) << "and darkens by 0.08";
    const Image solid = compose(content, composition({BackgroundSource::SolidColor{teal}}));
    expectColor(solid, 0, 0, expected.start);
    expectColor(solid, solid.width() - 1, solid.height() - 1, expected.end);
    EXPECT_NEAR(BackgroundRenderPlan::solidColorGradient({0.9, 0.9, 0.9, 1}).start.red, 0.9 + 0.1 * 0.18, 1e-9);
}

TEST_F(BackgroundRenderTest, MissingPicturesAndUnknownPresetsShowTheWindowColour) {
    const Image content = syntheticScreenshot(100, 60);
    const StoredColor window = BackgroundRenderPlan::windowBackgroundColor();
    for (const BackgroundSource& source :
         {preset("no-such-preset"), preset("generated-gradient:broken"),
          BackgroundSource{BackgroundSource::CustomImage{(paths.root() / "gone.png").string()}},
          BackgroundSource{BackgroundSource::CustomImage{(paths.root()).string()}},
          BackgroundSource{BackgroundSource::DesktopWallpaper{}}}) {
        const Image composed = compose(content, composition(source));
        expectColor(composed, 0, 0, window);
        expectColor(composed, composed.width() - 1, composed.height() / 2, window);
    }
}

TEST_F(BackgroundRenderTest, TheScreenshotIsCopiedExactlyExceptItsRoundedCorners) {
    const Image content = syntheticScreenshot(200, 120);
    const Image composed = compose(content, composition(preset("dark-moon"), 40, 0, 16));
    for (const int y : {0, 8, 60, 119}) {
        for (const int x : {16, 100, 183}) {
            EXPECT_EQ(pixelAt(composed, 40 + x, 40 + y), pixelAt(content, x, y)) << x << "," << y;
        }
    }
    for (const int y : {16, 60, 103}) {
        EXPECT_EQ(pixelAt(composed, 40, 40 + y), pixelAt(content, 0, y)) << "left edge outside the corners";
    }
    // The very corner pixel belongs to the background, the pixel a few steps in to the screenshot.
    EXPECT_NE(pixelAt(composed, 40, 40), pixelAt(content, 0, 0));
    EXPECT_LT(luminance(composed, 40, 40), 80) << "dark-moon shows through";
    EXPECT_EQ(pixelAt(composed, 46, 46), pixelAt(content, 6, 6));

    // A bare window capture keeps its own square corners.
    BackgroundComposition bare = composition({BackgroundSource::Transparent{}}, 20, 0, 16);
    const Image window = compose(content, bare, BackgroundCaptureContext::window);
    EXPECT_EQ(pixelAt(window, 20, 20), pixelAt(content, 0, 0));
    EXPECT_EQ(pixelAt(window, 0, 0)[3], 0) << "nothing is drawn around it";
    const Image region = compose(content, bare, BackgroundCaptureContext::region);
    EXPECT_LT(pixelAt(region, 20, 20)[3], 40) << "a region on nothing still gets its rounded corners";
}

TEST_F(BackgroundRenderTest, TheShadowFallsBelowTheFrameAndGrowsWithStrength) {
    const Image content = syntheticScreenshot(200, 120);
    const Image flat = compose(content, composition(preset("clean-canvas"), 60, 0, 12));
    const Image soft = compose(content, composition(preset("clean-canvas"), 60, 30, 12));
    const Image strong = compose(content, composition(preset("clean-canvas"), 60, 100, 12));
    const int belowX = 160;
    const int belowY = 60 + 120 + 12;
    EXPECT_EQ(luminance(flat, belowX, belowY), luminance(flat, belowX, 20));
    EXPECT_LT(luminance(soft, belowX, belowY), luminance(flat, belowX, belowY) - 4);
    EXPECT_LT(luminance(strong, belowX, belowY), luminance(soft, belowX, belowY) - 4);
    EXPECT_LT(luminance(strong, belowX, belowY), luminance(strong, belowX, 60 - 12))
        << "the shadow is offset downward: darker below than above";
    EXPECT_GT(luminance(strong, 2, 2), 240) << "far from the frame the background is untouched";
}

TEST_F(BackgroundRenderTest, PicturesAspectFillThePannedCanvasWithTheirAdjustments) {
    const fs::path file = twoTone("halves.png", 400, 200, {230, 20, 20}, {20, 20, 230});
    const Image content = syntheticScreenshot(100, 100);
    BackgroundComposition c = composition({BackgroundSource::CustomImage{file.string()}}, 50);
    const Image filled = compose(content, c);
    ASSERT_EQ(filled.width(), 200);
    EXPECT_GT(pixelAt(filled, 0, 100)[0], 200) << "left edge red";
    EXPECT_GT(pixelAt(filled, 199, 100)[2], 200) << "right edge blue";

    c.imageAdjustment.offsetX = 90;
    const Image panned = compose(content, c);
    EXPECT_GT(pixelAt(panned, 180, 100)[0], 200) << "panned right: red reaches further";

    c.imageAdjustment = {0.6, 0, 1, 0, 0};
    const Image dimmed = compose(content, c);
    EXPECT_NEAR(pixelAt(dimmed, 0, 0)[0], 230 - 0.4 * 255, 3);

    c.imageAdjustment = {1, 12, 1, 0, 0};
    const Image blurred = compose(content, c);
    const auto middle = pixelAt(blurred, 100, 10);
    EXPECT_NEAR(middle[0], 125, 12) << "the colours run into each other at the seam";
    EXPECT_NEAR(middle[2], 125, 12);
    EXPECT_GT(pixelAt(blurred, 0, 10)[0], 215) << "edges stay their own colour (no dark rim)";
    EXPECT_EQ(pixelAt(blurred, 0, 10)[3], 255);
}

TEST_F(BackgroundRenderTest, AWidePictureOnATallCanvasIsShownWholeOnItsBackdrop) {
    const fs::path file = twoTone("wide.png", 600, 300, {240, 200, 20}, {20, 160, 90});
    BackgroundComposition c = composition({BackgroundSource::CustomImage{file.string()}}, 40);
    c.aspectPreset = {CanvasAspectPreset::Kind::story};
    const Image content = syntheticScreenshot(60, 40);
    const Image composed = compose(content, c);
    const Size canvas{static_cast<double>(composed.width()), static_cast<double>(composed.height())};
    const auto contained = BackgroundRenderPlan::containedPicture({600, 300}, canvas, c.imageAdjustment);
    ASSERT_TRUE(contained);
    const Rect& card = contained->pictureRect;
    const int y = static_cast<int>(card.minY()) + 6;
    EXPECT_EQ(pixelAt(composed, static_cast<int>(card.minX()) + 12, y), (std::array<int, 4>{240, 200, 20, 255}))
        << "the card shows the picture unadjusted";
    EXPECT_EQ(pixelAt(composed, static_cast<int>(card.maxX()) - 12, y), (std::array<int, 4>{20, 160, 90, 255}));
    const auto backdrop = pixelAt(composed, composed.width() / 2, 3);
    EXPECT_LT(backdrop[0] + backdrop[1] + backdrop[2], 440) << "the backdrop is darker";
}

TEST_F(BackgroundRenderTest, TheDesktopWallpaperComesFromTheLookup) {
    const fs::path file = twoTone("desk.png", 64, 64, {30, 200, 60}, {30, 200, 60});
    int lookups = 0;
    const BackgroundQtRenderer desktop([&] {
        ++lookups;
        return std::optional<fs::path>(file);
    });
    const auto composed =
        desktop.compose(syntheticScreenshot(80, 80), composition({BackgroundSource::DesktopWallpaper{}}),
                        BackgroundCaptureContext::region);
    ASSERT_TRUE(composed);
    expectColor(composed.value(), 1, 1, {30 / 255.0, 200 / 255.0, 60 / 255.0, 1});
    EXPECT_EQ(lookups, 1);

    std::filesystem::remove(file);
    const auto fallback =
        desktop.compose(syntheticScreenshot(80, 80), composition({BackgroundSource::DesktopWallpaper{}}),
                        BackgroundCaptureContext::region);
    ASSERT_TRUE(fallback);
    expectColor(fallback.value(), 1, 1, BackgroundRenderPlan::windowBackgroundColor());
    EXPECT_EQ(lookups, 2) << "asked once per picture, even when it is gone";
}

TEST_F(BackgroundRenderTest, TransparentBackgroundsStayTransparent) {
    const Image content = syntheticScreenshot(80, 60);
    const Image composed = compose(content, composition({BackgroundSource::Transparent{}}, 30, 60, 10));
    EXPECT_EQ(pixelAt(composed, 0, 0)[3], 0);
    const auto shadowed = pixelAt(composed, 70, 30 + 60 + 14);
    EXPECT_GT(shadowed[3], 10) << "the shadow is translucent black";
    EXPECT_LT(shadowed[0], 5);
    EXPECT_EQ(pixelAt(composed, 70, 60), pixelAt(content, 40, 30));
}

TEST_F(BackgroundRenderTest, ImpossibleCanvasesAndEmptyContentFail) {
    EXPECT_EQ(renderer.compose(Image(), composition(preset("graphite")), BackgroundCaptureContext::region).error(),
              BackgroundRenderError::emptyContent);
    EXPECT_EQ(renderer
                  .compose(syntheticScreenshot(10, 10), composition(preset("graphite"), 20000),
                           BackgroundCaptureContext::region)
                  .error(),
              BackgroundRenderError::canvasTooLarge);
    const auto background = renderer.renderBackground(composition(preset("graphite")), {64, 32});
    ASSERT_TRUE(background);
    EXPECT_EQ(background.value().width(), 64);
    expectColor(background.value(), 63, 31, {0.165, 0.176, 0.204, 1});
}

TEST_F(BackgroundRenderTest, GIFFramesAreCopiedIntoTheirRoundedPlaceOnAShadowedStage) {
    BackgroundComposition c = composition(preset("mist-lilac"), 40, 72, 14);
    const auto context = GIFRenderContext::make({120, 80}, c, renderer);
    ASSERT_TRUE(context);
    const Image& base = context.value().baseImage();
    Image frame = syntheticScreenshot(120, 80);
    const auto first = context.value().render(frame);
    ASSERT_TRUE(first);
    const Image& out = first.value();
    EXPECT_EQ(out.width(), 200);
    for (const int y : {0, 40, 79}) {
        EXPECT_EQ(pixelAt(out, 40 + 60, 40 + y), pixelAt(frame, 60, y));
    }
    EXPECT_EQ(pixelAt(out, 40 + 20, 40 + 40), pixelAt(frame, 20, 40));
    EXPECT_NE(pixelAt(out, 40, 40), pixelAt(frame, 0, 0)) << "corners are rounded";
    EXPECT_LT(luminance(out, 100, 40 + 80 + 14), luminance(base, 100, 40 + 80 + 14) - 10) << "shadow below";
    EXPECT_EQ(pixelAt(out, 1, 1), pixelAt(base, 1, 1));

    frame.fill(255, 0, 0);
    const auto second = context.value().render(frame);
    EXPECT_EQ(pixelAt(second.value(), 100, 80), (std::array<int, 4>{255, 0, 0, 255})) << "each frame on a fresh stage";
    const auto scaled = context.value().render(syntheticScreenshot(60, 40));
    ASSERT_TRUE(scaled);
    EXPECT_EQ(scaled.value().width(), 200) << "a frame of another size is scaled into place";
}

TEST(BackgroundBlur, KeepsFlatAreasAndSpreadsLikeAGaussian) {
    QImage flat(40, 30, QImage::Format_ARGB32_Premultiplied);
    flat.fill(qRgba(10, 120, 200, 255));
    blurInPlace(flat, 6);
    EXPECT_EQ(flat.pixel(0, 0), qRgba(10, 120, 200, 255));
    EXPECT_EQ(flat.pixel(39, 29), qRgba(10, 120, 200, 255));

    QImage dot(121, 121, QImage::Format_Alpha8);
    dot.fill(0);
    for (int y = 55; y < 66; ++y) {
        for (int x = 55; x < 66; ++x) {
            dot.scanLine(y)[x] = 255;
        }
    }
    blurInPlace(dot, 8);
    double total = 0;
    double spread = 0;
    for (int x = 0; x < 121; ++x) {
        total += dot.scanLine(60)[x];
        spread += dot.scanLine(60)[x] * (x - 60.0) * (x - 60.0);
    }
    EXPECT_EQ(dot.scanLine(60)[50], dot.scanLine(60)[70]) << "symmetric";
    EXPECT_EQ(dot.scanLine(50)[60], dot.scanLine(60)[50]) << "the same both ways";
    EXPECT_NEAR(std::sqrt(spread / total), std::sqrt(64 + 121.0 / 12 - 1.0 / 12), 1.0)
        << "variance of an 11-pixel square plus the blur's";
}

} // namespace
} // namespace brisklet
