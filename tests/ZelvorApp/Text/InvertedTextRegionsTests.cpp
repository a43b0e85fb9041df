#include "Platform/Fake/CannedTextRecognizer.h"
#include "ZelvorApp/Text/InvertedTextRegions.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace brisklet {
namespace {

void fillRect(Image& image, int x0, int y0, int x1, int y1, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            image.setPixel(x, y, r, g, b);
        }
    }
}

// Four-pixel-wide strokes 12 px apart, like the stems of a word.
void drawStrokes(Image& image, int x0, int x1, int y0, int y1, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    for (int x = x0; x + 4 <= x1; x += 12) {
        fillRect(image, x, y0, x + 4, y1, r, g, b);
    }
}

// A white page with black text at the top and a blue button with white text at (100,200)-(260,266).
Image pageWithButton() {
    Image page(640, 400);
    page.fill(255, 255, 255);
    drawStrokes(page, 40, 400, 40, 80, 20, 20, 20);
    fillRect(page, 100, 200, 260, 266, 10, 132, 255);
    drawStrokes(page, 124, 236, 218, 248, 255, 255, 255);
    return page;
}

std::uint8_t grey(const Image& image, int x, int y) {
    return image.row(y)[x * 4];
}

TEST(InvertedTextRegionsTest, FindsFilledDarkShapesWithLightTextAndNothingElse) {
    Image page = pageWithButton();
    // A dark icon without text and a dark glyph-like outline: neither is a shape holding text.
    fillRect(page, 400, 200, 440, 240, 30, 30, 30);
    fillRect(page, 480, 200, 560, 204, 0, 0, 0);
    fillRect(page, 480, 260, 560, 264, 0, 0, 0);
    fillRect(page, 480, 200, 484, 264, 0, 0, 0);

    const auto regions = InvertedTextRegions::find(page);

    ASSERT_EQ(regions.size(), 1u);
    EXPECT_EQ(regions[0], (InvertedTextRegions::Region{100, 200, 160, 66}));
}

TEST(InvertedTextRegionsTest, ADarkThemeIsLeftToTheEngineButABarOfItsOwnColourOnItIsAShape) {
    Image dark(640, 400);
    dark.fill(30, 32, 36);
    drawStrokes(dark, 40, 400, 40, 80, 220, 220, 220);
    EXPECT_TRUE(InvertedTextRegions::find(dark).empty());
    EXPECT_TRUE(InvertedTextRegions::find(Image()).empty());

    // A selected row and an editor's blue status bar: each darker than its white text, on a page
    // that is itself dark.
    fillRect(dark, 0, 150, 640, 190, 42, 79, 138);
    drawStrokes(dark, 20, 300, 160, 180, 255, 255, 255);
    fillRect(dark, 0, 360, 640, 400, 47, 111, 214);
    drawStrokes(dark, 20, 200, 370, 390, 255, 255, 255);
    EXPECT_EQ(InvertedTextRegions::find(dark),
              (std::vector<InvertedTextRegions::Region>{{0, 150, 640, 40}, {0, 360, 640, 40}}));
}

TEST(InvertedTextRegionsTest, TheCropIsDarkTextOnWhiteWithAMargin) {
    const Image page = pageWithButton();
    const InvertedTextRegions::Region button{100, 200, 160, 66};
    const Image crop = InvertedTextRegions::readableCrop(page, button);
    constexpr int m = InvertedTextRegions::margin;
    ASSERT_EQ(crop.width(), 160 + 2 * m);
    ASSERT_EQ(crop.height(), 66 + 2 * m);
    EXPECT_EQ(grey(crop, 2, 2), 255) << "the margin is white";
    EXPECT_EQ(grey(crop, m + 5, m + 5), 255) << "the button's blue is white";
    EXPECT_EQ(grey(crop, m + 25, m + 30), 0) << "the button's white text is black";
}

TEST(InvertedTextRegionsTest, ARoundedButtonsCornersAndSoftEdgeLeaveNoMarksInTheCrop) {
    Image page = pageWithButton();
    // The page's white shows at the corners, and a grey line softens the button's edge.
    fillRect(page, 100, 200, 106, 206, 255, 255, 255);
    fillRect(page, 254, 260, 260, 266, 255, 255, 255);
    fillRect(page, 106, 200, 254, 201, 130, 190, 255);
    const Image crop = InvertedTextRegions::readableCrop(page, {100, 200, 160, 66});
    constexpr int m = InvertedTextRegions::margin;
    EXPECT_EQ(grey(crop, m + 1, m + 1), 255) << "the corner";
    EXPECT_EQ(grey(crop, m + 158, m + 64), 255) << "the opposite corner";
    EXPECT_EQ(grey(crop, m + 50, m), 255) << "the softened edge";
    EXPECT_EQ(grey(crop, m + 25, m + 30), 0) << "the text is kept";
}

