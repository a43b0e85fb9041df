#include "Platform/Linux/X11/X11ImportScreenshotTool.h"

#include "Platform/Linux/System/PipeProcessRunner.h"

#include <cmath>

namespace brisklet {

namespace {

std::string integerText(double value) {
    return std::to_string(static_cast<long long>(std::llround(value)));
}

} // namespace

X11ImportScreenshotTool::X11ImportScreenshotTool(std::string displayName, std::string program)
    : displayName_(std::move(displayName)), program_(std::move(program)) {}

std::vector<std::string> X11ImportScreenshotTool::rectangleArguments(const Rect& toolRect,
                                                                     const std::filesystem::path& output) const {
    std::vector<std::string> arguments{program_};
    // import reads -display only when it comes before every other option.
    if (!displayName_.empty()) {
        arguments.insert(arguments.end(), {"-display", displayName_});
    }
    arguments.push_back("-silent");
    // "+repage" drops the crop offset that PNG would otherwise keep as a virtual canvas.
    arguments.insert(arguments.end(), {"-window", "root", "-crop",
                                       integerText(toolRect.width()) + "x" + integerText(toolRect.height()) + "+" +
                                           integerText(toolRect.minX()) + "+" + integerText(toolRect.minY()),
                                       "+repage", "png:" + output.string()});
    return arguments;
}

std::vector<std::string> X11ImportScreenshotTool::windowArguments(std::uint32_t windowID, bool includeDecorations,
                                                                  const std::filesystem::path& output) const {
    std::vector<std::string> arguments{program_};
    // import reads -display only when it comes before every other option.
    if (!displayName_.empty()) {
        arguments.insert(arguments.end(), {"-display", displayName_});
    }
    arguments.push_back("-silent");
    arguments.insert(arguments.end(), {"-window", std::to_string(windowID)});
    if (includeDecorations) {
        arguments.push_back("-frame");
    }
    arguments.push_back("png:" + output.string());
    return arguments;
}

ScreenshotToolRun X11ImportScreenshotTool::captureRectangle(const Rect& toolRect, const std::filesystem::path& output,
                                                            double timeoutSeconds) {
    return run(rectangleArguments(toolRect, output), timeoutSeconds);
}

ScreenshotToolRun X11ImportScreenshotTool::captureWindow(std::uint32_t windowID, bool includeDecorations,
                                                         const std::filesystem::path& output, double timeoutSeconds) {
    return run(windowArguments(windowID, includeDecorations, output), timeoutSeconds);
}

ScreenshotToolRun X11ImportScreenshotTool::run(const std::vector<std::string>& arguments, double timeoutSeconds) const {
    const ProcessOutcome outcome = PipeProcessRunner().run(arguments, {}, timeoutSeconds);
    ScreenshotToolRun result;
    result.launched = outcome.launched;
    if (!outcome.launched) {
        result.launchError = "cannot run " + program_;
    }
    result.timedOut = outcome.timedOut;
    result.exitStatus = outcome.exitCode;
    result.standardOutput = outcome.standardOutput;
    result.standardError = outcome.standardError;
    return result;
}

} // namespace brisklet
