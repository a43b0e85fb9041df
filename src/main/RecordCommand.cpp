#include "main/RecordCommand.h"

#include "main/GifFileOutput.h"
#include "main/QtHeadless.h"
#include "main/RecordingArguments.h"
#include "main/RecordingInterrupt.h"
#include "main/RecordingRegion.h"
#include "main/RegionArgument.h"

#include "Platform/Clock.h"
#include "Platform/Linux/Gif/GiflibGIFEncoder.h"
#include "Platform/Linux/Qt/QtMainQueue.h"
#include "Platform/Linux/Qt/QtPasteboard.h"
#include "Platform/Linux/X11/X11InputMonitor.h"
#include "Platform/Linux/X11/X11ScreenCapture.h"
#include "Platform/Linux/X11/X11ScreenFrameStream.h"
#include "Platform/Paths.h"
#include "Platform/ThreadSerialQueue.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Recording/GIFPerformancePolicy.h"
#include "ZelvorApp/Recording/GIFRecorder.h"
#include "ZelvorApp/Recording/MouseTrackingService.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/RecentExportStore.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace brisklet {

namespace {

constexpr const char* usage =
    "Usage: brisklet record WxH+X+Y [--fps N] [--duration S] [--no-cursor] [--no-clicks] [-o OUT.gif]\n";
constexpr int recentExportsLimit = 8;

struct RecordArguments : RecordingArguments {
    std::optional<int> fps;
};

void parseOption(const std::vector<std::string>& args, std::size_t& i, RecordArguments& parsed) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--format" && hasValue && args[i + 1] == "gif") {
        ++i; // the default; mp4 and mov go to the video recorder
    } else if (arg == "--fps" && hasValue) {
        const auto value = RecordingArguments::number(args[++i]);
        if (!value || *value < 1 || *value > 50 || *value != std::floor(*value)) {
            parsed.error = "--fps must be a whole number from 1 to 50, not " + args[i];
        } else {
            parsed.fps = static_cast<int>(*value);
        }
    } else if (!parsed.takeSharedOption(args, i, {1, 600})) {
        parsed.error = "unexpected argument '" + arg + "'";
    }
}

RecordArguments parse(const std::vector<std::string>& args) {
    RecordArguments parsed;
    for (std::size_t i = 0; i < args.size() && !parsed.error; ++i) {
        parseOption(args, i, parsed);
    }
    parsed.requireRegion();
    return parsed;
}

/// The preferences' longest frame side by recording quality: 960, 1280 or 1600 pixels.
int maxFramePixelDimension(RecordingQuality quality) {
    return 960 + 320 * static_cast<int>(quality);
}

/// Everything one recording runs on: the X11 backends, the queues and the recorder.
class RecordingRun {
public:
    explicit RecordingRun(const std::string& display)
        : application_(startHeadlessGuiApplication()), capture_(display), stream_(display), input_(mainQueue_, display),
          mouse_(input_, clock_), exportService_(pasteboard_, clipboardTracker_),
          recorder_({capture_, exportService_, mouse_, encoder_, mainQueue_, captureQueue_, exportQueue_, clock_,
                     nullptr, &stream_}) {}

    /// Records until the session's length has passed or a stop is requested; the frames, or why
    /// there are none.
    Result<GIFRecordingDraft, GIFRecorderError> record(GIFRecorder::Session session) {
        std::optional<Result<GIFRecordingDraft, GIFRecorderError>> result;
        RecordingInterrupt interrupt;
        recorder_.start(std::move(session), {}, [&result](auto draft) { result = std::move(draft); }, {});
        while (!result) {
            mainQueue_.runFor(0.05);
            if (RecordingInterrupt::takeRequest()) {
                recorder_.finish();
            }
        }
        return std::move(*result);
    }

