#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "Platform/Linux/QtRender/RedactionPainter.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace brisklet {
namespace {

// A fixed family keeps the reference images independent of the desktop's font settings.
constexpr const char* referenceFontFamily = "DejaVu Sans";

const StoredColor red{1.0, 0.231, 0.188, 1};
const StoredColor yellow{1.0, 0.8, 0.0, 1};
const StoredColor green{0.204, 0.78, 0.349, 1};
const StoredColor blue{0.039, 0.518, 1.0, 1};

void fillRect(Image& image, int x0, int y0, int w, int h, std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    for (int y = y0; y < std::min(image.height(), y0 + h); ++y) {
        for (int x = x0; x < std::min(image.width(), x0 + w); ++x) {
            image.setPixel(x, y, r, g, b);
        }
    }
}

void checker(Image& image, int x0, int y0, int w, int h, int cell) {
    for (int y = y0; y < y0 + h; ++y) {
        for (int x = x0; x < x0 + w; ++x) {
            const bool dark = ((x - x0) / cell + (y - y0) / cell) % 2 == 0;
            image.setPixel(x, y, dark ? 20 : 240, dark ? 40 : 200, dark ? 160 : 60);
        }
    }
}

/// Something that looks like a window: a title bar, lines of "text" and two busy patches.
Image syntheticScreenshot() {
    Image image(480, 320);
    image.fill(246, 247, 250);
    fillRect(image, 0, 0, 480, 24, 52, 58, 72);
    for (int line = 0; line < 9; ++line) {
        fillRect(image, 24, 40 + line * 28, 180 + (line * 37) % 140, 8, 150, 156, 168);
    }
    checker(image, 372, 36, 96, 72, 6);
    checker(image, 372, 226, 96, 72, 4);
    return image;
}

std::vector<AnnotationItem> oneOfEachKind() {
    const auto id = [] { return Uuid::generate(); };
    return {
        RedactionAnnotation{id(), {{380, 42}, {80, 60}}, RedactionMode::blur},
        RedactionAnnotation{id(), {{380, 232}, {80, 60}}, RedactionMode::mosaic},
        StrokeAnnotation{id(), {{24, 99}, {90, 97}, {150, 100}, {230, 98}}, StrokeMode::highlighter, yellow, 14},
        RectangleAnnotation{id(), {{36, 58}, {150, 70}}, ShapeKind::rectangle, ShapeFillMode::stroke, red, 4},
        RectangleAnnotation{id(), {{220, 54}, {110, 64}}, ShapeKind::ellipse, ShapeFillMode::fill, green, 3},
        ArrowAnnotation{id(), {70, 220}, {210, 150}, ArrowStyle::brush, red, 5},
        ArrowAnnotation{id(), {250, 290}, {350, 200}, ArrowStyle::geometric, blue, 4},
        LineAnnotation{id(), {30, 300}, {190, 300}, green, 3},
        StrokeAnnotation{
            id(), {{40, 250}, {60, 232}, {85, 240}, {105, 262}, {130, 268}, {160, 250}}, StrokeMode::brush, blue, 5},
        TextAnnotation{id(), {236, 26}, "Hello, Brisklet", red, 24, std::nullopt, 0},
        TextAnnotation{id(), {240, 140}, "wrapped text in a box", blue, 16, 110.0, -0.3},
        NumberAnnotation{id(), {330, 290}, 1, red, 28},
        NumberAnnotation{id(), {430, 150}, 12, blue, 36},
    };
}

struct Difference {
    double mean = 0;
    double badFraction = 0;
};

Difference compare(const Image& a, const Image& b) {
    double sum = 0;
    std::size_t bad = 0;
    const std::size_t pixels = static_cast<std::size_t>(a.width()) * a.height();
    for (std::size_t i = 0; i < pixels; ++i) {
        int worst = 0;
        for (int c = 0; c < 4; ++c) {
            const int d = std::abs(a.data()[i * 4 + c] - b.data()[i * 4 + c]);
            sum += d;
            worst = std::max(worst, d);
        }
        bad += worst > 40 ? 1 : 0;
    }
    return {sum / (pixels * 4.0), static_cast<double>(bad) / pixels};
}

class QtAnnotationRendererTest : public ::testing::Test {
protected:
    QtAnnotationRenderer renderer{referenceFontFamily};
    LinuxImageCodec codec;

