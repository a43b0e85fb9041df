#include "main/GifCommand.h"
#include "main/CommandImageInput.h"

#include "main/GifFileOutput.h"

#include "Platform/Clock.h"
#include "Platform/GIFEncoder.h"
#include "Platform/ImageCodec.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Gif/GiflibGIFEncoder.h"
#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Background/GIFBackgroundRenderer.h"
#include "ZelvorApp/Recording/GIFExportFrameRenderer.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"
#include "ZelvorApp/Recording/GIFFrameTiming.h"
#include "ZelvorApp/Recording/GIFPerformancePolicy.h"
#include "main/QtHeadless.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

namespace brisklet {

namespace {

constexpr const char* kUsage =
    "Usage: brisklet gif FRAME.png... [--fps N] [--duration S] [--timestamps FILE.json] [--background PRESET]\n"
    "                    [--quality 1-100] -o OUT.gif\n";

/// An hour: even at one frame a second the export grid stays a few thousand frames, where an absurd
/// length would ask for more frames than memory holds.
constexpr double kMaximumSeconds = 3600;

struct GifArguments {
    std::vector<std::string> frames;
    std::optional<std::string> output;
    int fps = 20;
    int quality = GIFEncodingQuality::standard;
    std::optional<double> duration;
    std::optional<std::string> timestamps;
    std::optional<std::string> background;
    std::optional<std::string> error;
};

std::optional<double> parseNumber(const std::string& text) {
    double value = 0;
    const auto* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

/// Takes the value of an option given as "--name VALUE" or "--name=VALUE".
std::optional<std::string> optionValue(const std::vector<std::string>& args, std::size_t& i, const std::string& name,
                                       GifArguments& parsed) {
    const std::string& arg = args[i];
    if (arg.rfind(name + "=", 0) == 0) {
        return arg.substr(name.size() + 1);
    }
    if (i + 1 >= args.size() || args[i + 1].empty()) {
        parsed.error = name + " needs a value";
        return std::nullopt;
    }
    return args[++i];
}

bool isOption(const std::string& arg, const std::string& name) {
    return arg == name || arg.rfind(name + "=", 0) == 0;
}

void parseOption(const std::vector<std::string>& args, std::size_t& i, GifArguments& parsed) {
    const std::string& arg = args[i];
    if (isOption(arg, "-o") || isOption(arg, "--output")) {
        const std::string name = arg.rfind("--output", 0) == 0 ? "--output" : "-o";
        if (auto value = optionValue(args, i, name, parsed))
            parsed.output = *value;
    } else if (isOption(arg, "--fps")) {
        if (auto value = optionValue(args, i, "--fps", parsed)) {
            const auto number = parseNumber(*value);
            if (!number || *number < 1 || *number > 100 || std::floor(*number) != *number) {
                parsed.error = "--fps must be a whole number from 1 to 100, not " + *value;
            } else {
                parsed.fps = static_cast<int>(*number);
            }
        }
    } else if (isOption(arg, "--quality")) {
        if (auto value = optionValue(args, i, "--quality", parsed)) {
            const auto number = parseNumber(*value);
            if (!number || *number < GIFEncodingQuality::minimum || *number > GIFEncodingQuality::maximum ||
                std::floor(*number) != *number) {
                parsed.error = "--quality must be a whole number from 1 to 100, not " + *value;
            } else {
                parsed.quality = static_cast<int>(*number);
            }
        }
    } else if (isOption(arg, "--duration")) {
        if (auto value = optionValue(args, i, "--duration", parsed)) {
            const auto number = parseNumber(*value);
            if (!number || *number <= 0 || *number > kMaximumSeconds) {
                parsed.error = "--duration must be more than 0 and at most 3600 seconds, not " + *value;
            } else {
                parsed.duration = *number;
            }
        }
    } else if (isOption(arg, "--timestamps")) {
        if (auto value = optionValue(args, i, "--timestamps", parsed))
            parsed.timestamps = *value;
    } else if (isOption(arg, "--background")) {
        if (auto value = optionValue(args, i, "--background", parsed)) {
            if (!BackgroundPreset::presetFor(*value)) {
                parsed.error = "unknown background preset '" + *value + "' (see brisklet background --list)";
            } else {
                parsed.background = *value;
            }
        }
    } else {
        parsed.error = "unknown option " + arg;
    }
}

GifArguments parse(const std::vector<std::string>& args) {
    GifArguments parsed;
    for (std::size_t i = 0; i < args.size() && !parsed.error; ++i) {
        if (args[i].size() > 1 && args[i][0] == '-') {
            parseOption(args, i, parsed);
        } else {
            parsed.frames.push_back(args[i]);
        }
    }
    if (!parsed.error && parsed.frames.empty()) {
        parsed.error = "no frames given";
    } else if (!parsed.error && (!parsed.output || parsed.output->empty())) {
        parsed.error = "no output file given (-o OUT.gif)";
    }
    return parsed;
}

/// One non-negative time per frame, from a JSON array of numbers.
std::optional<std::vector<double>> readTimestamps(const std::string& file, std::size_t frameCount, std::ostream& err) {
    std::ifstream stream(file, std::ios::binary);
    if (!stream) {
        err << "brisklet gif: cannot read " << file << "\n";
        return std::nullopt;
    }
    std::stringstream text;
    text << stream.rdbuf();
    const auto json = nlohmann::json::parse(text.str(), nullptr, false);
    if (!json.is_array()) {
        err << "brisklet gif: " << file << " must hold a JSON array of times in seconds, one per frame\n";
        return std::nullopt;
    }
    if (json.size() != frameCount) {
        err << "brisklet gif: " << file << " has " << json.size() << " times for " << frameCount << " frames\n";
        return std::nullopt;
    }
    std::vector<double> times;
    for (std::size_t i = 0; i < json.size(); ++i) {
        if (!json[i].is_number() || !std::isfinite(json[i].get<double>()) || json[i].get<double>() < 0 ||
            json[i].get<double>() > kMaximumSeconds) {
            err << "brisklet gif: time " << i + 1 << " in " << file << " is not a number of seconds from 0 to 3600\n";
            return std::nullopt;
        }
        times.push_back(json[i].get<double>());
    }
    return times;
}

bool pathExists(const std::filesystem::path& path) {
    std::error_code ignored;
    return std::filesystem::exists(std::filesystem::symlink_status(path, ignored));
}

/// The captured frames with their recording times: the given timestamps, or i / fps.
std::vector<CapturedGIFFrame> timedFrames(const std::vector<std::shared_ptr<const Image>>& images,
                                          const std::optional<std::vector<double>>& times, int fps) {
    std::vector<CapturedGIFFrame> frames;
    for (std::size_t i = 0; i < images.size(); ++i) {
        frames.push_back({images[i], times ? (*times)[i] : static_cast<double>(i) / fps});
    }
    return frames;
}

/// What is drawn on every frame before it is encoded: the chosen background, laid out for the
/// frames' size as the GIF editor lays it out. An empty function when nothing is drawn.
struct FrameDrawing {
    GIFFileWriter::FrameRenderer renderer;
    /// The size of the written GIF.
    Size canvasSize;
};

std::optional<FrameDrawing> frameDrawing(const GifArguments& arguments, const Image& first,
                                         const GifCommandServices& services, std::ostream& err) {
    const Size contentSize{static_cast<double>(first.width()), static_cast<double>(first.height())};
    if (!arguments.background) {
        return FrameDrawing{{}, contentSize};
    }
    const BackgroundRenderer* renderer = services.backgroundRenderer ? services.backgroundRenderer() : nullptr;
    if (renderer == nullptr) {
        err << "brisklet gif: backgrounds cannot be drawn here (no renderer)\n";
        return std::nullopt;
    }
    const auto composition = GIFBackgroundChoice::preset(*arguments.background).composition(contentSize);
    const Size canvas = BackgroundLayout::make(contentSize, *composition).canvasSize;
    return FrameDrawing{
        GIFExportFrameRenderer::writerRenderer(GIFExportFrameRenderer(std::nullopt, nullptr, composition, renderer)),
        canvas};
}

std::string sizeText(Size size) {
    return std::to_string(std::lround(size.width)) + "x" + std::to_string(std::lround(size.height));
}

} // namespace

int runGifCommand(const std::vector<std::string>& args, const GifCommandServices& services, std::ostream& out,
                  std::ostream& err) {
    const GifArguments arguments = parse(args);
    if (arguments.error) {
        err << "brisklet gif: " << *arguments.error << "\n" << kUsage;
        return 2;
    }
    const std::filesystem::path output = *arguments.output;
    if (pathExists(output)) {
        err << "brisklet gif: " << output.string() << " already exists; choose a new file name\n";
        return 1;
    }
    const auto images = readSameSizeFrames(services.codec, arguments.frames, "brisklet gif",
                                           "all frames of one GIF share one size", err);
    if (!images) {
        return 1;
    }
    std::optional<std::vector<double>> times;
    if (arguments.timestamps) {
        times = readTimestamps(*arguments.timestamps, images->size(), err);
        if (!times) {
            return 1;
        }
    }
    const auto frames = timedFrames(*images, times, arguments.fps);
    double lastTime = 0;
    for (const auto& frame : frames) {
        lastTime = std::max(lastTime, frame.timestamp);
    }
    // The last frame stays up for one frame interval, as it did while it was being recorded.
    const double duration = arguments.duration.value_or(lastTime + 1.0 / arguments.fps);
    const auto drawing = frameDrawing(arguments, *images->front(), services, err);
    if (!drawing || !writeNewGifFile(frames, arguments.fps, duration, arguments.quality, drawing->renderer, output,
                                     services.encoder, services.clock, "brisklet gif", err)) {
        return 1;
    }
    const int fps = GIFPerformancePolicy::effectiveExportFPS(arguments.fps, duration);
    const auto exported = GIFFrameTiming::exportFrames(frames, fps, duration);
    out << "Wrote " << exported.size() << " frames (" << sizeText(drawing->canvasSize) << ", " << fps << " fps, delay "
        << GIFFrameTiming::delayHundredths(fps) << "/100 s) from " << frames.size() << " images";
    if (arguments.background) {
        out << " on " << *arguments.background;
    }
    out << " to " << output.string() << "\n";
    return 0;
}

int runGifCommandHeadless(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    const LinuxImageCodec codec;
    GiflibGIFEncoder encoder;
    const SystemClock clock;
    // Declared before the renderer so that it outlives it.
    std::shared_ptr<QGuiApplication> application;
    std::optional<BackgroundQtRenderer> renderer;
    const auto backgroundRenderer = [&]() -> const BackgroundRenderer* {
        if (!renderer) {
            application = startHeadlessGuiApplication();
            // Presets are colours and gradients; no desktop picture is ever asked for.
            renderer.emplace();
        }
        return &*renderer;
    };
    return runGifCommand(args, {codec, encoder, clock, backgroundRenderer}, out, err);
}

} // namespace brisklet
