#include "main/CaptureCommand.h"

#include "main/RegionArgument.h"

#include "Platform/Clock.h"
#include "Platform/ImageCodec.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/X11/X11DisplayServer.h"
#include "Platform/Linux/X11/X11ImportScreenshotTool.h"
#include "Platform/Linux/X11/X11ScreenCapture.h"
#include "Platform/Paths.h"
#include "ZelvorApp/Capture/ScreenCaptureErrorText.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/RecentExportStore.h"

#include <charconv>
#include <cstdlib>
#include <optional>

namespace brisklet {

namespace {

constexpr const char* usage = "Usage: brisklet capture full [--screen N] [-o FILE.png]\n"
                              "       brisklet capture region WxH+X+Y [-o FILE.png]\n"
                              "       brisklet capture window ID [-o FILE.png]\n";
constexpr int recentExportsLimit = 8;

struct CaptureArguments {
    std::string mode;
    std::optional<std::string> target;
    std::optional<std::uint32_t> screen;
    std::optional<std::filesystem::path> output;
    std::optional<std::string> error;
};

std::optional<std::uint32_t> parseNumber(const std::string& text) {
    std::uint32_t value = 0;
    int base = 10;
    std::string_view digits = text;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
        base = 16;
    }
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value, base);
    if (ec != std::errc{} || end != digits.data() + digits.size() || digits.empty()) {
        return std::nullopt;
    }
    return value;
}

CaptureArguments parse(const std::vector<std::string>& args) {
    CaptureArguments parsed;
    for (std::size_t i = 0; i < args.size() && !parsed.error; ++i) {
        const std::string& arg = args[i];
        const bool hasValue = i + 1 < args.size() && !args[i + 1].empty();
        if (arg == "-o" || arg == "--output") {
            if (!hasValue) {
                parsed.error = arg + " needs a file name";
            } else {
                parsed.output = args[++i];
            }
        } else if (arg == "--screen") {
            parsed.screen = hasValue ? parseNumber(args[++i]) : std::nullopt;
            if (!parsed.screen) {
                parsed.error = "--screen needs a screen number";
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
        } else if (parsed.mode.empty()) {
            parsed.mode = arg;
        } else if (!parsed.target) {
            parsed.target = arg;
        } else {
            parsed.error = "unexpected argument " + arg;
        }
    }
    if (parsed.error) {
        return parsed;
    }
    if (parsed.mode != "full" && parsed.mode != "region" && parsed.mode != "window") {
        parsed.error = parsed.mode.empty() ? "what to capture is missing" : "unknown capture " + parsed.mode;
    } else if (parsed.mode == "full" && parsed.target) {
        parsed.error = "capture full takes no argument (use --screen N)";
    } else if (parsed.mode != "full" && !parsed.target) {
        parsed.error = "capture " + parsed.mode + " needs " + (parsed.mode == "region" ? "WxH+X+Y" : "a window ID");
    } else if (parsed.mode != "full" && parsed.screen) {
        parsed.error = "--screen only applies to capture full";
    }
    return parsed;
}

class CaptureRun {
public:
    CaptureRun(const CaptureArguments& arguments, const Paths& paths, const ImageCodec& codec, std::ostream& err,
               const std::string& displayName)
        : arguments_(arguments), err_(err), displayName_(displayName), displays_(displayName), backend_(displayName),
          tool_(displayName),
          service_(backend_, tool_, codec, paths.temporaryDirectory(), LocalizationStore::shared()) {}

    std::optional<Image> run() {
        if (!displays_.isConnected() || !backend_.isConnected()) {
            err_ << "brisklet capture: cannot open the X11 display "
                 << (displayName_.empty() ? "(DISPLAY is not set)" : displayName_) << "\n";
            return std::nullopt;
        }
        screens_ = displays_.screens();
        if (screens_.empty()) {
            return fail(ScreenCaptureError::missingScreen);
        }
        if (arguments_.mode == "full") {
            return full();
        }
        if (arguments_.mode == "region") {
            return region();
        }
        return window();
    }

private:
    std::optional<Image> fail(ScreenCaptureError error) {
        err_ << "brisklet capture: " << localizedDescription(error, LocalizationStore::shared()) << " ("
             << toString(error) << ")\n";
        return std::nullopt;
    }

    std::optional<Image> finish(Result<Image, ScreenCaptureError> image) {
        if (!image) {
            return fail(image.error());
        }
        return std::move(image).value();
    }

    std::optional<Image> full() {
        const DisplayScreen* screen = &screens_.front();
        if (arguments_.screen) {
            screen = nullptr;
            for (const DisplayScreen& each : screens_) {
                if (each.displayID == arguments_.screen) {
                    screen = &each;
                }
            }
            if (!screen) {
                err_ << "brisklet capture: there is no screen " << *arguments_.screen << "\n";
                return std::nullopt;
            }
        }
        auto context = ScreenCaptureService::makeContext(*screen, screens_);
        if (!context) {
            return fail(context.error());
        }
        return finish(service_.capture(screen->frame, context.value(), true));
    }

    std::optional<Image> region() {
        const std::optional<Rect> pixels = RegionArgument::parse(*arguments_.target);
        if (!pixels) {
            err_ << "brisklet capture: " << *arguments_.target
                 << " is not a region; give WxH+X+Y with a width and height of at least 2\n";
            return std::nullopt;
        }
        auto anyContext = ScreenCaptureService::makeContext(screens_.front(), screens_);
        if (!anyContext) {
            return fail(anyContext.error());
        }
        const Rect& desktop = anyContext.value().virtualDesktopFrame;
        const std::optional<Rect> onDesktop = RegionArgument::onDesktop(*pixels, desktop);
        if (!onDesktop) {
            err_ << "brisklet capture: the region " << *arguments_.target << " does not fit on the " << desktop.width()
                 << "x" << desktop.height() << " screen\n";
            return std::nullopt;
        }
        const Rect rect = *onDesktop;
        if (const DisplayScreen* screen = RegionArgument::screenHolding(screens_, rect)) {
            auto context = ScreenCaptureService::makeContext(*screen, screens_);
            if (!context) {
                return fail(context.error());
            }
            return finish(service_.capture(rect, context.value(), true));
        }
        // Across screens: the mechanisms capture any part of the desktop directly.
        return finish(service_.captureWithSystemTool(rect, anyContext.value(), true));
    }

    std::optional<Image> window() {
        const std::optional<std::uint32_t> id = parseNumber(*arguments_.target);
        if (!id || *id == 0) {
            err_ << "brisklet capture: " << *arguments_.target << " is not a window ID\n";
            return std::nullopt;
        }
        return finish(service_.captureWindow(*id, false));
    }

    const CaptureArguments& arguments_;
    std::ostream& err_;
    std::string displayName_;
    X11DisplayServer displays_;
    X11ScreenCapture backend_;
    X11ImportScreenshotTool tool_;
    ScreenCaptureService service_;
    std::vector<DisplayScreen> screens_;
};

/// The PNG at `output`, never replacing a file that is there.
bool writeNew(const Image& image, const std::filesystem::path& output, const ImageCodec& codec, std::ostream& err) {
    auto bytes = codec.encode(image, ImageFormat::png);
    if (!bytes) {
        err << "brisklet capture: cannot encode the image as PNG\n";
        return false;
    }
    if (const std::error_code error = writeNewFileAtomically(output, bytes.value())) {
        err << "brisklet capture: cannot write " << output.string() << " ("
            << (error == std::errc::file_exists ? "it already exists; choose a new file name" : error.message())
            << ")\n";
        return false;
    }
    return true;
}

/// `displayName`, else $DISPLAY; empty when neither names a display.
std::string chosenDisplay(const std::string& displayName) {
    const char* environmentDisplay = std::getenv("DISPLAY");
    return !displayName.empty() ? displayName : environmentDisplay ? environmentDisplay : "";
}

} // namespace

