#include "ZelvorApp/Control/ScreenshotFlow.h"

#include "ZelvorApp/Capture/CaptureGeometry.h"

#include "Platform/Clock.h"
#include "Platform/DisplayServer.h"
#include "Platform/ImageCodec.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Capture/SnapshotImageCropper.h"
#include "ZelvorApp/Control/AppEnvironment.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/CaptureGates.h"
#include "ZelvorApp/Control/ExportBookkeeping.h"
#include "ZelvorApp/Control/FloatingThumbnailPresentationPolicy.h"
#include "ZelvorApp/Control/Ports/FloatingThumbnailPort.h"
#include "ZelvorApp/Control/Ports/PinnedWindowsPort.h"
#include "ZelvorApp/Control/Ports/SelectionOverlayPort.h"
#include "ZelvorApp/Control/StatusPopoverGate.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Export/ScreenshotCopyPersistenceCoordinator.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Memory/VisualMemoryRecordingService.h"
#include "ZelvorApp/Memory/VisualMemorySourceCollector.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace brisklet {

namespace {

std::string boolText(bool value) {
    return value ? "true" : "false";
}

long long wholeMs(double seconds) {
    return std::max(0LL, static_cast<long long>(std::floor(seconds * 1000.0)));
}

} // namespace

ScreenshotFlow::ScreenshotFlow(AppEnvironment& environment, AppModel& model, CaptureGates& gates,
                               ExportBookkeeping& bookkeeping, StatusPopoverGate& popover, Hooks hooks)
    : env_(environment), model_(model), gates_(gates), bookkeeping_(bookkeeping), popover_(popover),
      hooks_(std::move(hooks)), hiddenWindows_(environment.ports.settingsWindow, environment.ports.libraryWindow),
      alive_(std::make_shared<bool>(true)) {}

ScreenshotFlow::~ScreenshotFlow() = default;

bool ScreenshotFlow::isEditorOpen() const {
    return editorOpen_;
}

void ScreenshotFlow::startScreenshot(ScreenshotEditorInitialInteractionMode mode,
                                     ScreenshotToolbarImplementation toolbar) {
    start(Request{false, mode, toolbar});
}

void ScreenshotFlow::startFloatingScreenshot() {
    start(Request{true, ScreenshotEditorInitialInteractionMode::normal, ScreenshotToolbarImplementation::declarative});
}

