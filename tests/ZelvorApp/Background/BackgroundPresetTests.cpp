#include "ZelvorApp/Background/BackgroundGradientGenerator.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Background/BackgroundSavedPresets.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Models/HSBComponents.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

namespace brisklet {
namespace {

TEST(BackgroundPresets, TheBuiltInListInDisplayOrder) {
    const auto& presets = BackgroundPreset::all();
    ASSERT_EQ(presets.size(), 19u);
    EXPECT_EQ(presets.front().id, "clean-canvas");
    EXPECT_EQ(presets.back().id, "berry-night");
    std::set<std::string> ids;
    for (const auto& preset : presets) {
        EXPECT_TRUE(ids.insert(preset.id).second) << preset.id;
        EXPECT_TRUE(preset.nameKey) << preset.id;
    }
    const auto ocean = BackgroundPreset::presetFor("ocean-glass");
    ASSERT_TRUE(ocean);
    EXPECT_EQ(ocean->name, "Ocean Glass");
    EXPECT_EQ(ocean->style, (BackgroundPreset::Style{
                                BackgroundPreset::Gradient{{0.035, 0.137, 0.392, 1}, {0.122, 0.294, 0.682, 1}}}));
    EXPECT_EQ(BackgroundPreset::presetFor("graphite")->style,
              (BackgroundPreset::Style{BackgroundPreset::Solid{{0.165, 0.176, 0.204, 1}}}));
    EXPECT_FALSE(BackgroundPreset::presetFor("sunset"));
}

TEST(BackgroundPresets, GeneratedGradientIdsEncodeAndDecodeTheirColours) {
    const StoredColor start{0.12345, 1.7, -0.2, 1};
    const StoredColor end{0.5, 0.25, 0.0625, 0.9996};
    const std::string id = BackgroundPreset::generatedGradientID(start, end);
    EXPECT_EQ(id, "generated-gradient:0.123,1.000,0.000,1.000:0.500,0.250,0.062,1.000") << "clamped, three decimals";
    const auto preset = BackgroundPreset::presetFor(id);
    ASSERT_TRUE(preset);
    EXPECT_EQ(preset->id, id);
    EXPECT_FALSE(preset->nameKey);
    EXPECT_EQ(preset->style,
              (BackgroundPreset::Style{BackgroundPreset::Gradient{{0.123, 1, 0, 1}, {0.5, 0.25, 0.062, 1}}}));
}

TEST(BackgroundPresets, MalformedGeneratedIdsAreUnknown) {
    for (const char* id : {
             "generated-gradient:0.1,0.2,0.3,1",                     // one colour
             "generated-gradient:0.1,0.2,0.3:0.1,0.2,0.3,1",         // three components
             "generated-gradient:0.1,0.2,0.3,1:0.1,0.2,0.3,1:extra", // four parts
             "generated-gradient:0.1,x,0.3,1:0.1,0.2,0.3,1",         // not a number
             "generated-gradient:0.1,,0.3,1:0.1,0.2,0.3,1",          // empty number
             "generated-gradient:nan,0.2,0.3,1:0.1,0.2,0.3,1",       // not finite
             "generated-gradien:0.1,0.2,0.3,1:0.1,0.2,0.3,1",        // wrong prefix
             "",
         }) {
        EXPECT_FALSE(BackgroundPreset::presetFor(id)) << id;
    }
    const auto outOfRange = BackgroundPreset::presetFor("generated-gradient:7,0.2,0.3,1:0.1,0.2,-3,1");
    ASSERT_TRUE(outOfRange) << "numbers out of range still decode, held to 0...1";
    EXPECT_EQ(std::get<BackgroundPreset::Gradient>(outOfRange->style).start.red, 1);
    EXPECT_EQ(std::get<BackgroundPreset::Gradient>(outOfRange->style).end.blue, 0);
}

// Expected pairs computed independently (Python's colorsys from the generator's description).
TEST(BackgroundGradientGenerator, SeedsGiveTheSamePairsEverywhere) {
    using Pair = BackgroundGradientGenerator::Pair;
    EXPECT_EQ(BackgroundGradientGenerator::generate(0), (Pair{{0.739, 0.768, 0.218, 1}, {0.333, 0.89, 0.842, 1}}));
    EXPECT_EQ(BackgroundGradientGenerator::generate(0), BackgroundGradientGenerator::generate(0));
    EXPECT_EQ(BackgroundGradientGenerator::generate(1), (Pair{{0.329, 0.895, 0.634, 1}, {0.452, 0.263, 0.775, 1}}));
    EXPECT_EQ(BackgroundGradientGenerator::generate(42), (Pair{{0.268, 0.624, 0.87, 1}, {0.336, 0.308, 0.626, 1}}));
    EXPECT_EQ(BackgroundGradientGenerator::generate(12345678901234567890ULL),
              (Pair{{0.643, 0.872, 0.368, 1}, {0.171, 0.79, 0.374, 1}}))
        << "seeds wrap around 64 bits";
    EXPECT_NE(BackgroundGradientGenerator::generate(0), BackgroundGradientGenerator::generate(1));
}

double brightnessOf(const StoredColor& c) {
    return std::max({c.red, c.green, c.blue});
}

double saturationOf(const StoredColor& c) {
    const double v = brightnessOf(c);
    return v <= 0 ? 0 : (v - std::min({c.red, c.green, c.blue})) / v;
}

TEST(BackgroundGradientGenerator, EveryPairStaysWithinItsPalette) {
    std::set<std::pair<double, double>> distinct;
    for (std::uint64_t seed = 0; seed < 500; ++seed) {
        const auto pair = BackgroundGradientGenerator::generate(seed * 7919);
        for (const StoredColor& c : {pair.start, pair.end}) {
            for (double component : {c.red, c.green, c.blue}) {
                EXPECT_GE(component, 0);
                EXPECT_LE(component, 1);
                EXPECT_NEAR(component * 1000, std::round(component * 1000), 1e-6) << "three decimals";
            }
            EXPECT_EQ(c.alpha, 1);
        }
        EXPECT_GE(brightnessOf(pair.start), 0.72 - 0.001);
        EXPECT_LE(brightnessOf(pair.start), 0.94 + 0.001);
        EXPECT_GE(saturationOf(pair.start), 0.54 - 0.01);
        EXPECT_LE(saturationOf(pair.start), 0.78 + 0.01);
        EXPECT_GE(brightnessOf(pair.end), 0.62 - 0.001);
        EXPECT_LE(brightnessOf(pair.end), 0.90 + 0.001);
        distinct.insert({pair.start.red, pair.end.green});
    }
    EXPECT_GT(distinct.size(), 450u) << "different seeds give different gradients";
}

TEST(BackgroundGradientGenerator, HSBConversionCoversEverySector) {
    EXPECT_EQ((HSBComponents{0, 1, 1}.color()), (StoredColor{1, 0, 0, 1}));
    EXPECT_EQ((HSBComponents{1.0 / 3, 1, 1}.color()), (StoredColor{0, 1, 0, 1}));
    EXPECT_EQ((HSBComponents{2.0 / 3, 1, 0.5}.color()), (StoredColor{0, 0, 0.5, 1}));
    EXPECT_EQ((HSBComponents{-0.5, 0, 1}.color()), (StoredColor{1, 1, 1, 1})) << "hue wraps";
    EXPECT_EQ((HSBComponents{0.25, -1, -1}.color()), (StoredColor{0, 0, 0, 1}));
}

std::string untitled(int n) {
    return "Preset " + std::to_string(n);
}

TEST(BackgroundSavedPresets, SaveRenameDeleteAndDefault) {
    AppPreferences preferences;
    BackgroundComposition look;
    look.padding = 99;
    const auto first = BackgroundSavedPresets::save(preferences, "  Launch day \n", look, "ID-1", untitled);
    EXPECT_EQ(first.name, "Launch day");
    EXPECT_EQ(first.composition, look);
    const auto second = BackgroundSavedPresets::save(preferences, " \t\n", look, "ID-2", untitled);
    EXPECT_EQ(second.name, "Preset 1") << "no name given";
    EXPECT_EQ(BackgroundSavedPresets::save(preferences, "", look, "ID-3", untitled).name, "Preset 2");
    ASSERT_EQ(preferences.savedBackgroundPresets.size(), 3u);
    EXPECT_EQ(preferences.savedBackgroundPresets[0].id, "ID-1") << "appended in order";

    EXPECT_FALSE(BackgroundSavedPresets::rename(preferences, "ID-1", "   ")) << "an empty name only beeps";
    EXPECT_EQ(BackgroundSavedPresets::find(preferences, "ID-1")->name, "Launch day");
    EXPECT_TRUE(BackgroundSavedPresets::rename(preferences, "ID-1", " Keynote "));
    EXPECT_EQ(BackgroundSavedPresets::find(preferences, "ID-1")->name, "Keynote");
    EXPECT_FALSE(BackgroundSavedPresets::rename(preferences, "nope", "Name"));

    EXPECT_FALSE(BackgroundSavedPresets::makeDefault(preferences, "nope"));
    EXPECT_FALSE(preferences.defaultBackgroundPresetID);
    EXPECT_TRUE(BackgroundSavedPresets::makeDefault(preferences, "ID-2"));
    EXPECT_EQ(preferences.defaultBackgroundPresetID, "ID-2");

    EXPECT_TRUE(BackgroundSavedPresets::remove(preferences, "ID-2"));
    EXPECT_FALSE(preferences.defaultBackgroundPresetID) << "the default went with its preset";
    EXPECT_FALSE(BackgroundSavedPresets::remove(preferences, "ID-2"));
    EXPECT_EQ(BackgroundSavedPresets::save(preferences, "", look, "ID-4", untitled).name, "Preset 1")
        << "the freed untitled number is used again";
    EXPECT_TRUE(BackgroundSavedPresets::makeDefault(preferences, std::nullopt));
}

} // namespace
} // namespace brisklet