    GIFEncoder& encoder() { return encoder_; }
    const Clock& clock() const { return clock_; }

private:
    std::shared_ptr<void> application_;
    SystemClock clock_;
    QtMainQueue mainQueue_;
    X11ScreenCapture capture_;
    X11ScreenFrameStream stream_;
    X11InputMonitor input_;
    MouseTrackingService mouse_;
    QtPasteboard pasteboard_;
    AppClipboardWriteTracker clipboardTracker_;
    ExportService exportService_;
    GiflibGIFEncoder encoder_;
    ThreadSerialQueue captureQueue_{"com.brisklet.brisklet.gif-capture"};
    ThreadSerialQueue exportQueue_{"com.brisklet.brisklet.gif-export"};
    GIFRecorder recorder_;
};

/// The session for `region` (root pixels) on the screen that holds it; prints why not otherwise.
std::optional<GIFRecorder::Session> makeSession(const RecordArguments& arguments, const AppPreferences& preferences,
                                                const std::string& display, std::ostream& err) {
    const auto located = RecordingRegion::locate(*arguments.region, display, err);
    if (!located) {
        return std::nullopt;
    }
    GIFRecorder::Session session;
    session.rect = located->rect;
    session.captureContext = located->context;
    session.preferences = preferences;
    session.fps = arguments.fps.value_or(std::max(static_cast<int>(preferences.gifFPS), 1));
    session.maxDuration = arguments.duration.value_or(std::max(preferences.gifMaxDuration, 1.0));
    session.mappingRect = located->rect;
    session.mouseOverlayOptions = {arguments.showsCursor, arguments.showsClicks};
    session.maxFramePixelDimension = maxFramePixelDimension(preferences.recordingOptions.quality);
    session.quality = preferences.recordingOptions.quality;
    return session;
}

std::optional<std::filesystem::path> destination(const RecordArguments& arguments, const AppPreferences& preferences,
                                                 const Clock& clock, std::ostream& err) {
    if (arguments.output) {
        return arguments.output;
    }
    auto file = FileNameBuilder::makeFileURL(ExportKind::gif, preferences.exportDirectoryURL(), clock.now());
    if (!file) {
        err << "brisklet record: cannot use the export directory " << preferences.exportDirectoryURL().string() << " ("
            << file.error().message() << ")\n";
        return std::nullopt;
    }
    return file.value();
}

} // namespace

int runRecordCommand(const std::vector<std::string>& args, DefaultsStore& defaults, const Paths&, std::ostream& out,
                     std::ostream& err, const std::string& displayName) {
    const RecordArguments arguments = parse(args);
    if (arguments.error) {
        err << "brisklet record: " << *arguments.error << "\n" << usage;
        return 2;
    }
    std::error_code ignored;
    if (arguments.output && std::filesystem::exists(*arguments.output, ignored)) {
        err << "brisklet record: " << arguments.output->string() << " already exists; choose a new file name\n";
        return 1;
    }
    const char* environmentDisplay = std::getenv("DISPLAY");
    const std::string display = !displayName.empty() ? displayName : environmentDisplay ? environmentDisplay : "";
    const AppPreferences preferences = PreferencesStore(defaults).load();
    auto session = makeSession(arguments, preferences, display, err);
    if (!session) {
        return 1;
    }
    const Rect& region = *arguments.region;
    err << "Recording " << region.width() << "x" << region.height() << "+" << region.minX() << "+" << region.minY()
        << " for up to " << session->maxDuration << " s; Ctrl+C stops\n";
    RecordingRun run(display);
    auto draft = run.record(*session);
    if (!draft) {
        err << "brisklet record: nothing was recorded (" << toString(draft.error()) << ")\n";
        return 1;
    }
    const auto file = destination(arguments, preferences, run.clock(), err);
    if (!file || !writeNewGifFile(draft.value().frames, draft.value().fps, draft.value().recordingDuration,
                                  GIFPerformancePolicy::encodingQuality(draft.value().quality), {}, *file,
                                  run.encoder(), run.clock(), "brisklet record", err)) {
        return 1;
    }
    if (!arguments.output) {
        ExportedAsset asset{*file, ExportKind::gif, run.clock().now(), std::nullopt};
        RecentExportStore(defaults, DefaultsKeys::recentExports, recentExportsLimit).record(asset);
    }
    out << file->string() << "\n";
    return 0;
}

} // namespace brisklet
