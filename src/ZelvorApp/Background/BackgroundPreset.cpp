#include "ZelvorApp/Background/BackgroundPreset.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace brisklet {

namespace {

BackgroundPreset solid(const char* id, const char* name, L10nKey key, StoredColor color) {
    return {id, name, BackgroundPreset::Solid{color}, key};
}

BackgroundPreset gradient(const char* id, const char* name, L10nKey key, StoredColor start, StoredColor end) {
    return {id, name, BackgroundPreset::Gradient{start, end}, key};
}

std::string encodeComponent(double value) {
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.3f", std::clamp(std::isnan(value) ? 0.0 : value, 0.0, 1.0));
    return buffer;
}

std::string encodeColor(const StoredColor& c) {
    return encodeComponent(c.red) + "," + encodeComponent(c.green) + "," + encodeComponent(c.blue) + "," +
           encodeComponent(c.alpha);
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) {
            return parts;
        }
        start = end + 1;
    }
}

std::optional<double> parseNumber(std::string_view text) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

/// Four numbers joined by ","; components are held to 0...1 so a hand-edited id cannot produce an
/// out-of-range colour.
std::optional<StoredColor> decodeColor(std::string_view text) {
    const auto parts = split(text, ',');
    if (parts.size() != 4) {
        return std::nullopt;
    }
    double components[4];
    for (std::size_t i = 0; i < 4; ++i) {
        const auto value = parseNumber(parts[i]);
        if (!value) {
            return std::nullopt;
        }
        components[i] = std::clamp(*value, 0.0, 1.0);
    }
    return StoredColor{components[0], components[1], components[2], components[3]};
}

std::optional<BackgroundPreset> decodeGeneratedGradient(std::string_view id) {
    const auto parts = split(id, ':');
    if (parts.size() != 3 || parts[0] != BackgroundPreset::generatedGradientPrefix) {
        return std::nullopt;
    }
    const auto start = decodeColor(parts[1]);
    const auto end = decodeColor(parts[2]);
    if (!start || !end) {
        return std::nullopt;
    }
    return BackgroundPreset{std::string(id), "Generated Gradient", BackgroundPreset::Gradient{*start, *end},
                            std::nullopt};
}

} // namespace

const std::vector<BackgroundPreset>& BackgroundPreset::all() {
    using K = L10nKey;
    static const std::vector<BackgroundPreset> presets{
        solid("clean-canvas", "Clean", K::backgroundPresetClean, {0.965, 0.976, 0.988, 1}),
        gradient("social-warmth", "Social", K::backgroundPresetSocial, {1.0, 0.879, 0.816, 1},
                 {0.949, 0.608, 0.776, 1}),
        gradient("product-ocean", "Product", K::backgroundPresetProduct, {0.407, 0.872, 0.98, 1},
                 {0.231, 0.407, 0.968, 1}),
        gradient("dark-moon", "Dark", K::backgroundPresetDark, {0.105, 0.112, 0.133, 1}, {0.223, 0.235, 0.268, 1}),
        gradient("ocean-glass", "Ocean Glass", K::backgroundPresetOceanGlass, {0.035, 0.137, 0.392, 1},
                 {0.122, 0.294, 0.682, 1}),
        gradient("mist-lilac", "Mist Lilac", K::backgroundPresetMistLilac, {0.976, 0.946, 0.892, 1},
                 {0.827, 0.788, 0.976, 1}),
        gradient("violet-coral", "Violet Coral", K::backgroundPresetVioletCoral, {0.494, 0.408, 0.959, 1},
                 {0.967, 0.349, 0.62, 1}),
        gradient("emerald-lagoon", "Emerald Lagoon", K::backgroundPresetEmeraldLagoon, {0.114, 0.568, 0.616, 1},
                 {0.441, 0.842, 0.522, 1}),
        gradient("peach-glow", "Peach Glow", K::backgroundPresetPeachGlow, {0.995, 0.858, 0.737, 1},
                 {0.981, 0.454, 0.444, 1}),
        gradient("sunset-bloom", "Sunset Bloom", K::backgroundPresetSunsetBloom, {0.996, 0.541, 0.408, 1},
                 {0.949, 0.271, 0.529, 1}),
        gradient("indigo-mist", "Indigo Mist", K::backgroundPresetIndigoMist, {0.188, 0.239, 0.643, 1},
                 {0.525, 0.349, 0.945, 1}),
        gradient("mint-fade", "Mint Fade", K::backgroundPresetMintFade, {0.286, 0.831, 0.741, 1},
                 {0.173, 0.408, 0.584, 1}),
        gradient("peach-haze", "Peach Haze", K::backgroundPresetPeachHaze, {1.0, 0.773, 0.592, 1},
                 {0.992, 0.561, 0.612, 1}),
        gradient("midnight-ink", "Midnight Ink", K::backgroundPresetMidnightInk, {0.067, 0.098, 0.173, 1},
                 {0.137, 0.208, 0.38, 1}),
        gradient("skyline", "Skyline", K::backgroundPresetSkyline, {0.318, 0.678, 0.957, 1}, {0.125, 0.333, 0.894, 1}),
        solid("olive-paper", "Olive Paper", K::backgroundPresetOlivePaper, {0.78, 0.82, 0.635, 1}),
        solid("graphite", "Graphite", K::backgroundPresetGraphite, {0.165, 0.176, 0.204, 1}),
        solid("cream-note", "Cream Note", K::backgroundPresetCreamNote, {0.976, 0.941, 0.863, 1}),
        gradient("berry-night", "Berry Night", K::backgroundPresetBerryNight, {0.42, 0.161, 0.412, 1},
                 {0.125, 0.114, 0.298, 1}),
    };
    return presets;
}

std::optional<BackgroundPreset> BackgroundPreset::presetFor(std::string_view id) {
    if (auto generated = decodeGeneratedGradient(id)) {
        return generated;
    }
    for (const auto& preset : all()) {
        if (preset.id == id) {
            return preset;
        }
    }
    return std::nullopt;
}

std::string BackgroundPreset::generatedGradientID(const StoredColor& start, const StoredColor& end) {
    return std::string(generatedGradientPrefix) + ":" + encodeColor(start) + ":" + encodeColor(end);
}

} // namespace brisklet
