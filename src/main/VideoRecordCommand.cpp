#include "main/VideoRecordCommand.h"

#include "main/QtHeadless.h"
#include "main/RecordingArguments.h"
#include "main/RecordingInterrupt.h"
#include "main/RecordingRegion.h"
#include "main/RegionArgument.h"

#include "Platform/Clock.h"
#include "Platform/Linux/FFmpeg/FFmpegScreenRecorder.h"
#include "Platform/Linux/Qt/QtMainQueue.h"
#include "Platform/Linux/X11/X11InputMonitor.h"
#include "Platform/Linux/X11/X11ScreenFrameStream.h"
#include "Platform/ThreadSerialQueue.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Video/VideoDraftExporter.h"
#include "ZelvorApp/Video/VideoRecorder.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/RecentExportStore.h"

#include <cmath>
#include <cstdlib>
#include <optional>

namespace brisklet {

namespace {

namespace fs = std::filesystem;

constexpr const char* usage = "Usage: brisklet record WxH+X+Y --format mp4|mov [--quality low|medium|high] [--audio]\n"
                              "                       [--duration S] [--no-cursor] [--no-clicks] [-o FILE]\n";
constexpr int recentExportsLimit = 8;

struct VideoArguments : RecordingArguments {
    RecordingOutputFormat format = RecordingOutputFormat::mp4;
    std::optional<RecordingQuality> quality;
    bool audio = false;
};

void parseOption(const std::vector<std::string>& args, std::size_t& i, VideoArguments& parsed) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    if (arg == "--format" && hasValue) {
        const auto format = enumFromString<RecordingOutputFormat>(args[++i]);
        if (!format || *format == RecordingOutputFormat::gif) {
            parsed.error = "--format must be mp4 or mov here, not " + args[i];
        } else {
            parsed.format = *format;
        }
    } else if (arg == "--quality" && hasValue) {
        parsed.quality = enumFromString<RecordingQuality>(args[++i]);
        if (!parsed.quality) {
            parsed.error = "--quality must be low, medium or high, not " + args[i];
        }
    } else if (arg == "--audio") {
        parsed.audio = true;
    } else if (!parsed.takeSharedOption(args, i, {0.5, 3600})) {
        parsed.error = "unexpected argument '" + arg + "'";
    }
}

VideoArguments parse(const std::vector<std::string>& args) {
    VideoArguments parsed;
    for (std::size_t i = 0; i < args.size() && !parsed.error; ++i) {
        parseOption(args, i, parsed);
    }
    parsed.requireRegion();
    return parsed;
}

/// The X11 backends, the queues and the recorder of one run.
class VideoRecordingRun {
public:
    explicit VideoRecordingRun(const std::string& display)
        : application_(startHeadlessGuiApplication()), stream_(display), backend_(stream_, display),
          input_(mainQueue_, display), recorder_({backend_, stateQueue_, mainQueue_, clock_, &input_}) {}

    Result<VideoRecordingOutput, VideoRecorderError> record(VideoRecorder::Session session, std::ostream& err) {
        std::optional<Result<VideoRecordingOutput, VideoRecorderError>> result;
        RecordingInterrupt interrupt;
        bool announced = false;
        recorder_.startRegionRecording(
            std::move(session),
            [&](double) {
                if (!announced) {
                    announced = true;
                    err << "Recording; Ctrl+C stops\n";
                }
            },
            [&result](auto outcome) { result = std::move(outcome); });
        while (!result) {
            mainQueue_.runFor(0.05);
            if (RecordingInterrupt::takeRequest()) {
                recorder_.stop();
            }
        }
        const auto statistics = backend_.lastStatistics();
        RuntimeLogger::log("Video recording frames captured=" + std::to_string(statistics.captured) + " written=" +
                           std::to_string(statistics.written) + " repeated=" + std::to_string(statistics.repeated) +
                           " dropped=" + std::to_string(statistics.dropped) +
                           " unchanged=" + std::to_string(statistics.unchanged));
        if (std::getenv("BRISKLET_VIDEO_STATS")) {
            err << "frames captured=" << statistics.captured << " written=" << statistics.written
                << " repeated=" << statistics.repeated << " dropped=" << statistics.dropped
                << " unchanged=" << statistics.unchanged << "\n";
        }
        return std::move(*result);
    }