int runCaptureCommand(const std::vector<std::string>& args, DefaultsStore& defaults, const Paths& paths,
                      const ImageCodec& codec, std::ostream& out, std::ostream& err, const std::string& displayName) {
    const CaptureArguments arguments = parse(args);
    if (arguments.error) {
        err << "brisklet capture: " << *arguments.error << "\n" << usage;
        return 2;
    }
    std::error_code ignored;
    if (arguments.output && std::filesystem::exists(*arguments.output, ignored)) {
        err << "brisklet capture: " << arguments.output->string() << " already exists; choose a new file name\n";
        return 1;
    }
    const std::string display = chosenDisplay(displayName);
    if (display.empty()) {
        err << "brisklet capture: no X11 display; DISPLAY is not set (Wayland sessions need XWayland)\n";
        return 1;
    }
    CaptureRun run(arguments, paths, codec, err, display);
    const std::optional<Image> image = run.run();
    if (!image) {
        return 1;
    }
    if (arguments.output) {
        if (!writeNew(*image, *arguments.output, codec, err)) {
            return 1;
        }
        out << arguments.output->string() << "\n";
        return 0;
    }
    const SystemClock clock;
    const Date now = clock.now();
    const AppPreferences preferences = PreferencesStore(defaults).load();
    auto file = FileNameBuilder::makeFileURL(ExportKind::screenshot, preferences.exportDirectoryURL(), now);
    if (!file) {
        err << "brisklet capture: cannot use the export directory " << preferences.exportDirectoryURL().string() << " ("
            << file.error().message() << ")\n";
        return 1;
    }
    if (!writeNew(*image, file.value(), codec, err)) {
        return 1;
    }
    ExportedAsset asset{file.value(), ExportKind::screenshot, now, std::nullopt};
    const auto size = std::filesystem::file_size(file.value(), ignored);
    if (!ignored) {
        asset.byteCount = static_cast<std::int64_t>(size);
    }
    RecentExportStore(defaults, DefaultsKeys::recentExports, recentExportsLimit).record(asset);
    out << file.value().string() << "\n";
    return 0;
}

int runCaptureCommand(const std::vector<std::string>& args, DefaultsStore& defaults, const Paths& paths,
                      std::ostream& out, std::ostream& err) {
    // Choosing a filter per row makes a full-screen PNG about a tenth smaller for half as much
    // encoding time again; a capture from the command line is about speed.
    const LinuxImageCodec codec(PngEncoderSettings{6, false});
    return runCaptureCommand(args, defaults, paths, codec, out, err);
}

} // namespace brisklet
