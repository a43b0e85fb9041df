#include "main/ApplicationServices.h"

#include "Platform/Linux/Accessibility/AtSpiBrowserMetadataProvider.h"
#include "Platform/Linux/Accessibility/AtSpiSnapshotReader.h"
#include "Platform/Linux/Accessibility/AtSpiTextReader.h"
#include "Platform/Linux/Cld2/Cld2LanguageIdentifier.h"
#include "Platform/Linux/Desktop/LinuxDesktopIconsAccessor.h"
#include "Platform/Linux/Desktop/LinuxPrivacyPermissions.h"
#include "Platform/Linux/Desktop/XdgAutostartLoginItem.h"
#include "Platform/Linux/FFmpeg/FFmpegVideoFrameReader.h"
#include "Platform/Linux/Http/CurlHttpClient.h"
#include "Platform/Linux/Qt/QtPasteboard.h"
#include "Platform/Linux/Qt/QtPasteboardPayloadReader.h"
#include "Platform/Linux/System/PipeProcessRunner.h"
#include "Platform/Linux/Tesseract/TesseractTextRecognizer.h"
#include "Platform/Linux/X11/X11DisplayServer.h"
#include "Platform/Linux/X11/X11ImportScreenshotTool.h"
#include "Platform/Linux/X11/X11ScreenCapture.h"
#include "Platform/Linux/X11/X11InputMonitor.h"
#include "Platform/Linux/X11/X11ScreenFrameStream.h"
#include "Platform/Linux/Gif/GiflibGIFEncoder.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotService.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriter.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotContextCollector.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotFlow.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotPackageRecorder.h"
#include "ZelvorApp/Recording/MouseTrackingService.h"
#include "Platform/Linux/X11/X11WindowList.h"
#include "Platform/Linux/X11/X11Workspace.h"
#include "Platform/ThreadSerialQueue.h"
#include "Shell/DesktopSelectedTextSource.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Export/ScreenshotCopyPersistenceCoordinator.h"
#include "ZelvorApp/Infrastructure/DesktopVisibilityController.h"
#include "ZelvorApp/Infrastructure/LaunchAtLoginService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/PermissionService.h"
#include "ZelvorApp/Memory/ClipboardVisualMemoryMonitor.h"
#include "ZelvorApp/Memory/ClipboardVisualMemoryRecorder.h"
#include "ZelvorApp/Memory/LocalVisualMemoryAnalyzer.h"
#include "ZelvorApp/Memory/VideoThumbnailGenerator.h"
#include "ZelvorApp/Memory/VisualMemoryRecordingService.h"
#include "ZelvorApp/Memory/VisualMemorySourceCollector.h"
#include "ZelvorApp/Updater/AppUpdater.h"
#include "ZelvorApp/Updater/GitHubReleaseAssetDownloader.h"
#include "ZelvorApp/Updater/UpdateInfoFile.h"
#include "ZelvorApp/Updater/UpdateInstallerRunner.h"
#include "ZelvorApp/Updater/UpdateReleaseClient.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"
#include "main/CommandSession.h"
#include "main/EngineLauncher.h"
#include "main/LibraryTextRecognition.h"

#include <cstdlib>
#include <unistd.h>