void ScreenshotFlow::start(Request request) {
    if (gates_.hasActiveSelection()) {
        RuntimeLogger::log(request.quick ? "floating screenshot start ignored reason=activeSelection"
                                         : "screenshot start ignored reason=activeSelection");
        return;
    }
    if (!gates_.canStartCaptureAction() || !gates_.ensurePermission()) {
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    popover_.closeThenContinue([this, alive, request] {
        if (!alive.expired()) {
            beginSelection(request);
        }
    });
}

void ScreenshotFlow::beginSelection(Request request) {
    if (gates_.hasActiveSelection()) {
        RuntimeLogger::log("screenshot selection flow ignored reason=activeSelection");
        return;
    }
    discardOpenEditor();
    const VisualMemorySource source = env_.services.sources.currentSource();
    std::optional<Rect> targetScreenFrame;
    if (const auto screen = screenUnderMouse(env_.services.displays)) {
        targetScreenFrame = screen->frame;
    }
    const bool hidSomething = hiddenWindows_.hideVisible();
    if (model_.preferences().autoHideDesktopIconsForScreenshot && !desktopToken_) {
        desktopToken_ = env_.services.desktopVisibility.beginAutomaticHide(DesktopHideReason::screenshot);
    }
    model_.setState(AppViewState::selectingScreenshotRegion);
    const unsigned generation = ++generation_;
    std::weak_ptr<bool> alive = alive_;
    auto open = [this, alive, generation, request, source, targetScreenFrame] {
        if (!alive.expired() && generation == generation_ &&
            model_.state() == AppViewState::selectingScreenshotRegion) {
            openOverlay(request, source, targetScreenFrame);
        }
    };
    if (hidSomething) {
        env_.services.mainQueue.postAfter(hiddenWindowSettleSeconds, std::move(open));
    } else {
        open();
    }
}

SelectionOverlayConfiguration ScreenshotFlow::overlayConfiguration(std::optional<Rect> targetScreenFrame) const {
    const AppPreferences& preferences = model_.preferences();
    SelectionOverlayConfiguration configuration = SelectionOverlayConfiguration::following(
        preferences, env_.services.localization.text(L10nKey::overlayPromptScreenshot));
    if (preferences.selectionAssistant.remembersLastSelection) {
        configuration.rememberedSelection = preferences.lastScreenshotSelection;
    }
    configuration.preferredScreenFrame = targetScreenFrame;
    return configuration;
}

void ScreenshotFlow::openOverlay(Request request, VisualMemorySource source, std::optional<Rect> targetScreenFrame) {
    bookkeeping_.notePendingSource(ExportKind::screenshot, source);
    SelectionOverlayPort* overlay = env_.ports.selectionOverlay;
    if (!overlay) {
        RuntimeLogger::log(std::string("selection overlay unavailable flow=") +
                           (request.quick ? "floatingScreenshot" : "screenshot"));
        bookkeeping_.takePendingSource(ExportKind::screenshot);
        endSelectionSideEffects();
        model_.setState(AppViewState::idle);
        return;
    }
    std::weak_ptr<bool> alive = alive_;
    const unsigned generation = generation_;
    SelectionOverlayPort::Handlers handlers;
    handlers.onSelect = [this, alive, generation, request](ScreenSelectionResult result) {
        if (!alive.expired() && generation == generation_) {
            selected(request, std::move(result));
        }
    };
    handlers.onCancel = [this, alive, generation] {
        if (!alive.expired() && generation == generation_) {
            selectionCancelled();
        }
    };
    overlay->present(overlayConfiguration(targetScreenFrame), std::move(handlers));
}

void ScreenshotFlow::endDesktopAutoHide() {
    if (desktopToken_) {
        env_.services.desktopVisibility.endAutomaticHide(*desktopToken_);
        desktopToken_.reset();
    }
}

void ScreenshotFlow::endSelectionSideEffects() {
    endDesktopAutoHide();
    hiddenWindows_.restore();
    popover_.unsuppress();
}

void ScreenshotFlow::selectionCancelled() {
    RuntimeLogger::log("screenshot selection cancelled");
    bookkeeping_.takePendingSource(ExportKind::screenshot);
    endSelectionSideEffects();
    model_.setState(AppViewState::idle);
}

void ScreenshotFlow::cancelActiveSelection() {
    RuntimeLogger::log("screenshot hotkey cancels active selection");
    ++generation_;
    if (env_.ports.selectionOverlay) {
        env_.ports.selectionOverlay->close("cancelling active selection overlay");
    }
    bookkeeping_.takePendingSource(ExportKind::screenshot);
    endSelectionSideEffects();
    model_.setState(AppViewState::idle);
}

void ScreenshotFlow::selected(Request request, ScreenSelectionResult result) {
    model_.setState(AppViewState::takingScreenshot);
    bookkeeping_.notePendingThumbnailContext(ExportKind::screenshot,
                                             {result.screen.displayID, result.rect});
    const double startedAt = env_.services.clock.monotonicSeconds();
    const unsigned generation = generation_;
    std::weak_ptr<bool> alive = alive_;
    if (!result.captureSource.isWindow() && !result.screenSnapshotImage && !request.quick) {
        // No snapshot yet: the editor opens at once on a placeholder and the pixels follow.
        const double scale = result.screen.scale > 0 ? result.screen.scale : 1.0;
        Image placeholder(std::max(1, static_cast<int>(std::lround(result.rect.width() * scale))),
                          std::max(1, static_cast<int>(std::lround(result.rect.height() * scale))));
        presentEditor(request, result, std::move(placeholder), true);
        return;
    }
    produceImage(result, [this, alive, generation, request, result, startedAt](Result<Image, ScreenCaptureError> image) {
        if (alive.expired() || generation != generation_) {
            return;
        }
        if (request.quick) {
            completeQuickScreenshot(result, std::move(image), startedAt);
        } else if (!image) {
            captureFailed(image.error());
        } else {
            presentEditor(request, result, std::move(image).value(), false);
        }
    });
}

void ScreenshotFlow::produceImage(const ScreenSelectionResult& result, ImageHandler handler) {
    // A clicked window is cut from the frozen screen like a region when there is one: it is what
    // the user saw and chose, frame included, at once; an X server without compositing keeps no
    // picture of the window that the screen does not show anyway.
    if (result.captureSource.isWindow() && !result.screenSnapshotImage) {
        const bool includeShadow = model_.preferences().backgroundAutoApplyEnabled;
        const std::uint32_t windowID = *result.captureSource.windowID;
        ScreenCaptureService& capture = env_.services.capture;
        MainQueue& mainQueue = env_.services.mainQueue;
        env_.services.captureQueue.async([&capture, &mainQueue, windowID, includeShadow, handler] {
            auto image = capture.captureWindow(windowID, includeShadow);
            mainQueue.post([handler, image = std::move(image)]() mutable { handler(std::move(image)); });
        });
        return;
    }
    if (result.screenSnapshotImage) {
        auto cropped = SnapshotImageCropper::cropSelection(*result.screenSnapshotImage, result.rect, result.screen.frame);
        handler(cropped ? Result<Image, ScreenCaptureError>::success(std::move(*cropped))
                        : Result<Image, ScreenCaptureError>::failure(ScreenCaptureError::invalidCrop));
        return;
    }
    auto context = ScreenCaptureService::makeContext(result.screen, env_.services.displays.screens());
    if (!context) {
        handler(Result<Image, ScreenCaptureError>::failure(context.error()));
        return;
    }
    ScreenCaptureService& capture = env_.services.capture;
    MainQueue& mainQueue = env_.services.mainQueue;
    env_.services.captureQueue.async([&capture, &mainQueue, rect = result.rect, context = context.value(),
                                      hidden = result.hiddenWindows, handler] {
        auto image = capture.capture(rect, context, hidden);
        mainQueue.post([handler, image = std::move(image)]() mutable { handler(std::move(image)); });
    });
}

void ScreenshotFlow::captureFailed(ScreenCaptureError error) {
    RuntimeLogger::log("screenshot capture failed error=" + std::string(toString(error)));
    bookkeeping_.takePendingSource(ExportKind::screenshot);
    endSelectionSideEffects();
    bookkeeping_.presentFailure(error);
}

void ScreenshotFlow::completeQuickScreenshot(const ScreenSelectionResult&, Result<Image, ScreenCaptureError> image,
                                             double startedAt) {
    const Clock& clock = env_.services.clock;
    const double captured = clock.monotonicSeconds();
    bookkeeping_.takePendingSource(ExportKind::screenshot);
    if (!image) {
        captureFailed(image.error());
        return;
    }
    FloatingThumbnailPort* thumbnails = env_.ports.floatingThumbnails;
    bool shown = false;
    if (thumbnails) {
        shown = thumbnails->presentQuickScreenshot(image.value());
    } else {
        RuntimeLogger::log("floating thumbnails unavailable flow=floatingScreenshot");
    }
    const double finished = clock.monotonicSeconds();
    if (shown) {
        RuntimeLogger::log("quick screenshot completed captureMs=" + std::to_string(wholeMs(captured - startedAt)) +
                           " previewMs=0 encodeMs=" + std::to_string(wholeMs(finished - captured)) +
                           " totalMs=" + std::to_string(wholeMs(finished - startedAt)));
    }
    endSelectionSideEffects();
    if (thumbnails && !shown) {
        bookkeeping_.presentFailure(DescribedError{});
        return;
    }
    model_.setState(AppViewState::idle);
}

void ScreenshotFlow::annotateImage(Image image, const VisualMemorySource& source,
                                   std::optional<ReeditedCapture> reedited) {
    if (gates_.hasActiveSelection()) {
        RuntimeLogger::log("visualMemory annotate ignored reason=activeSelection");
        return;
    }
    discardOpenEditor();
    reedited_ = std::move(reedited);
    ++generation_;
    const auto screens = env_.services.displays.screens();
    std::optional<DisplayScreen> screen = screenUnderMouse(env_.services.displays);
    if (!screen && !screens.empty()) {
        screen = screens.front();
    }
    if (!screen) {
        restoreReedited();
        bookkeeping_.presentFailure(ScreenCaptureError::missingScreen);
        return;
    }
    const double scale = screen->scale > 0 ? screen->scale : 1.0;
    const Size size{image.width() / scale, image.height() / scale};
    const Rect rect{{screen->frame.midX() - size.width / 2, screen->frame.midY() - size.height / 2}, size};
    bookkeeping_.notePendingSource(ExportKind::screenshot, source);
    bookkeeping_.takePendingThumbnailContext(ExportKind::screenshot);
    model_.setState(AppViewState::takingScreenshot);
    presentEditor(Request{}, ScreenSelectionResult{rect, *screen, {}, std::nullopt, {}}, std::move(image), false,
                  false);
}

void ScreenshotFlow::presentEditor(Request request, const ScreenSelectionResult& result, Image image, bool deferred,
                                   bool fromSelection) {
    endDesktopAutoHide();
    const DisplayScreen screen = result.screen;
    if (fromSelection) {
        hooks_.updatePreferences([&result](AppPreferences& preferences) {
            preferences.lastScreenshotSelection = RememberedSelectionArea{result.screen.displayID, result.rect};
        });
        const VisualMemorySource noted = bookkeeping_.takePendingSource(ExportKind::screenshot);
        const VisualMemorySelection selection{result.captureSource.windowID,
                                              CaptureGeometry::flippedAtPrimaryScreen(result.rect, env_.services.displays.screens())};
        bookkeeping_.notePendingSource(ExportKind::screenshot,
                                       env_.services.sources.sourceForSelection(selection, noted));
    }

    ScreenshotEditorPort* editor = env_.ports.editor;
    if (!editor) {
        RuntimeLogger::log("screenshot editor unavailable flow=screenshot");
        restoreReedited();
        bookkeeping_.takePendingSource(ExportKind::screenshot);
        hiddenWindows_.restore();
        popover_.unsuppress();
        model_.setState(AppViewState::idle);
        return;
    }
    ApplicationHost& host = env_.ports.host;
    policyBeforeEditor_ = host.activationPolicy();
    host.setActivationPolicy(ActivationPolicy::regular);
    // There is no global menu bar here: the editor's Edit commands are shortcuts and a context
    // menu. The lines stay so logs read the same on every desktop.
    RuntimeLogger::log("before install screenshot editor menu mainMenuTitles=[] servicesMenuItemCount=0 "
                       "windowsMenuTitle=nil");
    RuntimeLogger::log("after install screenshot editor menu mainMenuTitles=[Brisklet, Edit, Window] "
                       "servicesMenuItemCount=0 windowsMenuTitle=Window");

    editorMode_ = request.mode;
    std::weak_ptr<bool> alive = alive_;
    const unsigned generation = generation_;
    auto guard = [this, alive, generation](auto body) {
        return [this, alive, generation, body](auto&&... args) {
            if (!alive.expired() && generation == generation_ && editorOpen_) {
                body(std::forward<decltype(args)>(args)...);
            }
        };
    };
    ScreenshotEditorPort::Handlers handlers;
    handlers.onFinish = guard([this](ScreenshotSaveResult saved) { onSave(std::move(saved)); });
    handlers.onCopy = guard([this](ScreenshotCopyPayload payload) { onCopy(std::move(payload)); });
    handlers.onPin = guard([this](Image pinned, Rect frame) { onPin(std::move(pinned), frame); });
    handlers.onCancel = guard([this] { onCancel(); });
    handlers.onHotkeyScopeChanged = guard([this](bool active) {
        if (hooks_.editorHotkeyScopeChanged) {
            hooks_.editorHotkeyScopeChanged(active, editorMode_);
        }
    });
    ScreenshotEditorPort::Request editorRequest{std::move(image), result.rect, screen, request.mode, request.toolbar,
                                                deferred, result.screenSnapshotImage,
                                                result.captureSource.isWindow() ? BackgroundCaptureContext::window
                                                                                : BackgroundCaptureContext::region};
    editorOpen_ = true;
    editor->open(std::move(editorRequest), std::move(handlers));
    RuntimeLogger::log("screenshot editor frame requested=" + toString(result.rect) +
                       " actual=" + toString(editor->frame()) + " visible=" + boolText(editor->isVisible()));
    model_.setState(AppViewState::editingScreenshot);
    if (deferred) {
        refreshDeferredImage(result);
    }
}

void ScreenshotFlow::refreshDeferredImage(const ScreenSelectionResult& result) {
    std::string ids;
    for (const std::uint32_t id : result.hiddenWindows) {
        ids += (ids.empty() ? "" : ",") + std::to_string(id);
    }
    RuntimeLogger::log("refresh deferred screenshot hiddenWindowIDs=[" + ids + "]");
    std::weak_ptr<bool> alive = alive_;
    const unsigned generation = generation_;
    produceImage(result, [this, alive, generation](Result<Image, ScreenCaptureError> image) {
        if (alive.expired() || generation != generation_ || !editorOpen_ || !env_.ports.editor) {
            return;
        }
        if (image) {
            env_.ports.editor->replaceImage(std::move(image).value());
        } else {
            RuntimeLogger::log("refresh deferred screenshot failed error=" + std::string(toString(image.error())));
        }
    });
}

void ScreenshotFlow::finishEditorSession() {
    ApplicationHost& host = env_.ports.host;
    if (policyBeforeEditor_) {
        if (host.activationPolicy() != *policyBeforeEditor_) {
            RuntimeLogger::log("restoring app activation policy after screenshot editor to " +
                               std::to_string(static_cast<int>(*policyBeforeEditor_)));
        }
        host.setActivationPolicy(*policyBeforeEditor_);
        policyBeforeEditor_.reset();
    }
    hiddenWindows_.restore();
    popover_.unsuppress();
    if (hooks_.editorHotkeyScopeChanged) {
        hooks_.editorHotkeyScopeChanged(false, editorMode_);
    }
    editorOpen_ = false;
    if (env_.ports.editor) {
        env_.ports.editor->close();
    }
}

void ScreenshotFlow::discardOpenEditor() {
    if (!editorOpen_) {
        return;
    }
    RuntimeLogger::log("discarding existing screenshot editor before new screenshot");
    ++generation_;
    if (env_.ports.editor) {
        env_.ports.editor->discard();
    }
    bookkeeping_.takePendingSource(ExportKind::screenshot);
    restoreReedited();
    finishEditorSession();
}

void ScreenshotFlow::restoreReedited() {
    const auto reedited = std::exchange(reedited_, std::nullopt);
    if (!reedited) {
        return;
    }
    RuntimeLogger::log("reedited " + std::string(reedited->kind == ReeditedCapture::Kind::pinnedScreenshot
                                                       ? "pinned screenshot"
                                                       : "floating thumbnail") +
                       " restored");
    if (reedited->kind == ReeditedCapture::Kind::pinnedScreenshot) {
        if (env_.ports.pinnedWindows) {
            env_.ports.pinnedWindows->setImageHidden(reedited->id, false);
        }
    } else if (env_.ports.floatingThumbnails) {
        env_.ports.floatingThumbnails->resumeDismissal(reedited->id);
    }
}

void ScreenshotFlow::replaceReedited(const Image* edited) {
    if (!reedited_) {
        return;
    }
    if (reedited_->kind == ReeditedCapture::Kind::pinnedScreenshot) {
        if (!edited) {
            // The new version cannot be shown: the pin keeps the picture it had.
            restoreReedited();
            return;
        }
        const auto reedited = std::exchange(reedited_, std::nullopt);
        RuntimeLogger::log("reedited pinned screenshot replaced");
        if (env_.ports.pinnedWindows) {
            env_.ports.pinnedWindows->replaceImage(reedited->id, *edited);
        }
    } else {
        const auto reedited = std::exchange(reedited_, std::nullopt);
        RuntimeLogger::log("reedited floating thumbnail replaced");
        if (env_.ports.floatingThumbnails) {
            env_.ports.floatingThumbnails->remove(reedited->id);
        }
    }
}

void ScreenshotFlow::onSave(ScreenshotSaveResult result) {
    finishEditorSession();
    if (result) {
        RuntimeLogger::log("screenshot editor finish outcome=success");
        if (reedited_ && reedited_->kind == ReeditedCapture::Kind::pinnedScreenshot) {
            const auto saved = env_.services.codec.readFile(result.value());
            replaceReedited(saved ? &saved.value() : nullptr);
        } else {
            replaceReedited(nullptr);
        }
        bookkeeping_.handleExportOutcome(ExportOutcome::success(result.value()), ExportKind::screenshot);
    } else {
        RuntimeLogger::log("screenshot editor finish outcome=failure error=" + result.error().description());
        restoreReedited();
        bookkeeping_.handleExportOutcome(ExportOutcome::failure(result.error()), ExportKind::screenshot);
    }
}

void ScreenshotFlow::onCopy(ScreenshotCopyPayload payload) {
    const double startedAt = env_.services.clock.monotonicSeconds();
    finishEditorSession();
    const bool persists = payload.persistenceURL.has_value();
    RuntimeLogger::log("screenshot editor copy persists=" + boolText(persists));
    if (persists || (reedited_ && reedited_->kind == ReeditedCapture::Kind::pinnedScreenshot)) {
        replaceReedited(&payload.image);
    } else {
        restoreReedited();
    }
    const VisualMemorySource source = bookkeeping_.takePendingSource(ExportKind::screenshot);
    const FloatingThumbnailPresentationContext context =
        bookkeeping_.takePendingThumbnailContext(ExportKind::screenshot);
    const bool force = bookkeeping_.takeForceFlag();
    const bool recordsInLibrary = persists && (model_.preferences().saveScreenshotToVisualMemory || force);
    model_.setLastMessage(env_.services.localization.text(L10nKey::messageScreenshotCopied));
    model_.setState(AppViewState::idle);
    const Clock& clock = env_.services.clock;
    if (!persists) {
        RuntimeLogger::log("screenshot copy finished without persistence totalMs=" +
                           std::to_string(wholeMs(clock.monotonicSeconds() - startedAt)));
        return;
    }
    RuntimeLogger::log("screenshot copy UI completed totalMs=" +
                       std::to_string(wholeMs(clock.monotonicSeconds() - startedAt)));
    const std::filesystem::path url = *payload.persistenceURL;
    std::weak_ptr<bool> alive = alive_;
    env_.services.copyPersistence.persist(
        std::move(payload.image), url,
        [this, alive, url, source, context, force, recordsInLibrary, startedAt](Status<ScreenshotEditorError> written,
                                                                      std::int64_t encodeMs) {
            if (alive.expired()) {
                return;
            }
            if (!written) {
                RuntimeLogger::log("screenshot copy auto-save failed encodeMs=" + std::to_string(encodeMs) +
                                   " error=" + std::string(toString(written.error())));
                return;
            }
            const ExportedAsset asset = bookkeeping_.recordRecentExport(url, ExportKind::screenshot);
            if (recordsInLibrary) {
                bookkeeping_.recordVisualMemory(asset, source, true);
            }
            if (FloatingThumbnailPresentationPolicy::presentation(ExportKind::screenshot, model_.preferences(),
                                                                  force) == ExportPresentation::thumbnail) {
                if (env_.ports.floatingThumbnails) {
                    env_.ports.floatingThumbnails->present(asset, source, context);
                } else {
                    RuntimeLogger::log("floating thumbnails unavailable url=" + url.string());
                }
            }
            RuntimeLogger::log("screenshot copy persisted encodeMs=" + std::to_string(encodeMs) + " completionMs=" +
                               std::to_string(wholeMs(env_.services.clock.monotonicSeconds() - startedAt)) +
                               " url=" + url.string());
        });
}

void ScreenshotFlow::onPin(Image image, Rect frame) {
    finishEditorSession();
    RuntimeLogger::log("screenshot editor pin");
    bookkeeping_.takePendingSource(ExportKind::screenshot);
    if (reedited_ && reedited_->kind == ReeditedCapture::Kind::pinnedScreenshot && env_.ports.pinnedWindows) {
        // The pin takes its annotated version where it stands instead of a second pin appearing.
        replaceReedited(&image);
        model_.setState(AppViewState::idle);
        return;
    }
    replaceReedited(&image);
    if (env_.ports.pinnedWindows) {
        env_.ports.pinnedWindows->pinImage(image, frame, model_.preferences().pinnedLeftDoubleClickAction);
    } else {
        // The editor is already gone: without a window to pin to, the clipboard keeps the work.
        env_.services.exportService.copyImageToPasteboard(image);
        RuntimeLogger::log("pinned windows unavailable flow=screenshotPin copiedToClipboard=true");
    }
    model_.setState(AppViewState::idle);
}

void ScreenshotFlow::onCancel() {
    finishEditorSession();
    RuntimeLogger::log("screenshot editor cancel");
    bookkeeping_.takePendingSource(ExportKind::screenshot);
    restoreReedited();
    model_.setState(AppViewState::idle);
}

} // namespace brisklet
