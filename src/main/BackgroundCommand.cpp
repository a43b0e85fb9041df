#include "main/BackgroundCommand.h"

#include "main/CommandImageInput.h"
#include "main/QtHeadless.h"

#include "Platform/BackgroundRenderer.h"
#include "Platform/ImageCodec.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Desktop/LinuxDesktopPictureSource.h"
#include "Platform/Linux/Desktop/QtWallpaperImageReader.h"
#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "Platform/WallpaperImageReader.h"
#include "ZelvorApp/Background/BackgroundGradientGenerator.h"
#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Background/BackgroundTemplate.h"
#include "ZelvorApp/Background/SystemWallpaperCatalog.h"
#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"
#include "ZelvorCore/Foundation/AtomicFile.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace brisklet {

namespace {

constexpr const char* usage =
    "brisklet: usage: brisklet background IMAGE -o OUT.png [--preset ID | --color '#RRGGBB' | --image FILE |\n"
    "          --wallpaper | --transparent | --gradient-seed N] [--template NAME] [--frame STYLE]\n"
    "          [--aspect auto|1:1|4:5|16:9|9:16|W:H] [--padding N] [--shadow 0-100] [--corner N]\n"
    "          [--align NAME] [--brightness X] [--blur N] [--window]\n"
    "       brisklet background --list\n";

struct BackgroundArguments {
    std::string image;
    std::string output;
    bool list = false;
    bool window = false;
    std::vector<BackgroundSource> sources;
    std::optional<BackgroundTemplatePreset> templatePreset;
    std::optional<BackgroundFrameStyle> frame;
    std::optional<CanvasAspectPreset> aspect;
    std::optional<CanvasAlignment> alignment;
    std::optional<double> padding;
    std::optional<double> shadow;
    std::optional<double> corner;
    std::optional<double> brightness;
    std::optional<double> blur;
};

std::optional<double> parseNumber(const std::string& text, double lo, double hi) {
    double value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || !std::isfinite(value) ||
        value < lo || value > hi) {
        return std::nullopt;
    }
    return value;
}

std::optional<CanvasAspectPreset> parseAspect(const std::string& text) {
    using Kind = CanvasAspectPreset::Kind;
    static const std::map<std::string, Kind> named{
        {"auto", Kind::automatic}, {"automatic", Kind::automatic}, {"1:1", Kind::square},
        {"square", Kind::square},  {"4:5", Kind::portrait},        {"portrait", Kind::portrait},
        {"16:9", Kind::landscape}, {"landscape", Kind::landscape}, {"9:16", Kind::story},
        {"story", Kind::story},
    };
    if (const auto found = named.find(text); found != named.end()) {
        return CanvasAspectPreset{found->second};
    }
    const auto colon = text.find(':');
    if (colon == std::string::npos) {
        return std::nullopt;
    }
    const auto width = parseNumber(text.substr(0, colon), 0.001, 100000);
    const auto height = parseNumber(text.substr(colon + 1), 0.001, 100000);
    if (!width || !height) {
        return std::nullopt;
    }
    return CanvasAspectPreset::custom(*width, *height);
}

template <class E> std::string namesOf() {
    std::string names;
    for (const auto value : allCases<E>()) {
        names += (names.empty() ? "" : ", ") + std::string(toString(value));
    }
    return names;
}

template <class E>
std::optional<std::string> setEnum(const std::string& value, std::optional<E>& out, const char* what) {
    out = enumFromString<E>(value);
    if (!out) {
        return "unknown " + std::string(what) + " '" + value + "' (choose " + namesOf<E>() + ")";
    }
    return std::nullopt;
}

std::optional<std::string> setNumber(const std::string& value, std::optional<double>& out, double lo, double hi,
                                     const char* what) {
    out = parseNumber(value, lo, hi);
    if (!out) {
        return std::string(what) + " must be a number from " + formatNumber(lo) + " to " + formatNumber(hi) +
               ", not '" + value + "'";
    }
    return std::nullopt;
}

using OptionHandler = std::function<std::optional<std::string>(const std::string& value)>;