namespace brisklet {

namespace {

Point primaryRootOrigin(const std::vector<DisplayScreen>& screens) {
    // The window list reports bounds from the top-left of the primary screen; X11's root origin
    // is the top-left of the whole screen.
    double top = 0;
    double primaryTop = 0;
    double primaryLeft = 0;
    for (const DisplayScreen& screen : screens) {
        top = std::max(top, screen.frame.maxY());
    }
    for (const DisplayScreen& screen : screens) {
        if (screen.isPrimary) {
            primaryTop = top - screen.frame.maxY();
            primaryLeft = screen.frame.minX();
        }
    }
    return Point{primaryLeft, primaryTop};
}

std::string currentDesktop() {
    const char* value = std::getenv("XDG_CURRENT_DESKTOP");
    return value ? value : "";
}

} // namespace

struct ApplicationServices::Parts {
    Parts(CommandSession& session, const std::string& displayName, bool debugBypass, MainQueue& mainQueue,
          const Clock& clock, const ImageCodec& codec, AppModel& model)
        : defaults(session.defaults()), displays(displayName), captureBackend(displayName),
          screenshotTool(displayName),
          capture(captureBackend, screenshotTool, codec, session.paths().temporaryDirectory(),
                  LocalizationStore::shared()),
          captureQueue("com.brisklet.capture"), exportService(pasteboard, clipboardTracker),
          copyPersistence(std::make_unique<ThreadSerialQueue>(ScreenshotCopyPersistenceCoordinator::queueLabel),
                          mainQueue, codec, clock),
          store(VisualMemoryStore::defaultRootDirectory(session.paths()), [](std::string_view) {}),
          videoThumbnails(videoFrames), textRecognition(recognizer, languages),
          analyzer(store.thumbnailDirectory(), codec, videoThumbnails, &textRecognition),
          analysisQueue("com.brisklet.visual-memory.analysis"),
          environment{store, mainQueue, analysisQueue, clock, [&model] { return model.preferences(); },
                      [&model](const std::vector<VisualMemoryItem>& items) { model.setVisualMemoryItems(items); }},
          visualMemory(environment, analyzer), workspace(X11Workspace::connect(displayName)),
          windowList(displayName, primaryRootOrigin(displays.screens())),
          windows(windowList, LocalizationStore::shared()), sources(*workspace),
          clipboardMonitor(pasteboard, &payloads, clipboardTracker, mainQueue, codec),
          clipboardRecorder(environment, sources, analyzer, codec), accessibilityText(clock),
          selectedText(accessibilityText), privacy(displayName),
          permissions(privacy, displays, screenshotTool, session.paths().temporaryDirectory(), debugBypass),
          snapshotReader(clock, privacy, displays), snapshotService(snapshotReader), browsers(clock),
          superContext(browsers, snapshotService), superTextRecognition(superRecognizer, languages),
          packageWriter(VisualMemoryStore::defaultRootDirectory(session.paths()), codec),
          packageRecorder(environment),
          superScreenshots(superContext, superTextRecognition, packageWriter, packageRecorder, clock),
          loginItem(session.paths().configDirectory() / "autostart", currentExecutable()),
          launchAtLogin(loginItem), desktopIcons(processRunner, currentDesktop()),
          desktopVisibility(desktopIcons, mainQueue), gifStream(displayName), gifInput(mainQueue, displayName),
          gifMouse(gifInput, clock), updateDownloader(http, session.paths(), clock, mainQueue),
          releaseClient(http), updateInstaller(processRunner),
          updater(AppUpdaterConfiguration::load(UpdateInfoFile::forRunningExecutable()),
                  [this](const AppUpdaterConfiguration& configuration) {
                      return releaseClient.fetchLatest(configuration);
                  },
                  AppUpdater::Services{defaults, mainQueue, updaterQueue, updateDownloader, updateInstaller,
                                       LocalizationStore::shared(), static_cast<std::int32_t>(::getpid())}) {}

    /// The application runs inside brisklet-engine, but a login starts it the way users do, through
    /// the `brisklet` beside it (build tree) or in bin/ (installed).
    static std::filesystem::path currentExecutable() {
        std::error_code error;
        const auto path = std::filesystem::canonical("/proc/self/exe", error);
        if (error) {
            return "brisklet";
        }
        return EngineLauncher::locateFrontEnd(path.parent_path()).value_or(path);
    }

