#include "main/ApplicationMain.h"

#include "Platform/Linux/DBus/AppCommandChannel.h"
#include "Platform/Linux/DBus/AppCommandClient.h"
#include "Platform/Linux/DBus/AppCommandServer.h"
#include "Shell/Longshot/QtLongshotSession.h"
#include "Shell/GifPost/QtGIFPostProcessing.h"
#include "Shell/Recording/QtGIFSession.h"
#include "Shell/Recording/QtRecordingOptionsBar.h"
#include "Shell/Recording/QtVideoSession.h"
#include "Shell/VideoPost/QtVideoPostProcessing.h"
#include "Shell/Updates/QtUpdatePrompt.h"
#include "Platform/Linux/FFmpeg/FFmpegVideoFrameReader.h"
#include "Platform/Linux/QtRender/GIFQtAnnotationFrameRenderer.h"
#include "Shell/Pinned/QtPinnedWindows.h"
#include "Shell/Thumbnails/QtFloatingThumbnails.h"
#include "ZelvorApp/Control/FloatingThumbnailActionHandler.h"
#include "Shell/QtAlertPresenter.h"
#include "Shell/QtApplicationHost.h"
#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"
#include "Platform/Linux/Desktop/LinuxDesktopPictureSource.h"
#include "Platform/Linux/Desktop/QtWallpaperImageReader.h"
#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"
#include "ZelvorApp/Background/SystemWallpaperCatalog.h"
#include "Shell/QtScreenshotEditor.h"
#include "Shell/QtSelectionOverlay.h"
#include "Shell/QtWindowPicker.h"
#include "Shell/Settings/QtSettingsWindow.h"
#include "Shell/Settings/SettingsServices.h"
#include "Shell/TrayShell.h"
#include "Shell/Library/QtVisualMemoryLibrary.h"
#include "ZelvorApp/Library/VisualMemoryImageMetrics.h"
#include "Shell/UnixSignalBridge.h"
#include "ZelvorApp/Control/AppActionDispatcher.h"
#include "ZelvorApp/Control/AppController.h"
#include "ZelvorApp/Control/AppDelegate.h"
#include "Platform/Linux/OpenCV/OpenCVRectangleDetector.h"
#include "Platform/Linux/Apertium/ApertiumTranslator.h"
#include "Platform/Linux/Cld2/Cld2LanguageIdentifier.h"
#include "Platform/Linux/Tesseract/TesseractTextRecognizer.h"
#include "Platform/ThreadSerialQueue.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"
#include "ZelvorApp/Text/TranslationBridgeController.h"
#include "Platform/Workspace.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "main/ApplicationServices.h"
#include "main/CommandLine.h"
#include "main/CommandSession.h"

#include <QApplication>

#include <cstdlib>
#include <malloc.h>
#include <iostream>

// The icons are compiled into a static library, whose resources must be registered by hand.
static void registerResources() {
    Q_INIT_RESOURCE(brisklet);
}

