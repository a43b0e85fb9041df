#pragma once

#include <string>

namespace brisklet {

class AlertPresenter;
class AppUpdater;
class AppWindowPort;
class ApplicationHost;
class CaptureSessionPort;
class Clock;
class ClipboardVisualMemoryMonitor;
class ClipboardVisualMemoryRecorder;
class DefaultsStore;
class DesktopVisibilityController;
class DisplayServer;
class ExportService;
class FloatingThumbnailPort;
class HotkeyManagerPort;
class ImageCodec;
class LaunchAtLoginService;
class LocalizationStore;
class MainQueue;
class Pasteboard;
class PermissionService;
class PinnedWindowsPort;
class RecordingOptionsBarPort;
class ScreenCaptureService;
class ScreenshotCopyPersistenceCoordinator;
class ScreenshotEditorPort;
class SelectedTextSource;
class SelectionOverlayPort;
class SerialQueue;
class StatusItemPort;
class SuperScreenshotFlow;
class UpdatePromptPort;
class VisualMemoryRecordingService;
class VisualMemorySourceCollector;
class VisualMemoryStore;
class WindowEnumerator;
class WindowPickerPort;
class Workspace;

/// The long-lived services the controller works with. They are built once, by the composition
/// root, and outlive the controller.
struct AppServices {
    DefaultsStore& defaults;
    MainQueue& mainQueue;
    const Clock& clock;
    LocalizationStore& localization;
    const ImageCodec& codec;
    PermissionService& permissions;
    DesktopVisibilityController& desktopVisibility;
    LaunchAtLoginService& launchAtLogin;
    ExportService& exportService;
    ScreenshotCopyPersistenceCoordinator& copyPersistence;
    VisualMemoryStore& visualMemoryStore;
    VisualMemoryRecordingService& visualMemory;
    VisualMemorySourceCollector& sources;
    ScreenCaptureService& capture;
    const DisplayServer& displays;
    /// Blocking captures run here, never on the main queue.
    SerialQueue& captureQueue;
    Pasteboard& pasteboard;
    Workspace& workspace;
    /// Optional: absent where the desktop offers no such facility (tests leave them out too).
    ClipboardVisualMemoryMonitor* clipboardMonitor = nullptr;
    ClipboardVisualMemoryRecorder* clipboardRecorder = nullptr;
    WindowEnumerator* windows = nullptr;
    const SelectedTextSource* selectedText = nullptr;
    /// Writes knowledge packages; absent, super screenshots say they are unavailable.
    SuperScreenshotFlow* superScreenshots = nullptr;
    /// Checks for, downloads and installs new versions; absent where the build has no updater.
    AppUpdater* updater = nullptr;
    /// Names the per-application defaults flags, e.g. "com.brisklet.Brisklet".
    std::string bundleIdentifier = "com.brisklet.Brisklet";
};

/// The windows the controller opens. A missing one (null) has not been built for this desktop
/// yet: the flows that need it say so in the log and return to idle.
struct AppPorts {
    ApplicationHost& host;
    AlertPresenter& alerts;
    SelectionOverlayPort* selectionOverlay = nullptr;
    WindowPickerPort* windowPicker = nullptr;
    ScreenshotEditorPort* editor = nullptr;
    FloatingThumbnailPort* floatingThumbnails = nullptr;
    PinnedWindowsPort* pinnedWindows = nullptr;
    StatusItemPort* statusItem = nullptr;
    HotkeyManagerPort* hotkeys = nullptr;
    AppWindowPort* settingsWindow = nullptr;
    AppWindowPort* libraryWindow = nullptr;
    AppWindowPort* mainPanelWindow = nullptr;
    RecordingOptionsBarPort* recordingOptionsBar = nullptr;
    CaptureSessionPort* longshotSession = nullptr;
    CaptureSessionPort* gifSession = nullptr;
    CaptureSessionPort* videoSession = nullptr;
    /// The update offer; without it the offer is a plain alert.
    UpdatePromptPort* updatePrompt = nullptr;
};

/// Everything a flow of the controller reaches.
struct AppEnvironment {
    AppServices services;
    AppPorts ports;
};

} // namespace brisklet
