#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Json.h"
#include "ZelvorCore/Models/StoredColor.h"

#include <optional>
#include <string>
#include <variant>

namespace brisklet {

/// What lies behind the screenshot on the decorative canvas. Stored as an object with one key
/// naming the case ({"preset": {"id": …}}, {"solidColor": {"_0": {…}}}, {"transparent": {}}, …).
struct BackgroundSource {
    struct Preset {
        std::string id;
        bool operator==(const Preset&) const = default;
    };
    struct CustomImage {
        std::string path;
        bool operator==(const CustomImage&) const = default;
    };
    struct SolidColor {
        StoredColor color;
        bool operator==(const SolidColor&) const = default;
    };
    struct Transparent {
        bool operator==(const Transparent&) const = default;
    };
    struct DesktopWallpaper {
        bool operator==(const DesktopWallpaper&) const = default;
    };

    std::variant<Preset, CustomImage, SolidColor, Transparent, DesktopWallpaper> value = Preset{"ocean-glass"};

    bool operator==(const BackgroundSource&) const = default;
};

/// Canvas aspect ratio; `automatic` is exactly the size the content needs.
struct CanvasAspectPreset {
    enum class Kind { automatic, square, portrait, landscape, story, custom };
    Kind kind = Kind::portrait;
    double customWidth = 0; // only for `custom`
    double customHeight = 0;

    static CanvasAspectPreset custom(double width, double height) { return {Kind::custom, width, height}; }

    /// Width ÷ height; nothing for `automatic` (and for a degenerate custom ratio).
    std::optional<double> ratio() const;
    /// "Auto", "1:1", "4:5", "16:9", "9:16", or "width:height".
    std::string displayName() const;

    bool operator==(const CanvasAspectPreset&) const = default;
};

enum class CanvasAlignment {
    topLeading,
    top,
    topTrailing,
    leading,
    center,
    trailing,
    bottomLeading,
    bottom,
    bottomTrailing
};

enum class BackgroundFrameStyle { none, browserLight, browserDark, iphoneLight, iphoneDark, macbookLight, macbookDark };

enum class WindowShadowMode { keep, trim };

enum class BackgroundTemplatePreset { xPost, linkedInPost, productHuntGallery, wechatCover, xiaohongshuCover };

template <> struct EnumTraits<CanvasAlignment> {
    static constexpr std::array<std::pair<CanvasAlignment, std::string_view>, 9> names{{
        {CanvasAlignment::topLeading, "topLeading"},
        {CanvasAlignment::top, "top"},
        {CanvasAlignment::topTrailing, "topTrailing"},
        {CanvasAlignment::leading, "leading"},
        {CanvasAlignment::center, "center"},
        {CanvasAlignment::trailing, "trailing"},
        {CanvasAlignment::bottomLeading, "bottomLeading"},
        {CanvasAlignment::bottom, "bottom"},
        {CanvasAlignment::bottomTrailing, "bottomTrailing"},
    }};
};

template <> struct EnumTraits<BackgroundFrameStyle> {
    static constexpr std::array<std::pair<BackgroundFrameStyle, std::string_view>, 7> names{{
        {BackgroundFrameStyle::none, "none"},
        {BackgroundFrameStyle::browserLight, "browserLight"},
        {BackgroundFrameStyle::browserDark, "browserDark"},
        {BackgroundFrameStyle::iphoneLight, "iphoneLight"},
        {BackgroundFrameStyle::iphoneDark, "iphoneDark"},
        {BackgroundFrameStyle::macbookLight, "macbookLight"},
        {BackgroundFrameStyle::macbookDark, "macbookDark"},
    }};
};

template <> struct EnumTraits<WindowShadowMode> {
    static constexpr std::array<std::pair<WindowShadowMode, std::string_view>, 2> names{{
        {WindowShadowMode::keep, "keep"},
        {WindowShadowMode::trim, "trim"},
    }};
};

template <> struct EnumTraits<BackgroundTemplatePreset> {
    static constexpr std::array<std::pair<BackgroundTemplatePreset, std::string_view>, 5> names{{
        {BackgroundTemplatePreset::xPost, "xPost"},
        {BackgroundTemplatePreset::linkedInPost, "linkedInPost"},
        {BackgroundTemplatePreset::productHuntGallery, "productHuntGallery"},
        {BackgroundTemplatePreset::wechatCover, "wechatCover"},
        {BackgroundTemplatePreset::xiaohongshuCover, "xiaohongshuCover"},
    }};
};

/// Brightness, blur and pan/zoom of an image background.
struct BackgroundImageAdjustment {
    double brightness = 1;
    double blurRadius = 0;
    double scale = 1;
    double offsetX = 0;
    double offsetY = 0;

    bool operator==(const BackgroundImageAdjustment&) const = default;
};

/// Background, padding, frame and shadow applied to a screenshot or a GIF.
struct BackgroundComposition {
    BackgroundSource source;
    CanvasAspectPreset aspectPreset;
    double padding = 72;
    CanvasAlignment alignment = CanvasAlignment::center;
    Size contentOffset;
    double shadowStrength = 72;
    double cornerRadius = 24;
    BackgroundImageAdjustment imageAdjustment;
    BackgroundFrameStyle frameStyle = BackgroundFrameStyle::none;
    std::optional<BackgroundTemplatePreset> appliedTemplateID;
    WindowShadowMode windowShadowMode = WindowShadowMode::trim;

    /// Shadow strength an older on/off shadow switch stands for.
    static double shadowStrengthForLegacySwitch(bool showsShadow) { return showsShadow ? 72 : 0; }

    bool operator==(const BackgroundComposition&) const = default;
};

/// A composition the user saved under a name.
struct SavedBackgroundPreset {
    std::string id;
    std::string name;
    BackgroundComposition composition;

    bool operator==(const SavedBackgroundPreset&) const = default;
};

void read(const Json& j, BackgroundSource& out);
Json write(const BackgroundSource& value);
void read(const Json& j, CanvasAspectPreset& out);
Json write(const CanvasAspectPreset& value);
void read(const Json& j, BackgroundImageAdjustment& out);
Json write(const BackgroundImageAdjustment& value);
void read(const Json& j, BackgroundComposition& out);
Json write(const BackgroundComposition& value);
void read(const Json& j, SavedBackgroundPreset& out);
Json write(const SavedBackgroundPreset& value);

} // namespace brisklet
