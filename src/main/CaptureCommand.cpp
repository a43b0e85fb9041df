#include "main/CaptureCommand.h"

#include "main/CommandScreenCapture.h"

#include "Platform/Clock.h"
#include "Platform/ImageCodec.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Paths.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/RecentExportStore.h"

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
            parsed.screen = hasValue ? CommandScreenCapture::parseNumber(args[++i]) : std::nullopt;
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
    CommandScreenCapture run(paths, codec, err, "brisklet capture", display);
    const std::optional<Image> image = run.capture({arguments.mode, arguments.target, arguments.screen});
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
