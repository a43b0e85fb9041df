#include "ZelvorApp/Editor/AnnotationColorHistory.h"
#include "ZelvorApp/Editor/AnnotationColorPalette.h"
#include "ZelvorApp/Editor/AnnotationColors.h"
#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"
#include "ZelvorApp/Editor/CircularColorWheel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace brisklet {
namespace {

namespace Picker = BackgroundColorPickerLogic;
namespace History = AnnotationColorHistory;
const auto& fixed = AnnotationColorPalette::fixedColors;

StoredColor fromHex(const std::string& hex) {
    return *Picker::colorFromHex(hex);
}

TEST(BackgroundColorPickerLogicTest, TypedCodesParseLeniently) {
    const auto expected = StoredColor{0x1e / 255.0, 0x90 / 255.0, 0xff / 255.0, 1};
    EXPECT_EQ(Picker::colorFromHex("#1e90ff"), expected);
    EXPECT_EQ(Picker::colorFromHex("  1E90FF \n"), expected);
    EXPECT_EQ(Picker::colorFromHex("##1E90FF"), expected);
    EXPECT_FALSE(Picker::colorFromHex("1E90F"));
    EXPECT_FALSE(Picker::colorFromHex("1E90FFF"));
    EXPECT_FALSE(Picker::colorFromHex("+1E90F")) << "six characters that are not all digits";
    EXPECT_EQ(Picker::hexString(expected), "#1E90FF");
    EXPECT_EQ(Picker::hexString({1.4, -0.2, 0.5, 1}), "#FF0080") << "components are clamped";
    EXPECT_EQ(Picker::hexString({std::numeric_limits<double>::quiet_NaN(), 1, 1, 1}), "#000000")
        << "a colour that cannot be read is black";
}

TEST(BackgroundColorPickerLogicTest, HueSaturationBrightnessRoundTrip) {
    const auto hsb = Picker::hsbComponents(fromHex("#1E90FF"));
    EXPECT_NEAR(hsb.hue, 209.6 / 360, 1e-3);
    EXPECT_NEAR(hsb.saturation, 225.0 / 255, 1e-9);
    EXPECT_NEAR(hsb.brightness, 1, 1e-9);
    EXPECT_EQ(Picker::hexString(hsb.color()), "#1E90FF");
    EXPECT_EQ(Picker::hsbComponents({0.5, 0.5, 0.5, 1}), (HSBComponents{0, 0, 0.5}));
}

TEST(AnnotationColorHistoryTest, CustomColoursGoFirstFixedOnesNeverEnter) {
    EXPECT_EQ(History::normalizedHex(" #a1b2c3\n"), "#A1B2C3");
    EXPECT_EQ(History::normalizedHex("a1b2c3"), "#A1B2C3");
    EXPECT_FALSE(History::normalizedHex("##a1b2c3"));
    EXPECT_FALSE(History::normalizedHex("#a1b2cg"));

    std::vector<std::string> recent = {"#111111"};
    EXPECT_EQ(History::updatedRecentHexes(recent, StoredColor::white(), fixed), recent) << "white is a fixed colour";

    for (const char* hex : {"#000001", "#000002", "#000003", "#000004", "#000005", "#000006"}) {
        recent = History::updatedRecentHexes(recent, fromHex(hex), fixed);
    }
    EXPECT_EQ(recent, (std::vector<std::string>{"#000006", "#000005", "#000004", "#000003", "#000002"}));
    recent = History::updatedRecentHexes(recent, fromHex("#000003"), fixed);
    EXPECT_EQ(recent, (std::vector<std::string>{"#000003", "#000006", "#000005", "#000004", "#000002"}))
        << "re-picking moves a colour to the front";
    const std::vector<std::string> messy = {"junk", "#FF3B30", "abcdef", "#ABCDEF"};
    EXPECT_EQ(History::updatedRecentHexes(messy, fromHex("#123456"), fixed),
              (std::vector<std::string>{"#123456", "#ABCDEF"}))
        << "unreadable entries, fixed red and duplicates are dropped";
    EXPECT_EQ(History::recentColors(messy, fixed).size(), 2u);
}

TEST(AnnotationColorsTest, EnhancedPassesDeriveFromTheItemColour) {
    const StoredColor red{1.0, 0.231, 0.188, 1};
    EXPECT_EQ(AnnotationColors::haloColor(red), (StoredColor{1, 1, 1, 0.58}));
    EXPECT_EQ(AnnotationColors::haloColor({1, 0, 0, 0.5}), (StoredColor{1, 1, 1, 0.29}));
    const auto depth = AnnotationColors::depthColor(red);
    EXPECT_NEAR(depth.green, 0.231 * 0.58, 1e-12);
    EXPECT_NEAR(depth.alpha, 0.42, 1e-12);
    const auto lighter = AnnotationColors::lightenedColor(red);
    EXPECT_NEAR(lighter.green, 0.231 + 0.769 * 0.12, 1e-12);
    EXPECT_NEAR(AnnotationColors::lightenedColor({0.9, 0.9, 0.9, 1}).red, 0.9 + 0.1 * 0.02, 1e-12)
        << "near-white barely lifts";
    EXPECT_EQ(AnnotationColors::highlighterColor(red).alpha, 0.28);
}

TEST(CircularColorWheelTest, HuesRunCounterClockwiseFromRedOnTheRight) {
    const Size view{200, 200};
    const auto right = CircularColorWheel::selection({200, 100}, view, 1);
    EXPECT_NEAR(right.hue, 0, 1e-9);
    EXPECT_NEAR(right.saturation, 1, 1e-9);
    EXPECT_NEAR(CircularColorWheel::selection({100, 0}, view, 1).hue, 0.25, 1e-9) << "straight up";
    EXPECT_NEAR(CircularColorWheel::selection({0, 100}, view, 1).hue, 0.5, 1e-9) << "straight left";
    const auto outside = CircularColorWheel::selection({100, 400}, view, 0.7);
    EXPECT_NEAR(outside.hue, 0.75, 1e-9);
    EXPECT_EQ(outside.saturation, 1) << "a drag outside keeps full saturation at its angle";
    EXPECT_EQ(outside.brightness, 0.7);
    EXPECT_EQ(CircularColorWheel::selection({100, 100}, view, 1), (HSBComponents{0, 0, 1}));
    const Point marker = CircularColorWheel::markerPosition(0.25, 0.5, view);
    EXPECT_NEAR(marker.x, 100, 1e-9);
    EXPECT_NEAR(marker.y, 50, 1e-9);
}

TEST(CircularColorWheelTest, WheelImageMatchesTheSelectionMapping) {
    const auto image = CircularColorWheel::makeWheelImage({64.4, 64.4}, 1);
    ASSERT_TRUE(image);
    ASSERT_EQ(image->width(), 64);
    const auto pixel = [&](int x, int y) {
        const std::uint8_t* p = image->row(y) + x * 4;
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    EXPECT_EQ(pixel(0, 0)[3], 0) << "corners lie outside the circle";
    const auto rim = pixel(63, 32);
    EXPECT_EQ(rim[0], 255) << "red at the right rim";
    EXPECT_LT(rim[1], 12);
    EXPECT_LT(rim[2], 12);
    EXPECT_EQ(rim[3], 255);
    const auto top = pixel(32, 0);
    EXPECT_EQ(top[3], 255);
    EXPECT_GT(top[1], top[0]) << "a quarter turn up is yellow-green, more green than red";
    const auto centre = pixel(32, 32);
    EXPECT_GT(centre[0], 240);
    EXPECT_GT(centre[1], 240);
    EXPECT_GT(centre[2], 240) << "the centre is nearly white";
    EXPECT_EQ(CircularColorWheel::makeWheelImage({0.2, 0}, 1)->width(), 1);
    EXPECT_FALSE(CircularColorWheel::makeWheelImage({std::nan(""), 10}, 1));
}

} // namespace
} // namespace brisklet