    DefaultsStore& defaults;
    X11DisplayServer displays;
    X11ScreenCapture captureBackend;
    X11ImportScreenshotTool screenshotTool;
    ScreenCaptureService capture;
    ThreadSerialQueue captureQueue;
    QtPasteboard pasteboard;
    QtPasteboardPayloadReader payloads;
    AppClipboardWriteTracker clipboardTracker;
    ExportService exportService;
    ScreenshotCopyPersistenceCoordinator copyPersistence;
    VisualMemoryStore store;
    FFmpegVideoFrameReader videoFrames;
    VideoThumbnailGenerator videoThumbnails;
    TesseractTextRecognizer recognizer;
    Cld2LanguageIdentifier languages;
    LibraryTextRecognition textRecognition;
    LocalVisualMemoryAnalyzer analyzer;
    ThreadSerialQueue analysisQueue;
    VisualMemoryEnvironment environment;
    VisualMemoryRecordingService visualMemory;
    std::unique_ptr<X11Workspace> workspace;
    X11WindowList windowList;
    WindowEnumerator windows;
    VisualMemorySourceCollector sources;
    ClipboardVisualMemoryMonitor clipboardMonitor;
    ClipboardVisualMemoryRecorder clipboardRecorder;
    AtSpiTextReader accessibilityText;
    DesktopSelectedTextSource selectedText;
    LinuxPrivacyPermissions privacy;
    PermissionService permissions;
    // Super screenshots: the window's accessibility tree, the browser's page, and a recogniser of
    // their own (the library's runs on the analysis queue at the same time).
    AtSpiSnapshotReader snapshotReader;
    AccessibilitySnapshotService snapshotService;
    AtSpiBrowserMetadataProvider browsers;
    SuperScreenshotContextCollector superContext;
    TesseractTextRecognizer superRecognizer;
    LibraryTextRecognition superTextRecognition;
    KnowledgePackageWriter packageWriter;
    SuperScreenshotPackageRecorder packageRecorder;
    SuperScreenshotFlow superScreenshots;
    XdgAutostartLoginItem loginItem;
    LaunchAtLoginService launchAtLogin;
    PipeProcessRunner processRunner;
    LinuxDesktopIconsAccessor desktopIcons;
    DesktopVisibilityController desktopVisibility;
    // GIF recordings: a continuous stream of the region, the pointer for the overlay, the encoder
    // and the two queues the recorder works on.
    X11ScreenFrameStream gifStream;
    X11InputMonitor gifInput;
    MouseTrackingService gifMouse;
    GiflibGIFEncoder gifEncoder;
    ThreadSerialQueue gifCaptureQueue{"com.brisklet.brisklet.gif-capture"};
    ThreadSerialQueue gifExportQueue{"com.brisklet.brisklet.gif-export"};
    // Updates: the release check, the package download and its installation. The queue ends
    // after the updater (which cancels a download) and before what its tasks use.
    CurlHttpClient http;
    GitHubReleaseAssetDownloader updateDownloader;
    UpdateReleaseClient releaseClient;
    UpdateInstallerRunner updateInstaller;
    ThreadSerialQueue updaterQueue{"com.brisklet.updater"};
    AppUpdater updater;
};

ApplicationServices::ApplicationServices(CommandSession& session, const std::string& displayName, bool debugBypass) {
    auto probe = X11Workspace::connect(displayName);
    if (!probe) {
        return;
    }
    probe.reset();
    parts_ = std::make_unique<Parts>(session, displayName, debugBypass, mainQueue_, clock_, codec_, model_);
}

ApplicationServices::~ApplicationServices() = default;

bool ApplicationServices::isConnected() const {
    return parts_ && parts_->workspace && parts_->displays.isConnected();
}

GIFRecordingBackends ApplicationServices::gifRecording() {
    Parts& p = *parts_;
    return {p.captureBackend, p.gifStream, p.gifMouse, p.gifEncoder, p.gifCaptureQueue, p.gifExportQueue};
}

AppServices ApplicationServices::services() {
    Parts& p = *parts_;
    AppServices services{p.defaults,       mainQueue_,      clock_,           LocalizationStore::shared(),
                         codec_,           p.permissions,   p.desktopVisibility, p.launchAtLogin,
                         p.exportService,  p.copyPersistence, p.store,        p.visualMemory,
                         p.sources,        p.capture,       p.displays,       p.captureQueue,
                         p.pasteboard,     *p.workspace};
    services.clipboardMonitor = &p.clipboardMonitor;
    services.clipboardRecorder = &p.clipboardRecorder;
    services.windows = &p.windows;
    services.selectedText = &p.selectedText;
    services.updater = &p.updater;
    services.superScreenshots = &p.superScreenshots;
    return services;
}

} // namespace brisklet