std::map<std::string, OptionHandler> valueOptions(BackgroundArguments& a) {
    using Source = BackgroundSource;
    return {
        {"-o",
         [&a](const std::string& v) -> std::optional<std::string> {
             a.output = v;
             return std::nullopt;
         }},
        {"--output",
         [&a](const std::string& v) -> std::optional<std::string> {
             a.output = v;
             return std::nullopt;
         }},
        {"--preset",
         [&a](const std::string& v) -> std::optional<std::string> {
             if (!BackgroundPreset::presetFor(v)) {
                 return "unknown preset '" + v + "' (see brisklet background --list)";
             }
             a.sources.push_back({Source::Preset{v}});
             return std::nullopt;
         }},
        {"--color",
         [&a](const std::string& v) -> std::optional<std::string> {
             const auto color = BackgroundColorPickerLogic::colorFromHex(v);
             if (!color) {
                 return "--color needs six hexadecimal digits such as '#1E90FF', not '" + v + "'";
             }
             a.sources.push_back({Source::SolidColor{*color}});
             return std::nullopt;
         }},
        {"--image",
         [&a](const std::string& v) -> std::optional<std::string> {
             a.sources.push_back({Source::CustomImage{std::filesystem::absolute(v).string()}});
             return std::nullopt;
         }},
        {"--gradient-seed",
         [&a](const std::string& v) -> std::optional<std::string> {
             std::uint64_t seed = 0;
             const auto [end, error] = std::from_chars(v.data(), v.data() + v.size(), seed);
             if (v.empty() || error != std::errc() || end != v.data() + v.size()) {
                 return "--gradient-seed needs a whole number, not '" + v + "'";
             }
             const auto pair = BackgroundGradientGenerator::generate(seed);
             a.sources.push_back({Source::Preset{BackgroundPreset::generatedGradientID(pair.start, pair.end)}});
             return std::nullopt;
         }},
        {"--template", [&a](const std::string& v) { return setEnum(v, a.templatePreset, "template"); }},
        {"--frame", [&a](const std::string& v) { return setEnum(v, a.frame, "frame"); }},
        {"--align", [&a](const std::string& v) { return setEnum(v, a.alignment, "alignment"); }},
        {"--aspect",
         [&a](const std::string& v) -> std::optional<std::string> {
             a.aspect = parseAspect(v);
             if (!a.aspect) {
                 return "--aspect takes auto, 1:1, 4:5, 16:9, 9:16 or W:H with positive numbers, not '" + v + "'";
             }
             return std::nullopt;
         }},
        {"--padding", [&a](const std::string& v) { return setNumber(v, a.padding, 0, 4096, "--padding"); }},
        {"--shadow", [&a](const std::string& v) { return setNumber(v, a.shadow, 0, 100, "--shadow"); }},
        {"--corner", [&a](const std::string& v) { return setNumber(v, a.corner, 0, 1024, "--corner"); }},
        {"--brightness", [&a](const std::string& v) { return setNumber(v, a.brightness, 0, 2, "--brightness"); }},
        {"--blur", [&a](const std::string& v) { return setNumber(v, a.blur, 0, 200, "--blur"); }},
    };
}

std::optional<BackgroundArguments> parse(const std::vector<std::string>& args, std::ostream& err) {
    BackgroundArguments parsed;
    const auto handlers = valueOptions(parsed);
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> value;
        if (const auto equals = name.find('='); name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
        }
        if (const auto handler = handlers.find(name); handler != handlers.end()) {
            if (!value && i + 1 < args.size()) {
                value = args[++i];
            }
            if (!value || value->empty()) {
                err << "brisklet: " << name << " needs a value\n";
                return std::nullopt;
            }
            if (const auto problem = handler->second(*value)) {
                err << "brisklet: " << *problem << "\n";
                return std::nullopt;
            }
        } else if (name == "--list" && !value) {
            parsed.list = true;
        } else if (name == "--window" && !value) {
            parsed.window = true;
        } else if (name == "--wallpaper" && !value) {
            parsed.sources.push_back({BackgroundSource::DesktopWallpaper{}});
        } else if (name == "--transparent" && !value) {
            parsed.sources.push_back({BackgroundSource::Transparent{}});
        } else if (name.rfind("-", 0) == 0 || !parsed.image.empty()) {
            err << "brisklet: unexpected argument '" << args[i] << "'\n";
            return std::nullopt;
        } else {
            parsed.image = name;
        }
    }
    if (parsed.sources.size() > 1) {
        err << "brisklet: choose one background: --preset, --color, --image, --wallpaper, --transparent or "
               "--gradient-seed\n";
        return std::nullopt;
    }
    if (!parsed.list && (parsed.image.empty() || parsed.output.empty())) {
        return std::nullopt;
    }
    return parsed;
}

BackgroundComposition compositionFor(const BackgroundArguments& a, Size contentSize) {
    const auto context = a.window ? BackgroundCaptureContext::window : BackgroundCaptureContext::region;
    BackgroundComposition c;
    if (!a.sources.empty()) {
        c.source = a.sources.front();
    }
    c = BackgroundLayout::balancedComposition(c, contentSize, context);
    if (a.templatePreset) {
        c = BackgroundLayout::compositionByApplying(*a.templatePreset, c, contentSize, context);
    }
    c.frameStyle = a.frame.value_or(c.frameStyle);
    c.aspectPreset = a.aspect.value_or(c.aspectPreset);
    c.alignment = a.alignment.value_or(c.alignment);
    c.padding = a.padding.value_or(c.padding);
    c.shadowStrength = a.shadow.value_or(c.shadowStrength);
    c.cornerRadius = a.corner.value_or(c.cornerRadius);
    c.imageAdjustment.brightness = a.brightness.value_or(c.imageAdjustment.brightness);
    c.imageAdjustment.blurRadius = a.blur.value_or(c.imageAdjustment.blurRadius);
    return c;
}

