#include "main/SuperCommand.h"

#include "main/CallerThreadQueue.h"
#include "main/CommandScreenCapture.h"
#include "main/LibraryTextRecognition.h"
#include "main/QtHeadless.h"
#include "main/RegionArgument.h"

#include "Platform/Clock.h"
#include "Platform/Linux/Accessibility/AtSpiBrowserMetadataProvider.h"
#include "Platform/Linux/Accessibility/AtSpiSnapshotReader.h"
#include "Platform/Linux/Cld2/Cld2LanguageIdentifier.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Desktop/LinuxPrivacyPermissions.h"
#include "Platform/Linux/Tesseract/TesseractTextRecognizer.h"
#include "Platform/Linux/X11/X11DisplayServer.h"
#include "Platform/Linux/X11/X11WindowList.h"
#include "Platform/Linux/X11/X11Workspace.h"
#include "Platform/Paths.h"
#include "ZelvorApp/Capture/CaptureGeometry.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotService.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriter.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextCollector.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotFlow.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotPackageRecorder.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <optional>

namespace brisklet {

namespace {

constexpr const char* usage = "Usage: brisklet super window ID [--json]\n"
                              "       brisklet super region WxH+X+Y [--json]\n";

struct SuperArguments {
    std::string mode;
    std::string target;
    bool json = false;
    std::optional<std::string> error;
};

SuperArguments parse(const std::vector<std::string>& args) {
    SuperArguments parsed;
    std::vector<std::string> positional;
    for (const std::string& arg : args) {
        if (arg == "--json") {
            parsed.json = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            parsed.error = "unknown option " + arg;
        } else {
            positional.push_back(arg);
        }
    }
    if (parsed.error) {
        return parsed;
    }
    if (positional.empty() || (positional[0] != "window" && positional[0] != "region")) {
        parsed.error = positional.empty() ? "say what to capture: window ID or region WxH+X+Y"
                                          : "unknown capture " + positional[0];
    } else if (positional.size() != 2) {
        parsed.error = "super " + positional[0] + " needs " + (positional[0] == "region" ? "WxH+X+Y" : "a window ID") +
                       (positional.size() > 2 ? " and nothing more" : "");
    } else {
        parsed.mode = positional[0];
        parsed.target = positional[1];
    }
    return parsed;
}

std::string displayName() {
    const char* display = std::getenv("DISPLAY");
    return display ? display : "";
}

/// The window with X11 id `id` as the window list sees it (title, owner, process, bounds).
std::optional<CapturedWindowInfo> findWindow(std::uint32_t id, const std::string& display,
                                             const std::vector<DisplayScreen>& screens) {
    const X11WindowList list(display, RegionArgument::primaryRootOrigin(screens));
    for (const WindowServerWindow& window : list.onScreenWindows()) {
        if (window.number != id || !window.bounds) {
            continue;
        }
        CapturedWindowInfo info;
        info.id = window.number;
        info.ownerName = window.ownerName.value_or("");
        info.title = window.name.value_or(info.ownerName);
        info.ownerPID = window.ownerPID;
        info.bounds = *window.bounds;
        return info;
    }
    return std::nullopt;
}

/// The capture and what is known of where it came from, or nothing after the reason was written.
std::optional<SuperScreenshotRequest> captureRequest(const SuperArguments& arguments, const Paths& paths,
                                                     const ImageCodec& codec, const std::string& display,
                                                     std::ostream& err) {
    const X11DisplayServer displays(display);
    const std::vector<DisplayScreen> screens =
        displays.isConnected() ? displays.screens() : std::vector<DisplayScreen>{};
    CommandScreenCapture capture(paths, codec, err, "brisklet super", display);
    SuperScreenshotRequest request;
    request.unknownAppName = LocalizationStore::shared().text(L10nKey::windowPickerUnknownApp);
    if (arguments.mode == "window") {
        const std::optional<std::uint32_t> id = CommandScreenCapture::parseNumber(arguments.target);
        if (!id || *id == 0) {
            err << "brisklet super: " << arguments.target << " is not a window ID\n";
            return std::nullopt;
        }
        request.window = findWindow(*id, display, screens);
        if (!request.window) {
            err << "brisklet super: there is no window " << arguments.target
                << " on the screen ('brisklet windows' lists them)\n";
            return std::nullopt;
        }
        request.application = owningApplication(*request.window);
        request.capture = {SuperScreenshotCaptureMode::window, CaptureGeometry::flippedAtPrimaryScreen(request.window->bounds, screens)};
    } else {
        if (const auto workspace = X11Workspace::connect(display)) {
            request.application = workspace->frontmostApplication();
        }
    }
    std::optional<Image> image = capture.capture({arguments.mode, arguments.target, std::nullopt});
    if (!image) {
        return std::nullopt;
    }
    if (arguments.mode == "region") {
        request.capture = {SuperScreenshotCaptureMode::region, capture.lastRect().value_or(Rect{})};
    }
    request.image = std::move(*image);
    return request;
}

void printResult(const KnowledgePackageResult& result, bool json, std::ostream& out) {
    if (!json) {
        out << result.packageDirectory.string() << "\n";
        return;
    }
    // Sorted keys, like metadata.json.
    const nlohmann::json document = {{"packageDirectory", result.packageDirectory.string()},
                                     {"screenshot", result.screenshotURL.string()},
                                     {"context", result.contextURL.string()},
                                     {"metadataFile", result.metadataURL.string()},
                                     {"metadata", nlohmann::json::parse(write(result.metadata).dump())},
                                     {"contextText", result.contextText}};
    out << document.dump(2) << "\n";
}

} // namespace

int runSuperCommand(const std::vector<std::string>& args, const Paths& paths, DefaultsStore& defaults,
                    std::ostream& out, std::ostream& err) {
    const SuperArguments arguments = parse(args);
    if (arguments.error) {
        err << "brisklet super: " << *arguments.error << "\n" << usage;
        return 2;
    }
    const std::string display = displayName();
    if (display.empty()) {
        err << "brisklet super: no X11 display; DISPLAY is not set (Wayland sessions need XWayland)\n";
        return 1;
    }
    // The accessibility bus is reached through Qt's D-Bus module, which wants an application.
    const auto qt = startHeadlessGuiApplication();
    const LinuxImageCodec codec;
    std::optional<SuperScreenshotRequest> request = captureRequest(arguments, paths, codec, display, err);
    if (!request) {
        return 1;
    }
    const SystemClock clock;
    const X11DisplayServer displays(display);
    LinuxPrivacyPermissions permissions(display);
    AtSpiSnapshotReader reader(clock, permissions, displays);
    AccessibilitySnapshotService accessibility(reader);
    AtSpiBrowserMetadataProvider browsers(clock);
    SuperScreenshotContextCollector context(browsers, accessibility);
    TesseractTextRecognizer recognizer;
    Cld2LanguageIdentifier languages;
    LibraryTextRecognition textRecognition(recognizer, languages);
    const std::filesystem::path root = VisualMemoryStore::defaultRootDirectory(paths);
    VisualMemoryStore store(root, [&err](std::string_view line) { err << "brisklet super: " << line << "\n"; });
    CallerThreadQueue queue("com.brisklet.super-command");
    SuperScreenshotPackageRecorder recorder(VisualMemoryEnvironment{
        store, queue, queue, clock, [&defaults] { return PreferencesStore(defaults).load(); }, {}});
    const KnowledgePackageWriter writer(root, codec);
    SuperScreenshotFlow flow(context, textRecognition, writer, recorder, clock);
    const auto outcome = flow.run(*request);
    if (!outcome) {
        err << "brisklet super: the knowledge package could not be written (" << outcome.error().description() << ")\n";
        return 1;
    }
    printResult(outcome.value(), arguments.json, out);
    return 0;
}

} // namespace brisklet