TEST(InvertedTextRegionsTest, CropBoxesLandOnTheRegionInTheImage) {
    const InvertedTextRegions::Region region{100, 200, 160, 60};
    constexpr int m = InvertedTextRegions::margin;
    // The crop's inner area, normalised with y up: it must be the region itself.
    const double cw = 160 + 2.0 * m;
    const double ch = 60 + 2.0 * m;
    const Rect inner{{m / cw, m / ch}, {160 / cw, 60 / ch}};
    const Rect mapped = InvertedTextRegions::boxInImage(inner, region, 640, 400);
    EXPECT_NEAR(mapped.minX(), 100 / 640.0, 1e-9);
    EXPECT_NEAR(mapped.width(), 160 / 640.0, 1e-9);
    EXPECT_NEAR(mapped.height(), 60 / 400.0, 1e-9);
    EXPECT_NEAR(mapped.minY(), (400 - 260) / 400.0, 1e-9) << "y up: the region's bottom edge at 260 px";
}

TEST(AddInvertedRegionsTest, OnlyShapesThePageReadingSkippedAreReadAgainInPlace) {
    const Image page = pageWithButton();
    CannedTextRecognizer recognizer;
    // Whatever the engine is given, it reads one line in its middle.
    recognizer.setObservations({CannedTextRecognizer::line("Save", Rect{{0.25, 0.25}, {0.5, 0.5}}, 0.9f)});

    // The page's reading found the heading only, at the top (y up: near 1).
    std::vector<TextObservation> observations{
        CannedTextRecognizer::line("Heading", Rect{{0.05, 0.78}, {0.6, 0.12}}, 0.9f)};
    ScreenshotOCRService::addInvertedRegions(page, recognizer, observations);

    ASSERT_EQ(observations.size(), 2u);
    ASSERT_EQ(recognizer.receivedImages().size(), 1u);
    EXPECT_EQ(recognizer.receivedImages()[0].width(), 160 + 2 * InvertedTextRegions::margin);
    const Rect& save = observations[1].boundingBox;
    const double centreX = (save.minX() + save.width() / 2) * 640;
    const double centreY = 400 - (save.minY() + save.height() / 2) * 400;
    EXPECT_NEAR(centreX, 180, 1) << "the button's centre";
    EXPECT_NEAR(centreY, 233, 1);
    const auto wordBox = observations[1].candidates.front().boundingBox(0, 4);
    ASSERT_TRUE(wordBox);
    EXPECT_NEAR(wordBox->minX(), save.minX(), 1e-9) << "word boxes move with their line";

    // A shape the page's reading already covered is not read again.
    std::vector<TextObservation> covered{CannedTextRecognizer::line("Save", Rect{{0.2, 0.3}, {0.2, 0.2}}, 0.9f)};
    ScreenshotOCRService::addInvertedRegions(page, recognizer, covered);
    EXPECT_EQ(covered.size(), 1u);
    EXPECT_EQ(recognizer.receivedImages().size(), 1u);
}

TEST(AddInvertedRegionsTest, APageLineTheEngineDoubtsOrThatOnlyGrazesTheShapeDoesNotKeepItFromBeingRead) {
    const Image page = pageWithButton();
    CannedTextRecognizer recognizer;
    recognizer.setObservations({CannedTextRecognizer::line("Save", Rect{{0.25, 0.25}, {0.5, 0.5}}, 0.9f)});
    // The button (y up: 0.335 to 0.5) read as garbage, and a line below whose box reaches a few
    // pixels into the button's bottom edge.
    std::vector<TextObservation> observations{
        CannedTextRecognizer::line("-s@ve", Rect{{0.16, 0.34}, {0.24, 0.15}}, 0.05f),
        CannedTextRecognizer::line("Terms apply", Rect{{0.1, 0.25}, {0.5, 0.1}}, 0.9f)};

    ScreenshotOCRService::addInvertedRegions(page, recognizer, observations);

    ASSERT_EQ(observations.size(), 2u);
    EXPECT_EQ(observations[0].candidates.front().string, "Terms apply");
    EXPECT_EQ(observations[1].candidates.front().string, "Save");

    // A second reading no surer than the page's keeps the page's.
    recognizer.setObservations({CannedTextRecognizer::line("5ave", Rect{{0.25, 0.25}, {0.5, 0.5}}, 0.04f)});
    std::vector<TextObservation> doubted{CannedTextRecognizer::line("-s@ve", Rect{{0.16, 0.34}, {0.24, 0.15}}, 0.05f)};
    ScreenshotOCRService::addInvertedRegions(page, recognizer, doubted);
    ASSERT_EQ(doubted.size(), 1u);
    EXPECT_EQ(doubted[0].candidates.front().string, "-s@ve");
}

} // namespace
} // namespace brisklet