    const Clock& clock() const { return clock_; }

private:
    std::shared_ptr<void> application_;
    SystemClock clock_;
    QtMainQueue mainQueue_;
    X11ScreenFrameStream stream_;
    FFmpegScreenRecorder backend_;
    ThreadSerialQueue stateQueue_{VideoStreamCapture::kStateQueueLabel};
    X11InputMonitor input_;
    VideoRecorder recorder_;
};

/// Copies the draft to its destination; the destination, or nothing (and why) with the draft kept.
std::optional<fs::path> exportDraft(const VideoRecordingDraft& draft, const std::optional<fs::path>& output,
                                    const Clock& clock, std::ostream& err) {
    auto destination = output ? Result<fs::path, VideoRecorderError>::success(*output)
                              : VideoDraftExporter::destinationFor(draft, clock.now());
    if (!destination) {
        err << "brisklet record: cannot use the export directory " << draft.exportDirectoryURL.string() << " ("
            << destination.error().description() << "); the recording is kept at " << draft.temporaryURL.string()
            << "\n";
        return std::nullopt;
    }
    const fs::path& file = destination.value();
    RuntimeLogger::log("Video export copy begin source=" + draft.temporaryURL.string() +
                       " destination=" + file.string());
    const auto copied = VideoDraftExporter::copyValidatedFile(draft.temporaryURL, file);
    if (!copied) {
        RuntimeLogger::log("Video export failed destination=" + file.string() +
                           " error=" + copied.error().description());
        err << "brisklet record: cannot write " << file.string() << " (" << copied.error().description()
            << "); the recording is kept at " << draft.temporaryURL.string() << "\n";
        return std::nullopt;
    }
    RuntimeLogger::log("Video export copy completed destination=" + file.string() +
                       " bytes=" + std::to_string(copied.value()));
    RuntimeLogger::log("Video export verified before success url=" + file.string());
    std::error_code ignored;
    fs::remove(draft.temporaryURL, ignored);
    return file;
}

} // namespace

bool isVideoRecordRequest(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i + 1 < args.size(); ++i) {
        if (args[i] == "--format") {
            return args[i + 1] != "gif";
        }
    }
    return false;
}

int runVideoRecordCommand(const std::vector<std::string>& args, DefaultsStore& defaults, std::ostream& out,
                          std::ostream& err, const std::string& displayName) {
    const VideoArguments arguments = parse(args);
    if (arguments.error) {
        err << "brisklet record: " << *arguments.error << "\n" << usage;
        return 2;
    }
    std::error_code ignored;
    if (arguments.output && fs::exists(fs::symlink_status(*arguments.output, ignored))) {
        err << "brisklet record: " << arguments.output->string() << " already exists; choose a new file name\n";
        return 1;
    }
    const char* environmentDisplay = std::getenv("DISPLAY");
    const std::string display = !displayName.empty() ? displayName : environmentDisplay ? environmentDisplay : "";
    const AppPreferences preferences = PreferencesStore(defaults).load();
    const auto located = RecordingRegion::locate(*arguments.region, display, err);
    if (!located) {
        return 1;
    }
    VideoRecorder::Session session;
    session.rect = located->rect;
    session.context = located->context;
    session.options.outputFormat = arguments.format;
    session.options.quality = arguments.quality.value_or(preferences.recordingOptions.quality);
    session.options.audioMode = arguments.audio ? RecordingAudioMode::system : RecordingAudioMode::none;
    session.options.showsCursor = arguments.showsCursor;
    session.options.showsClickEffects = arguments.showsClicks;
    session.outputURL = FileNameBuilder::videoTemporaryFileURL(arguments.format, fs::temp_directory_path());
    session.maxDuration = arguments.duration;

    VideoRecordingRun run(display);
    auto recorded = run.record(session, err);
    if (!recorded) {
        err << "brisklet record: nothing was recorded (" << recorded.error().description() << ")\n";
        return 1;
    }
    const VideoRecordingDraft draft{recorded.value().url, arguments.format, preferences.exportDirectoryURL(), false,
                                    recorded.value().audioUnavailableReason};
    if (draft.audioUnavailableReason) {
        err << "brisklet record: recorded without sound (" << *draft.audioUnavailableReason << ")\n";
    }
    const auto file = exportDraft(draft, arguments.output, run.clock(), err);
    if (!file) {
        return 1;
    }
    if (!arguments.output) {
        const ExportKind kind =
            arguments.format == RecordingOutputFormat::mov ? ExportKind::videoMOV : ExportKind::videoMP4;
        RecentExportStore(defaults, DefaultsKeys::recentExports, recentExportsLimit)
            .record(ExportedAsset{*file, kind, run.clock().now(), std::nullopt});
    }
    out << file->string() << "\n";
    return 0;
}

} // namespace brisklet
