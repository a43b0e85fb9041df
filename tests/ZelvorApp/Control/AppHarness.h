#pragma once

// The whole controller on fakes: manual clock and queues, scripted screens, a temporary home, and
// the recording ports. Tests play the user through the ports and read the log and the files.

#include "ZelvorApp/Control/Ports/CaptureSessionPorts.h"
#include "ZelvorApp/Control/RecordingPorts.h"
#include "support/CapturedLog.h"

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "Platform/Fake/InMemoryDesktopIconsAccessor.h"
#include "Platform/Fake/InMemoryLoginItemService.h"
#include "Platform/Fake/InMemoryPasteboard.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/ScriptedDisplayServer.h"
#include "Platform/Fake/ScriptedScreenCaptureBackend.h"
#include "Platform/Fake/ScriptedScreenshotTool.h"
#include "Platform/Fake/ScriptedWorkspace.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/PrivacyPermissions.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Control/AppController.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Export/ScreenshotCopyPersistenceCoordinator.h"
#include "ZelvorApp/Infrastructure/DesktopVisibilityController.h"
#include "ZelvorApp/Infrastructure/LaunchAtLoginService.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/PermissionService.h"
#include "ZelvorApp/Memory/VisualMemoryRecordingService.h"
#include "ZelvorApp/Memory/VisualMemorySourceCollector.h"
#include "ZelvorApp/Memory/MemoryTestSupport.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <memory>

namespace brisklet::control_testing {

class ScriptedPrivacyPermissions final : public PrivacyPermissions {
public:
    bool screenCapturePreflight() const override { return screenGranted; }
    bool requestScreenCapture() override {
        ++screenRequests;
        screenGranted = screenGranted || grantsScreenOnRequest;
        return screenGranted;
    }
    bool isAccessibilityTrusted() const override { return accessibilityTrusted; }
    bool requestAccessibilityTrust() override {
        ++accessibilityRequests;
        accessibilityTrusted = accessibilityTrusted || grantsAccessibilityOnRequest;
        return accessibilityTrusted;
    }
    bool openPrivacySettings(AppPermission) override { return true; }
    std::filesystem::path bundlePath() const override { return "/usr/bin/brisklet-engine"; }

    bool screenGranted = true;
    bool grantsScreenOnRequest = false;
    bool accessibilityTrusted = true;
    bool grantsAccessibilityOnRequest = false;
    int screenRequests = 0;
    int accessibilityRequests = 0;
};

/// Everything the controller needs, built from fakes. Ports are connected by default; a test
/// disconnects one by setting its pointer in `ports` to null before `makeController`.
class AppHarness {
public:
    AppHarness()
        : mainQueue(clock), capture(backend, tool, codec, paths.temporaryDirectory(), localization),
          exportService(pasteboard, tracker),
          copyPersistence(takeCopyQueue(), mainQueue, codec, clock),
          store(paths.root() / "VisualMemory", {}, &clock),
          visualMemory(VisualMemoryEnvironment{store, mainQueue, analysisQueue, clock,
                                               [this] { return model.preferences(); },
                                               [this](const auto& items) { model.setVisualMemoryItems(items); }},
                       analyzer),
          sources(workspace),
          permissions(privacy, displays, tool, paths.temporaryDirectory(), false), launchAtLogin(loginItems),
          desktopVisibility(desktopIcons, mainQueue) {
        displays.setScreens({ScriptedDisplayServer::screen(1, Rect{{0, 0}, {800, 600}}, true)});
        displays.setMouseLocation(Point{100, 100});
        AppPreferences preferences = AppPreferences::makeDefaults(paths.root());
        preferences.exportDirectory = (paths.root() / "Exports").string();
        PreferencesStore(defaults).save(preferences);
        workspace.setFrontmost(RunningApplication{"Firefox", std::string("firefox"), 77});
    }

    AppController& makeController() {
        AppServices services{defaults,       mainQueue,        clock,   localization, codec,
                             permissions,    desktopVisibility, launchAtLogin, exportService, copyPersistence,
                             store,          visualMemory,     sources, capture,      displays,
                             captureQueue,   pasteboard,       workspace};
        services.selectedText = &selectedText;
        services.updater = updater;
        services.superScreenshots = superScreenshots;
        controller = std::make_unique<AppController>(AppEnvironment{services, ports}, model);
        return *controller;
    }

    AppController& started() {
        makeController().start();
        return *controller;
    }

    std::unique_ptr<SerialQueue> takeCopyQueue() {
        auto queue = std::make_unique<ManualSerialQueue>("copy");
        copyQueue = queue.get();
        return queue;
    }

    /// A selection of the region (10, 10, 200, 100) with a snapshot of the whole screen.
    ScreenSelectionResult regionSelection() const {
        Image snapshot(800, 600);
        snapshot.fill(20, 120, 220);
        return ScreenSelectionResult{Rect{{10, 10}, {200, 100}}, displays.screens().front(), {}, snapshot, {}};
    }

    /// Runs the main queue and the background queues until nothing is left to do.
    void settle() {
        for (int round = 0; round < 20; ++round) {
            mainQueue.drain();
            const int work = captureQueue.runPending() + analysisQueue.runPending();
            mainQueue.drain();
            if (work == 0 && mainQueue.pendingTaskCount() == 0) {
                return;
            }
        }
    }

    testing::CapturedLog log;
    /// The PNG writer's queue of the copy persistence (owned by it).
    ManualSerialQueue* copyQueue = nullptr;
    TemporaryPaths paths;
    ManualClock clock;
    ManualMainQueue mainQueue;
    ManualSerialQueue captureQueue{"capture"};
    ManualSerialQueue analysisQueue{"analysis"};
    InMemoryDefaultsStore defaults;
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    LinuxImageCodec codec;
    ScriptedDisplayServer displays;
    ScriptedScreenCaptureBackend backend;
    ScriptedScreenshotTool tool{codec};
    ScreenCaptureService capture;
    InMemoryPasteboard pasteboard;
    AppClipboardWriteTracker tracker;
    ExportService exportService;
    ScreenshotCopyPersistenceCoordinator copyPersistence;
    VisualMemoryStore store;
    memory_testing::FakeAnalyzer analyzer;
    AppModel model;
    VisualMemoryRecordingService visualMemory;
    ScriptedWorkspace workspace;
    VisualMemorySourceCollector sources;
    ScriptedPrivacyPermissions privacy;
    PermissionService permissions;
    InMemoryLoginItemService loginItems;
    LaunchAtLoginService launchAtLogin;
    InMemoryDesktopIconsAccessor desktopIcons;
    DesktopVisibilityController desktopVisibility;
    ScriptedSelectedText selectedText;

    RecordingHost host;
    RecordingAlerts alerts;
    RecordingOverlay overlay;
    RecordingEditor editor;
    RecordingThumbnails thumbnails;
    RecordingPinnedWindows pinned;
    RecordingStatusItem statusItem;
    RecordingHotkeys hotkeys;
    RecordingWindow settingsWindow;
    RecordingWindow libraryWindow;
    AppPorts ports{host,          alerts,     &overlay,        nullptr,         &editor,
                   &thumbnails,   &pinned,    &statusItem,     &hotkeys,        &settingsWindow,
                   &libraryWindow};
    /// Set before `makeController` to run the controller with an updater.
    AppUpdater* updater = nullptr;
    /// Set before `makeController` to run the controller with a knowledge-package writer.
    SuperScreenshotFlow* superScreenshots = nullptr;
    std::unique_ptr<AppController> controller;
};

} // namespace brisklet::control_testing
