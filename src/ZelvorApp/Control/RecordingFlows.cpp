#include "ZelvorApp/Control/RecordingFlows.h"

#include "Platform/DisplayServer.h"
#include "Platform/Workspace.h"
#include "ZelvorApp/Capture/CaptureGeometry.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/CaptureGates.h"
#include "ZelvorApp/Control/PickableWindows.h"
#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Control/Ports/CaptureSessionPorts.h"
#include "ZelvorApp/Control/Ports/SelectionOverlayPort.h"
#include "ZelvorApp/Control/Ports/WindowPickerPort.h"
#include "ZelvorApp/Control/StatusPopoverGate.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/PermissionService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Memory/VisualMemorySourceCollector.h"

namespace brisklet {

RecordingFlows::RecordingFlows(AppEnvironment& environment, AppModel& model, CaptureGates& gates,
                               ExportBookkeeping& bookkeeping, StatusPopoverGate& popover,
                               PreferencesUpdate updatePreferences)
    : env_(environment), model_(model), gates_(gates), bookkeeping_(bookkeeping), popover_(popover),
      updatePreferences_(std::move(updatePreferences)), alive_(std::make_shared<bool>(true)) {}

RecordingFlows::~RecordingFlows() = default;

bool RecordingFlows::isCapturing() const {
    const CaptureSessionPort* session = activeSession();
    return session && session->isActive();
}

CaptureSessionPort* RecordingFlows::activeSession() const {
    if (!activeFlow_) {
        return nullptr;
    }
    if (*activeFlow_ == Flow::longshot) {
        return env_.ports.longshotSession;
    }
    return activeFormat_ == RecordingOutputFormat::gif ? env_.ports.gifSession : env_.ports.videoSession;
}

bool RecordingFlows::passGates() {
    if (!gates_.canStartCaptureAction()) {
        RuntimeLogger::log("capture start ignored reason=activeSelection");
        return false;
    }
    return gates_.ensurePermission();
}

void RecordingFlows::startLongshot() {
    if (passGates()) {
        begin(Flow::longshot);
    }
}

void RecordingFlows::startGIFRegion() {
    if (passGates()) {
        begin(Flow::gifRegion);
    }
}

void RecordingFlows::begin(Flow flow) {
    std::weak_ptr<bool> alive = alive_;
    popover_.closeThenContinue([this, alive, flow] {
        if (alive.expired()) {
            return;
        }
        const AppPreferences& preferences = model_.preferences();
        const ExportKind kind = flow == Flow::longshot ? ExportKind::longshot : ExportKind::gif;
        bookkeeping_.notePendingSource(kind, env_.services.sources.currentSource());
        const bool hidesIcons = flow == Flow::longshot ? preferences.autoHideDesktopIconsForLongshot
                                                       : preferences.autoHideDesktopIconsForGIFRegion;
        if (hidesIcons && !desktopToken_) {
            desktopToken_ = env_.services.desktopVisibility.beginAutomaticHide(
                flow == Flow::longshot ? DesktopHideReason::longshot : DesktopHideReason::gifRegion);
        }
        SelectionOverlayConfiguration configuration = SelectionOverlayConfiguration::following(
            preferences, env_.services.localization.text(flow == Flow::longshot ? L10nKey::overlayPromptLongshot
                                                                                : L10nKey::overlayPromptGif));
        if (flow != Flow::longshot) {
            configuration.showsActionButtons = true;
            configuration.autoConfirmOnMouseUp = false;
            configuration.confirmSymbolName = "play.fill";
            configuration.cancelSymbolName = "xmark";
            configuration.rememberedSelection = preferences.lastGIFRegionSelection;
            model_.setState(AppViewState::selectingGifRegion);
        }
        SelectionOverlayPort* overlay = env_.ports.selectionOverlay;
        if (!overlay) {
            abandon(std::string("selection overlay unavailable flow=") +
                    (flow == Flow::longshot ? "longshot" : "gifRegion"));
            return;
        }
        SelectionOverlayPort::Handlers handlers;
        handlers.onSelect = [this, alive, flow](ScreenSelectionResult result) {
            if (!alive.expired()) {
                selected(flow, result);
            }
        };
        handlers.onCancel = [this, alive] {
            if (!alive.expired()) {
                abandon("capture selection cancelled");
            }
        };
        overlay->present(configuration, std::move(handlers));
    });
}

void RecordingFlows::startGIFWindow() {
    if (!passGates()) {
        return;
    }
    const auto windows = pickableWindowsOrAlert(env_, "gif window capture skipped reason=noRecordableWindow");
    if (windows.empty()) {
        return;
    }
    if (!env_.ports.windowPicker) {
        RuntimeLogger::log("window picker unavailable flow=gifWindow");
        return;
    }
    bookkeeping_.notePendingSource(ExportKind::gif, env_.services.sources.currentSource());
    model_.setState(AppViewState::selectingGifWindow);
    std::weak_ptr<bool> alive = alive_;
    env_.ports.windowPicker->present(
        windows, {[this, alive](CapturedWindowInfo window) {
                      if (alive.expired()) {
                          return;
                      }
                      const auto screens = env_.services.displays.screens();
                      const Rect rect = CaptureGeometry::flippedAtPrimaryScreen(window.bounds, screens);
                      const auto screen = screenContaining(screens, Point{rect.midX(), rect.midY()});
                      if (!screen) {
                          abandon("gif window capture skipped reason=offScreen");
                          return;
                      }
                      activeFlow_ = Flow::gifRegion;
                      selected(Flow::gifRegion, ScreenSelectionResult{rect, *screen, {}, std::nullopt,
                                                                      SelectionCaptureSource{}});
                  },
                  [this, alive] {
                      if (!alive.expired()) {
                          abandon("gif window selection cancelled");
                      }
                  }});
}

void RecordingFlows::selected(Flow flow, const ScreenSelectionResult& result) {
    activeFlow_ = flow;
    bookkeeping_.notePendingThumbnailContext(flow == Flow::longshot ? ExportKind::longshot : ExportKind::gif,
                                             {result.screen.displayID, result.rect});
    if (flow == Flow::longshot) {
        if (!env_.ports.longshotSession) {
            abandon("longshot session unavailable");
            return;
        }
        if (!env_.ports.longshotSession->start(result.rect, result.screen, model_.preferences().recordingOptions)) {
            abandon("longshot session failed to start");
            return;
        }
        model_.setState(AppViewState::capturingLongshot);
        return;
    }
    if (!env_.ports.recordingOptionsBar) {
        abandon("recording options bar unavailable");
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    const Rect region = result.rect;
    const DisplayScreen screen = result.screen;
    env_.ports.recordingOptionsBar->present(
        region, screen, model_.preferences().recordingOptions,
        {[this, alive, region, screen](RecordingOptions options) {
             if (!alive.expired()) {
                 env_.ports.recordingOptionsBar->close();
                 if (updatePreferences_) {
                     updatePreferences_([options](AppPreferences& preferences) { preferences.recordingOptions = options; });
                 }
                 startRecording(region, screen, options);
             }
         },
         [this, alive] {
             if (!alive.expired()) {
                 env_.ports.recordingOptionsBar->close();
                 abandon("recording options cancelled");
             }
         }});
}

void RecordingFlows::startRecording(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options) {
    activeFormat_ = options.outputFormat;
    CaptureSessionPort* session = activeSession();
    if (options.outputFormat == RecordingOutputFormat::gif) {
        model_.setGIFRecordingProgress(0, model_.preferences().gifMaxDuration);
    } else if (!env_.services.permissions.hasActualScreenRecordingAccess()) {
        RuntimeLogger::log("video recording requires actual screen recording permission");
        activeFormat_ = RecordingOutputFormat::gif;
        abandon("video recording refused");
        return;
    }
    if (!session) {
        activeFormat_ = RecordingOutputFormat::gif;
        abandon(options.outputFormat == RecordingOutputFormat::gif ? "gif session unavailable"
                                                                   : "video session unavailable");
        return;
    }
    if (!session->start(region, screen, options)) {
        activeFormat_ = RecordingOutputFormat::gif;
        abandon("recording session failed to start");
        return;
    }
    model_.setState(AppViewState::recordingGif);
}

void RecordingFlows::endDesktopAutoHide() {
    if (desktopToken_) {
        env_.services.desktopVisibility.endAutomaticHide(*desktopToken_);
        desktopToken_.reset();
    }
}

void RecordingFlows::abandon(const std::string& reason) {
    RuntimeLogger::log(reason);
    endDesktopAutoHide();
    popover_.unsuppress();
    if (activeFlow_) {
        bookkeeping_.takePendingSource(*activeFlow_ == Flow::longshot ? ExportKind::longshot : ExportKind::gif);
    }
    activeFlow_.reset();
    model_.setState(AppViewState::idle);
}

void RecordingFlows::pause() {
    if (CaptureSessionPort* session = activeSession(); session && session->isActive()) {
        session->pause();
        model_.setState(*activeFlow_ == Flow::longshot ? AppViewState::pausedLongshot : AppViewState::pausedGif);
    }
}

void RecordingFlows::resume() {
    if (CaptureSessionPort* session = activeSession(); session && session->isActive()) {
        session->resume();
        model_.setState(*activeFlow_ == Flow::longshot ? AppViewState::capturingLongshot : AppViewState::recordingGif);
    }
}

void RecordingFlows::stop() {
    if (CaptureSessionPort* session = activeSession(); session && session->isActive()) {
        model_.setState(*activeFlow_ == Flow::longshot ? AppViewState::finalizingLongshot
                                                       : AppViewState::finalizingGif);
        endDesktopAutoHide();
        session->stop();
    }
}

void RecordingFlows::cancel() {
    if (CaptureSessionPort* session = activeSession(); session && session->isActive()) {
        session->cancel();
        activeFormat_ = RecordingOutputFormat::gif;
        abandon("capture session cancelled");
    }
}

void RecordingFlows::sessionFinished(const ExportOutcome& outcome, ExportKind kind) {
    endDesktopAutoHide();
    popover_.unsuppress();
    activeFlow_.reset();
    activeFormat_ = RecordingOutputFormat::gif;
    bookkeeping_.handleExportOutcome(outcome, kind);
}

void RecordingFlows::gifProgress(double elapsedSeconds, double maxDurationSeconds) {
    model_.setGIFRecordingProgress(elapsedSeconds, maxDurationSeconds);
}

} // namespace brisklet