    void expectMatchesReference(const Image& rendered, const std::string& name) {
        const auto file = std::filesystem::path(BRISKLET_EDITOR_TEST_DATA_DIR) / name;
        if (std::getenv("BRISKLET_UPDATE_REFERENCE_IMAGES") != nullptr) {
            std::filesystem::remove(file);
            ASSERT_TRUE(codec.writeFile(rendered, file, ImageFormat::png));
            GTEST_SKIP() << "wrote " << file;
        }
        const auto reference = codec.readFile(file);
        ASSERT_TRUE(reference) << file << " is missing; run with BRISKLET_UPDATE_REFERENCE_IMAGES=1 to create it";
        ASSERT_EQ(reference.value().width(), rendered.width());
        ASSERT_EQ(reference.value().height(), rendered.height());
        const Difference d = compare(rendered, reference.value());
        // Font rasterisers differ by a few edge pixels between versions; anything structural
        // (a missing item, a moved head, a lost blur) changes far more than this.
        EXPECT_LT(d.mean, 0.6) << name;
        EXPECT_LT(d.badFraction, 0.004) << name;
    }
};

TEST_F(QtAnnotationRendererTest, EveryKindFlattensLikeTheReference) {
    const Image base = syntheticScreenshot();
    const auto items = oneOfEachKind();
    const auto plain = renderer.flatten(base, items, {false});
    ASSERT_TRUE(plain);
    expectMatchesReference(plain.value(), "flatten-reference.png");
}

TEST_F(QtAnnotationRendererTest, EnhancedColoursFlattenLikeTheReference) {
    const auto enhanced = renderer.flatten(syntheticScreenshot(), oneOfEachKind(), {true});
    ASSERT_TRUE(enhanced);
    expectMatchesReference(enhanced.value(), "flatten-enhanced-reference.png");
}

TEST_F(QtAnnotationRendererTest, TextLandsInsideTheBoxTheEditorMeasures) {
    Image base(300, 200);
    base.fill(255, 255, 255);
    const TextAnnotation text{Uuid::generate(), {20, 30}, "Measure me\nand me too, please", StoredColor{}, 24,
                              std::nullopt,     0};
    const auto drawn = renderer.flatten(base, std::vector<AnnotationItem>{text}, {});
    ASSERT_TRUE(drawn);
    int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
    for (int y = 0; y < 200; ++y) {
        for (int x = 0; x < 300; ++x) {
            if (drawn.value().row(y)[x * 4] < 128) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
                minY = std::min(minY, y);
                maxY = std::max(maxY, y);
            }
        }
    }
    const Rect box = ScreenshotTextLayout::contentRect(
        text, ScreenshotTextLayout::measurement(text.text, text.fontSize, text.layoutWidth, renderer));
    EXPECT_GE(minX, box.minX() - 1);
    EXPECT_LE(maxX, box.maxX() + 1);
    EXPECT_GE(minY, box.minY() - 1);
    EXPECT_LE(maxY, box.maxY() + 1);
    EXPECT_GT(maxX - minX, box.width() * 0.85) << "the widest line fills the measured width";
    EXPECT_GT(maxY - minY, box.height() * 0.6) << "both lines are drawn";
}

