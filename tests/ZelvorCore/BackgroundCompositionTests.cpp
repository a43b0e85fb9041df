#include "ZelvorCore/Foundation/JsonCoding.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

BackgroundComposition decode(const std::string& text) {
    BackgroundComposition c;
    read(json::parse(text), c);
    return c;
}

constexpr const char* requiredKeys =
    R"("source": {"preset": {"id": "sunset"}}, "aspectPreset": {"square": {}}, "padding": 40, "alignment": "top", "cornerRadius": 12)";

TEST(BackgroundCompositionCoding, OptionalKeysTakeDefaultsAndLegacyShadowSwitchIsRead) {
    const auto c = decode(std::string("{") + requiredKeys + "}");
    EXPECT_EQ(c.source, BackgroundSource{BackgroundSource::Preset{"sunset"}});
    EXPECT_EQ(c.aspectPreset.kind, CanvasAspectPreset::Kind::square);
    EXPECT_EQ(c.shadowStrength, 72.0) << "no strength and no switch means the old default: on";
    EXPECT_EQ(c.windowShadowMode, WindowShadowMode::trim);
    EXPECT_EQ(c.frameStyle, BackgroundFrameStyle::none);
    EXPECT_EQ(c.contentOffset, (Size{0, 0}));

    EXPECT_EQ(decode(std::string("{") + requiredKeys + R"(, "showsShadow": false})").shadowStrength, 0.0);
    EXPECT_EQ(
        decode(std::string("{") + requiredKeys + R"(, "showsShadow": false, "shadowStrength": 30})").shadowStrength,
        30.0);
}

TEST(BackgroundCompositionCoding, MissingRequiredKeyOrUnknownCaseFails) {
    EXPECT_THROW(
        decode(
            R"({"source": {"preset": {"id": "x"}}, "aspectPreset": {"square": {}}, "padding": 1, "alignment": "top"})"),
        json::DecodeError);
    EXPECT_THROW(
        decode(
            R"({"source": {"hologram": {}}, "aspectPreset": {"square": {}}, "padding": 1, "alignment": "top", "cornerRadius": 1})"),
        json::DecodeError);
    EXPECT_THROW(
        decode(
            R"({"source": {"transparent": {}}, "aspectPreset": {"square": {}}, "padding": 1, "alignment": "middle", "cornerRadius": 1})"),
        json::DecodeError);
}

TEST(BackgroundCompositionCoding, EveryCaseRoundTripsAndShowsShadowIsNeverWritten) {
    const std::vector<BackgroundSource> sources = {
        {BackgroundSource::Preset{"ocean-glass"}},
        {BackgroundSource::CustomImage{"/home/me/bg.jpg"}},
        {BackgroundSource::SolidColor{StoredColor::slate()}},
        {BackgroundSource::Transparent{}},
        {BackgroundSource::DesktopWallpaper{}},
    };
    for (const auto& source : sources) {
        BackgroundComposition c;
        c.source = source;
        c.aspectPreset = CanvasAspectPreset::custom(3, 2);
        c.appliedTemplateID = BackgroundTemplatePreset::wechatCover;
        c.contentOffset = {4, -2};
        const Json j = write(c);
        EXPECT_FALSE(j.contains("showsShadow"));
        EXPECT_EQ(decode(j.dump()), c) << j.dump();
    }
    EXPECT_EQ(write(BackgroundSource{BackgroundSource::SolidColor{StoredColor::white()}}).dump(),
              R"({"solidColor":{"_0":{"red":1.0,"green":1.0,"blue":1.0,"alpha":1.0}}})");
}

TEST(CanvasAspectPresetValues, RatiosAndNames) {
    EXPECT_FALSE(CanvasAspectPreset{CanvasAspectPreset::Kind::automatic}.ratio().has_value());
    EXPECT_DOUBLE_EQ(*CanvasAspectPreset{CanvasAspectPreset::Kind::story}.ratio(), 0.5625);
    EXPECT_EQ(CanvasAspectPreset{CanvasAspectPreset::Kind::portrait}.displayName(), "4:5");
    EXPECT_EQ(CanvasAspectPreset::custom(3, 2.5).displayName(), "3:2.5");
}

} // namespace
} // namespace brisklet