void printList(SystemWallpaperCatalog& catalog, std::ostream& out) {
    out << "Presets:\n";
    for (const auto& preset : BackgroundPreset::all()) {
        out << "  " << preset.id << " (" << preset.name << ")\n";
    }
    out << "Templates:\n";
    for (const auto& entry : BackgroundTemplate::all()) {
        out << "  " << toString(entry.id) << " (" << entry.title << ", " << entry.aspectPreset.displayName() << ", "
            << toString(entry.frameStyle) << ")\n";
    }
    out << "Frames:\n  " << namesOf<BackgroundFrameStyle>() << "\n";
    out << "Alignments:\n  " << namesOf<CanvasAlignment>() << "\n";
    const auto current = catalog.currentDesktopPicture();
    out << "Desktop picture:\n  " << (current ? current->string() : std::string("(the desktop does not say)")) << "\n";
    const auto wallpapers = catalog.wallpapers(48);
    out << "Wallpapers:\n";
    if (wallpapers.empty()) {
        out << "  (none installed)\n";
    }
    for (const auto& wallpaper : wallpapers) {
        out << "  " << wallpaper.name << "  " << wallpaper.id << "\n";
    }
}

/// Problems a background source can have before anything is drawn.
bool checkSource(const BackgroundArguments& a, const BackgroundCommandServices& services, std::ostream& err) {
    if (a.sources.empty()) {
        return true;
    }
    if (const auto* custom = std::get_if<BackgroundSource::CustomImage>(&a.sources.front().value)) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(custom->path, error) || !services.pictures.pixelSize(custom->path)) {
            err << "brisklet: cannot read the background picture " << custom->path << "\n";
            return false;
        }
    }
    if (std::holds_alternative<BackgroundSource::DesktopWallpaper>(a.sources.front().value) &&
        !services.catalog.currentDesktopPicture()) {
        err << "brisklet: the desktop does not say which picture it shows; using the plain window colour\n";
    }
    return true;
}

bool write(const ImageCodec& codec, const Image& image, const std::string& output, std::ostream& err) {
    const auto png = codec.encode(image, ImageFormat::png);
    if (!png) {
        err << "brisklet: the picture could not be encoded as PNG (" << toString(png.error()) << ")\n";
        return false;
    }
    if (const auto error = writeNewFileAtomically(output, png.value())) {
        if (error == std::errc::file_exists) {
            err << "brisklet: " << output << " already exists; choose a new file name\n";
        } else {
            err << "brisklet: cannot write " << output << ": " << error.message() << "\n";
        }
        return false;
    }
    return true;
}

} // namespace

int runBackgroundCommand(const std::vector<std::string>& args, const BackgroundCommandServices& services,
                         std::ostream& out, std::ostream& err) {
    const auto parsed = parse(args, err);
    if (!parsed) {
        err << usage;
        return 2;
    }
    if (parsed->list) {
        printList(services.catalog, out);
        return 0;
    }
    std::error_code ignored;
    if (std::filesystem::exists(parsed->output, ignored)) {
        err << "brisklet: " << parsed->output << " already exists; choose a new file name\n";
        return 1;
    }
    if (!checkSource(*parsed, services, err)) {
        return 1;
    }
    const auto image = readCommandInputImage(services.codec, parsed->image, err);
    if (!image) {
        return 1;
    }
    const Size contentSize{static_cast<double>(image->width()), static_cast<double>(image->height())};
    const BackgroundComposition composition = compositionFor(*parsed, contentSize);
    const auto context = parsed->window ? BackgroundCaptureContext::window : BackgroundCaptureContext::region;
    const auto composed = services.renderer.compose(*image, composition, context);
    if (!composed) {
        if (composed.error() == BackgroundRenderError::canvasTooLarge) {
            const auto canvas = BackgroundLayout::make(contentSize, composition).canvasSize;
            err << "brisklet: a " << formatNumber(canvas.width) << "x" << formatNumber(canvas.height)
                << " canvas is larger than a picture may be; use less padding or another aspect\n";
        } else {
            err << "brisklet: the background could not be drawn (" << toString(composed.error()) << ")\n";
        }
        return 1;
    }
    if (!write(services.codec, composed.value(), parsed->output, err)) {
        return 1;
    }
    out << "Composed " << parsed->image << " on a " << composed.value().width() << "x" << composed.value().height()
        << " canvas into " << parsed->output << "\n";
    return 0;
}

int runBackgroundCommandHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const auto application = startHeadlessGuiApplication();
    const char* home = std::getenv("HOME");
    const LinuxImageCodec codec;
    const QtWallpaperImageReader pictures;
    const LinuxDesktopPictureSource desktop;
    SystemWallpaperCatalog catalog(pictures, desktop,
                                   SystemWallpaperCatalog::linuxRoots(home != nullptr ? home : "/nonexistent"));
    const BackgroundQtRenderer renderer([&catalog] { return catalog.currentDesktopPicture(); });
    return runBackgroundCommand(args, {codec, renderer, pictures, catalog}, out, err);
}

} // namespace brisklet