TEST_F(QtAnnotationRendererTest, RedactionsReallyHideWhatIsUnderThem) {
    Image base(160, 120);
    base.fill(255, 255, 255);
    checker(base, 0, 0, 160, 120, 2);
    const auto blurred = redactionPatch(base, {{40.4, 30.6}, {60, 40}}, RedactionMode::blur);
    ASSERT_TRUE(blurred);
    EXPECT_EQ(blurred->x, 40);
    EXPECT_EQ(blurred->y, 30);
    EXPECT_EQ(blurred->pixels.width(), 61) << "made integral outward";
    int lowest = 255, highest = 0;
    for (int y = 0; y < blurred->pixels.height(); ++y) {
        for (int x = 0; x < blurred->pixels.width(); ++x) {
            lowest = std::min<int>(lowest, blurred->pixels.row(y)[x * 4]);
            highest = std::max<int>(highest, blurred->pixels.row(y)[x * 4]);
        }
    }
    EXPECT_LT(highest - lowest, 12) << "a two-pixel checkerboard blurs to an even tone";

    const auto mosaic = redactionPatch(base, {{30, 30}, {48, 48}}, RedactionMode::mosaic);
    ASSERT_TRUE(mosaic);
    const auto at = [&](int x, int y) { return mosaic->pixels.row(y)[x * 4 + 2]; };
    // Cells are 12 pixels anchored at the patch centre (54, 54), so 30…42 is one cell.
    EXPECT_EQ(at(0, 0), at(11, 11));
    EXPECT_EQ(at(12, 0), at(23, 11));
    EXPECT_FALSE(redactionPatch(base, {{500, 500}, {10, 10}}, RedactionMode::blur)) << "nothing to hide off the image";

    const RedactionAnnotation edge{Uuid::generate(), {{140, -20}, {60, 50}}, RedactionMode::mosaic};
    const auto flattened = renderer.flatten(base, std::vector<AnnotationItem>{edge}, {});
    ASSERT_TRUE(flattened);
    EXPECT_EQ(flattened.value().row(100)[0], base.row(100)[0]) << "pixels outside stay untouched";
    EXPECT_EQ(flattened.value().width(), 160);
}

TEST_F(QtAnnotationRendererTest, TransparencyAndTranslucentHighlightersSurviveFlattening) {
    Image base(60, 40); // transparent everywhere
    base.setPixel(5, 5, 10, 20, 30, 255);
    const StrokeAnnotation marker{Uuid::generate(), {{20, 20}, {50, 20}}, StrokeMode::highlighter, red, 14};
    const auto out = renderer.flatten(base, std::vector<AnnotationItem>{marker}, {});
    ASSERT_TRUE(out);
    EXPECT_EQ(out.value().row(0)[3], 0) << "untouched transparent pixels stay transparent";
    const std::uint8_t* opaque = out.value().row(5) + 5 * 4;
    EXPECT_EQ((std::array<int, 4>{opaque[0], opaque[1], opaque[2], opaque[3]}), (std::array<int, 4>{10, 20, 30, 255}));
    const std::uint8_t* mark = out.value().row(20) + 35 * 4;
    EXPECT_NEAR(mark[3], 0.28 * 255, 2) << "a highlighter is translucent";
    EXPECT_NEAR(mark[0], 255, 2);

    Image white(60, 40);
    white.fill(255, 255, 255);
    const auto over = renderer.flatten(white, std::vector<AnnotationItem>{marker}, {});
    EXPECT_NEAR(over.value().row(20)[35 * 4 + 1], 255 * 0.72 + 0.231 * 255 * 0.28, 2) << "blended 28% over white";
}

TEST_F(QtAnnotationRendererTest, NumbersCarryWhiteLabelsAndEmptyImagesFailToRender) {
    Image base(80, 80);
    base.fill(0, 0, 0);
    const NumberAnnotation one{Uuid::generate(), {40, 40}, 1, blue, 40};
    const auto out = renderer.flatten(base, std::vector<AnnotationItem>{one}, {});
    ASSERT_TRUE(out);
    int white = 0, discBlue = 0;
    for (int y = 22; y < 58; ++y) {
        for (int x = 22; x < 58; ++x) {
            const std::uint8_t* p = out.value().row(y) + x * 4;
            white += p[0] > 240 && p[1] > 240 && p[2] > 240;
            discBlue += p[0] < 20 && p[2] > 240;
        }
    }
    EXPECT_GT(white, 30) << "the digit is drawn in white";
    EXPECT_GT(discBlue, 600);
    EXPECT_EQ(out.value().row(2)[2 * 4 + 2], 0) << "outside the disc nothing changed";

    EXPECT_FALSE(renderer.flatten(Image(), {}, {}));
    EXPECT_EQ(renderer.flatten(Image(), {}, {}).error(), ScreenshotEditorError::renderFailed);
}

} // namespace
} // namespace brisklet