namespace brisklet {

namespace {

/// Every capture and every overlay makes screen-sized buffers (8 MB at 1080p, 33 MB at 4K). Left
/// to its defaults, the allocator maps each one afresh and the first touch of every page costs
/// more than the capture itself: 40-60 ms of page faults between the hotkey and the overlay.
/// Taken from the heap instead, they reuse pages that are already there, for about 25 MB of
/// memory kept after the first capture.
void keepScreenBuffersWarm() {
    mallopt(M_MMAP_THRESHOLD, 64 << 20);
    mallopt(M_TRIM_THRESHOLD, 48 << 20);
}

/// Other applications' windows, and the panels and pictures found on screen, are the overlay's
/// click targets.
QtSelectionOverlay::SnapSources snapSources(const AppServices& shared, const RectangleDetector& rectangles) {
    QtSelectionOverlay::SnapSources sources;
    sources.rectangles = &rectangles;
    if (WindowEnumerator* windows = shared.windows) {
        Workspace& workspace = shared.workspace;
        sources.windows = [windows, &workspace] { return windows->windows(workspace.currentProcessIdentifier()); };
    }
    return sources;
}

std::vector<std::string> arguments(int argc, char** argv) {
    return std::vector<std::string>(argv, argv + argc);
}

/// A second start of the same executable in this session hands its arguments to the first
/// instance and ends; the first keeps running.
void handOverToRunningInstance(int argc, char** argv) {
    const auto delivery = AppCommandClient::handOver(arguments(argc, argv));
    RuntimeLogger::log(std::string("second start handed over to the running instance delivered=") +
                       (delivery == AppCommandClient::Delivery::delivered ? "true" : "false"));
}

void connectCommandChannel(AppCommandServer& server, AppDelegate& delegate, ApplicationHost& host) {
    server.onAction = [&delegate, &host](const std::string& name) {
        RuntimeLogger::log("command channel action name=" + name);
        AppController* controller = delegate.controller();
        const bool known = controller && AppActionDispatcher::dispatch(name, *controller, host);
        if (!known) {
            RuntimeLogger::log("command channel action unknown name=" + name);
        }
        return known;
    };
    server.onHandOver = [](const std::vector<std::string>& handed) {
        RuntimeLogger::log("second start handed over arguments=" + std::to_string(handed.size()));
        return true;
    };
    server.onDebugNotification = [&delegate](const std::string& name) {
        return delegate.handleDebugNotification(name);
    };
    switch (server.start()) {
    case AppCommandServer::StartResult::owned:
        RuntimeLogger::log(std::string("command channel ready name=") + AppCommandChannel::serviceName);
        break;
    case AppCommandServer::StartResult::nameTaken:
        RuntimeLogger::log("command channel unavailable reason=nameTaken");
        break;
    case AppCommandServer::StartResult::noSessionBus:
        RuntimeLogger::log("command channel unavailable reason=noSessionBus");
        break;
    }
}

} // namespace

int runApplication(int argc, char** argv, const CommandLine&, CommandSession& session) {
    const char* display = std::getenv("DISPLAY");
    if (!display || !*display) {
        std::cerr << "brisklet: no X11 display; DISPLAY is not set. Start Brisklet inside a desktop session "
                     "(Wayland sessions need XWayland), or run one of its commands (brisklet --help).\n";
        return 1;
    }
    qputenv("QT_QPA_PLATFORM", "xcb");
    keepScreenBuffersWarm();
    QApplication application(argc, argv);
    registerResources();
    QApplication::setApplicationName(QStringLiteral("Brisklet"));
    QApplication::setDesktopFileName(QStringLiteral("brisklet"));
    QApplication::setQuitOnLastWindowClosed(false);

    const AppDebugSwitches switches = AppDebugSwitches::fromEnvironment();
    // exit() rather than quit(): quit() first asks every window to close, and an open alert
    // without a cancel button refuses, which would keep a SIGTERM from ending the process.
    QtApplicationHost host([] { QCoreApplication::exit(0); });
    QtAlertPresenter alerts;
    AppPorts ports{host, alerts};
    // Built only once the launch is known not to be a duplicate: text recognition, the library
    // and the X connections are not worth opening for a process that hands over and ends.
    std::unique_ptr<ApplicationServices> services;
    AppDelegate delegate(host, switches, [&] {
        return std::make_unique<AppController>(AppEnvironment{services->services(), ports}, services->model());
    });
    if (delegate.isDuplicateInstance()) {
        delegate.applicationDidFinishLaunching();
        handOverToRunningInstance(argc, argv);
        return 0;
    }
    services = std::make_unique<ApplicationServices>(session, display, switches.bypassScreenRecordingPermission);
    if (!services->isConnected()) {
        std::cerr << "brisklet: cannot open the X11 display " << display << "\n";
        return 1;
    }
    const AppServices shared = services->services();
    TrayShell tray(display, shared.mainQueue, shared.clock, services->model(), shared.localization);
    tray.fillPorts(ports);
    const OpenCVRectangleDetector rectangleDetector;
    QtSelectionOverlay selectionOverlay(shared.displays, shared.capture, shared.exportService, shared.mainQueue,
                                        shared.localization, snapSources(shared, rectangleDetector));
    ports.selectionOverlay = &selectionOverlay;
    QtWindowPicker windowPicker(services->model(), shared.localization, shared.windows, shared.workspace);
    ports.windowPicker = &windowPicker;
    selectionOverlay.onKeyCombination = [&tray](const std::string& token, int modifiers) {
        return tray.deliverTypedHotkey(token, modifiers);
    };
    QtPinnedWindows pinnedWindows({shared.exportService, services->model(), shared.localization, shared.mainQueue});
    pinnedWindows.onChanged = [&delegate] {
        if (AppController* controller = delegate.controller()) {
            controller->pinnedWindowsChanged();
        }
    };
    pinnedWindows.onAnnotate = [&delegate](const std::string& pinID, Image image) {
        if (AppController* controller = delegate.controller()) {
            controller->annotatePinnedImage(pinID, std::move(image));
        }
    };
    pinnedWindows.onSave = [&delegate](const Image& image) {
        if (AppController* controller = delegate.controller()) {
            controller->savePinnedImage(image);
        }
    };
    ports.pinnedWindows = &pinnedWindows;
    QtFloatingThumbnails floatingThumbnails({shared.codec, shared.mainQueue, shared.clock, services->model(),
                                             shared.localization,
                                             session.paths().applicationSupportDirectory() / "Brisklet"});
    // What the cards' buttons do; the controller decides, once it exists.
    FloatingThumbnailActionHandler thumbnailActions(
        {host, shared.exportService, shared.codec, shared.clock, services->model(), floatingThumbnails.fileStore(),
         &pinnedWindows},
        {[&delegate](Image image, const VisualMemorySource& source, const std::string& cardID) {
             AppController* controller = delegate.controller();
             return controller && controller->annotateThumbnailImage(std::move(image), source, cardID);
         },
         [&delegate](const std::filesystem::path& url, ExportKind kind) {
             if (AppController* controller = delegate.controller()) {
                 controller->recordSavedExport(url, kind);
             }
         },
         [&delegate](const ExportedAsset& asset) {
             if (AppController* controller = delegate.controller()) {
                 controller->deleteAsset(asset);
             }
         }});
    floatingThumbnails.setDelegate(&thumbnailActions);
    ports.floatingThumbnails = &floatingThumbnails;
    const QtAnnotationRenderer annotationRenderer;
    // The editor's own recogniser and engine, on their own queues, so a screenshot's text is
    // never queued behind the library's analysis.
    TesseractTextRecognizer editorRecognizer;
    Cld2LanguageIdentifier editorLanguages;
    ScreenshotOCRService editorTextRecognition(editorRecognizer, editorLanguages,
                                               std::make_unique<ThreadSerialQueue>(ScreenshotOCRService::queueLabel),
                                               shared.mainQueue);
    ApertiumTranslator editorTranslator(editorLanguages, ApertiumTranslator::Options{});
    TranslationBridgeController editorTranslation(
        editorTranslator, std::make_unique<ThreadSerialQueue>(TranslationBridgeController::queueLabel),
        shared.mainQueue, [&shared] { return shared.localization.resolvedAppLanguage(); });
    // The editor's backgrounds: drawn by the renderer the export uses, over the desktop's pictures.
    const QtWallpaperImageReader wallpaperReader;
    const LinuxDesktopPictureSource desktopPicture;
    const char* home = std::getenv("HOME");
    SystemWallpaperCatalog wallpapers(wallpaperReader, desktopPicture,
                                      SystemWallpaperCatalog::linuxRoots(home != nullptr ? home : "/nonexistent"));
    const BackgroundQtRenderer backgroundRenderer([&wallpapers] { return wallpapers.currentDesktopPicture(); });
    QtScreenshotEditor editor({annotationRenderer, shared.codec, shared.exportService, shared.clock, shared.mainQueue,
                               services->model(), shared.localization,
                               [&delegate](const std::function<void(AppPreferences&)>& change) {
                                   if (AppController* controller = delegate.controller()) {
                                       controller->updatePreferences(change);
                                   }
                               },
                               ports.pinnedWindows != nullptr, &editorTextRecognition, &editorTranslation,
                               &backgroundRenderer, &wallpapers});
    ports.editor = &editor;
    editor.onKeyCombination = [&tray](const std::string& token, int modifiers) {
        return tray.deliverTypedHotkey(token, modifiers);
    };
    QtLongshotSession longshot({display, shared.mainQueue, shared.clock, shared.codec, services->model(),
                                shared.localization, shared.permissions, shared.displays});
    const auto withController = [&delegate](void (AppController::*action)()) {
        return [&delegate, action] {
            if (AppController* controller = delegate.controller()) {
                (controller->*action)();
            }
        };
    };
    longshot.setController({withController(&AppController::pauseCapture), withController(&AppController::resumeCapture),
                            withController(&AppController::stopCapture), withController(&AppController::cancelCapture),
                            [&delegate](const ExportOutcome& outcome) {
                                if (AppController* controller = delegate.controller()) {
                                    controller->captureSessionFinished(outcome, ExportKind::longshot);
                                }
                            }});
    ports.longshotSession = &longshot;
    QtRecordingOptionsBar recordingOptionsBar(services->model(), shared.localization);
    ports.recordingOptionsBar = &recordingOptionsBar;
    QtSettingsWindow settingsWindow(
        {services->model(), shared.localization, shared.defaults, tray.keyboardGrab(),
         makeSettingsServices(shared, services->model(), ports.hotkeys, [&delegate] { return delegate.controller(); })});
    ports.settingsWindow = &settingsWindow;
    QtUpdatePrompt updatePrompt({shared.localization, services->model(), [&delegate] {
                                     if (AppController* controller = delegate.controller()) {
                                         controller->cancelUpdateDownload();
                                     }
                                 }});
    ports.updatePrompt = &updatePrompt;
    const GIFQtAnnotationFrameRenderer gifAnnotationRenderer;
    const GIFRecordingBackends gifBackends = services->gifRecording();
    // Both recording sessions report to the controller the same way.
    const auto recordingHooks = [&delegate, &withController] {
        RecordingSessionHooks hooks;
        hooks.progressed = [&delegate](double elapsed, double maxDuration) {
            if (AppController* controller = delegate.controller()) {
                controller->gifRecordingProgressed(elapsed, maxDuration);
            }
        };
        hooks.finished = [&delegate](const ExportOutcome& outcome, ExportKind kind) {
            if (AppController* controller = delegate.controller()) {
                controller->captureSessionFinished(outcome, kind);
            }
        };
        hooks.stopRequested = withController(&AppController::stopCapture);
        hooks.cancelRequested = withController(&AppController::cancelCapture);
        return hooks;
    };
    QtGIFSession gifSession({gifBackends.capture, gifBackends.stream, gifBackends.mouse, gifBackends.encoder,
                             gifBackends.captureQueue, gifBackends.exportQueue},
                            {shared.mainQueue, shared.clock, shared.exportService, shared.displays, shared.localization,
                             services->model(), gifAnnotationRenderer, &backgroundRenderer},
                            recordingHooks(),
                            {withController(&AppController::pauseCapture), withController(&AppController::resumeCapture),
                             withController(&AppController::stopCapture), withController(&AppController::cancelCapture)});
    ports.gifSession = &gifSession.port();
    QtGIFPostProcessing gifPostProcessing(
        {shared.mainQueue, shared.localization, services->model(), &gifAnnotationRenderer, &backgroundRenderer});
    gifSession.coordinator().setPostProcessing(&gifPostProcessing);
    QtVideoSession videoSession({display, gifBackends.stream, shared.mainQueue, shared.clock, shared.exportService,
                                 shared.displays, shared.localization, services->model()},
                                recordingHooks(),
                                {withController(&AppController::pauseCapture), withController(&AppController::resumeCapture),
                                 withController(&AppController::stopCapture), withController(&AppController::cancelCapture)});
    ports.videoSession = &videoSession.port();
    const FFmpegVideoFrameReader videoFrames;
    QtVideoPostProcessing videoPostProcessing({shared.mainQueue, shared.localization, services->model(), videoFrames});
    videoSession.coordinator().setPostProcessing(&videoPostProcessing);
    // The library window; the card proportions are read off the main thread once the library is loaded.
    VisualMemoryImageMetrics libraryMetrics(shared.codec);
    ThreadSerialQueue libraryMetricsQueue("com.brisklet.Brisklet.libraryMetrics");
    QtVisualMemoryLibrary library({services->model(), shared.localization, shared.defaults, alerts, host, libraryMetrics,
                                   libraryMetricsQueue,
                                   [&shared](std::function<void()> task) { shared.mainQueue.post(std::move(task)); },
                                   session.paths().homeDirectory()},
                                  [&delegate] { return delegate.controller(); });
    ports.libraryWindow = &library.port();
    AppCommandServer server;
    UnixSignalBridge signalBridge([&host](int number) {
        RuntimeLogger::log("signal received number=" + std::to_string(number));
        host.terminate();
    });
    if (!delegate.applicationDidFinishLaunching()) {
        return 0;
    }
    if (AppController* controller = delegate.controller()) {
        tray.attach(*controller, host);
    }
    library.prewarm();
    connectCommandChannel(server, delegate, host);
    // Once start-up has settled, so the first hotkey opens the overlay as quickly as any later one.
    shared.mainQueue.postAfter(1.5, [&selectionOverlay] { selectionOverlay.prepare(); });
    const int status = application.exec();
    server.stop();
    delegate.applicationWillTerminate();
    return status;
}

} // namespace brisklet
