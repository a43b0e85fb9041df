#include "ZelvorCore/Models/BackgroundComposition.h"

#include "ZelvorCore/Foundation/JsonCoding.h"

namespace brisklet {

namespace {

using AspectKind = CanvasAspectPreset::Kind;

constexpr std::array<std::pair<AspectKind, std::string_view>, 6> aspectNames{{
    {AspectKind::automatic, "automatic"},
    {AspectKind::square, "square"},
    {AspectKind::portrait, "portrait"},
    {AspectKind::landscape, "landscape"},
    {AspectKind::story, "story"},
    {AspectKind::custom, "custom"},
}};

/// The single key of a case-tagged object, with its payload object.
std::pair<std::string, const Json*> singleCase(const Json& j) {
    json::requireObject(j);
    if (j.size() != 1) {
        json::fail("expected exactly one case key");
    }
    const auto it = j.begin();
    if (!it.value().is_object()) {
        json::fail("case payload must be an object");
    }
    return {it.key(), &it.value()};
}

Json tagged(const char* name, Json payload = Json::object()) {
    Json j = Json::object();
    j[name] = std::move(payload);
    return j;
}

} // namespace

void read(const Json& j, BackgroundSource& out) {
    const auto [name, payload] = singleCase(j);
    if (name == "preset") {
        BackgroundSource::Preset preset;
        json::field(*payload, "id", preset.id);
        out.value = preset;
    } else if (name == "customImage") {
        BackgroundSource::CustomImage image;
        json::field(*payload, "path", image.path);
        out.value = image;
    } else if (name == "solidColor") {
        BackgroundSource::SolidColor solid;
        json::field(*payload, "_0", solid.color);
        out.value = solid;
    } else if (name == "transparent") {
        out.value = BackgroundSource::Transparent{};
    } else if (name == "desktopWallpaper") {
        out.value = BackgroundSource::DesktopWallpaper{};
    } else {
        json::fail("unknown background source \"" + name + "\"");
    }
}

Json write(const BackgroundSource& value) {
    struct Writer {
        Json operator()(const BackgroundSource::Preset& p) const { return tagged("preset", Json{{"id", p.id}}); }
        Json operator()(const BackgroundSource::CustomImage& c) const {
            return tagged("customImage", Json{{"path", c.path}});
        }
        Json operator()(const BackgroundSource::SolidColor& s) const {
            Json payload = Json::object();
            payload["_0"] = write(s.color);
            return tagged("solidColor", std::move(payload));
        }
        Json operator()(const BackgroundSource::Transparent&) const { return tagged("transparent"); }
        Json operator()(const BackgroundSource::DesktopWallpaper&) const { return tagged("desktopWallpaper"); }
    };
    return std::visit(Writer{}, value.value);
}

std::optional<double> CanvasAspectPreset::ratio() const {
    switch (kind) {
    case Kind::automatic:
        return std::nullopt;
    case Kind::square:
        return 1.0;
    case Kind::portrait:
        return 0.8;
    case Kind::landscape:
        return 16.0 / 9.0;
    case Kind::story:
        return 0.5625;
    case Kind::custom:
        if (customWidth > 0 && customHeight > 0) {
            return customWidth / customHeight;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::string CanvasAspectPreset::displayName() const {
    switch (kind) {
    case Kind::automatic:
        return "Auto";
    case Kind::square:
        return "1:1";
    case Kind::portrait:
        return "4:5";
    case Kind::landscape:
        return "16:9";
    case Kind::story:
        return "9:16";
    case Kind::custom:
        return formatNumber(customWidth) + ":" + formatNumber(customHeight);
    }
    return {};
}

void read(const Json& j, CanvasAspectPreset& out) {
    const auto [name, payload] = singleCase(j);
    for (const auto& [kind, kindName] : aspectNames) {
        if (kindName == name) {
            out = CanvasAspectPreset{kind, 0, 0};
            if (kind == AspectKind::custom) {
                json::field(*payload, "width", out.customWidth);
                json::field(*payload, "height", out.customHeight);
            }
            return;
        }
    }
    json::fail("unknown aspect preset \"" + name + "\"");
}

Json write(const CanvasAspectPreset& value) {
    for (const auto& [kind, kindName] : aspectNames) {
        if (kind == value.kind) {
            const std::string name(kindName);
            if (kind == AspectKind::custom) {
                return tagged(name.c_str(), Json{{"width", value.customWidth}, {"height", value.customHeight}});
            }
            return tagged(name.c_str());
        }
    }
    return tagged("automatic");
}

void read(const Json& j, BackgroundImageAdjustment& out) {
    json::requireObject(j);
    json::field(j, "brightness", out.brightness);
    json::field(j, "blurRadius", out.blurRadius);
    json::field(j, "scale", out.scale);
    json::field(j, "offsetX", out.offsetX);
    json::field(j, "offsetY", out.offsetY);
}

Json write(const BackgroundImageAdjustment& value) {
    Json j = Json::object();
    json::put(j, "brightness", value.brightness);
    json::put(j, "blurRadius", value.blurRadius);
    json::put(j, "scale", value.scale);
    json::put(j, "offsetX", value.offsetX);
    json::put(j, "offsetY", value.offsetY);
    return j;
}

void read(const Json& j, BackgroundComposition& out) {
    json::requireObject(j);
    BackgroundComposition c;
    json::field(j, "source", c.source);
    json::field(j, "aspectPreset", c.aspectPreset);
    json::field(j, "padding", c.padding);
    json::field(j, "alignment", c.alignment);
    json::optionalField(j, "contentOffset", c.contentOffset);
    const auto strength = j.find("shadowStrength");
    if (strength != j.end() && !strength->is_null()) {
        json::field(j, "shadowStrength", c.shadowStrength);
    } else {
        // Documents from before the strength slider only had an on/off switch.
        bool showsShadow = true;
        json::optionalField(j, "showsShadow", showsShadow);
        c.shadowStrength = BackgroundComposition::shadowStrengthForLegacySwitch(showsShadow);
    }
    json::field(j, "cornerRadius", c.cornerRadius);
    json::optionalField(j, "imageAdjustment", c.imageAdjustment);
    json::optionalField(j, "frameStyle", c.frameStyle);
    json::optionalField(j, "appliedTemplateID", c.appliedTemplateID);
    json::optionalField(j, "windowShadowMode", c.windowShadowMode);
    out = std::move(c);
}

Json write(const BackgroundComposition& value) {
    Json j = Json::object();
    json::put(j, "source", value.source);
    json::put(j, "aspectPreset", value.aspectPreset);
    json::put(j, "padding", value.padding);
    json::put(j, "alignment", value.alignment);
    json::put(j, "contentOffset", value.contentOffset);
    json::put(j, "shadowStrength", value.shadowStrength);
    json::put(j, "cornerRadius", value.cornerRadius);
    json::put(j, "imageAdjustment", value.imageAdjustment);
    json::put(j, "frameStyle", value.frameStyle);
    json::put(j, "appliedTemplateID", value.appliedTemplateID);
    json::put(j, "windowShadowMode", value.windowShadowMode);
    return j;
}

void read(const Json& j, SavedBackgroundPreset& out) {
    json::requireObject(j);
    json::field(j, "id", out.id);
    json::field(j, "name", out.name);
    json::field(j, "composition", out.composition);
}

Json write(const SavedBackgroundPreset& value) {
    Json j = Json::object();
    json::put(j, "id", value.id);
    json::put(j, "name", value.name);
    json::put(j, "composition", value.composition);
    return j;
}

} // namespace brisklet
