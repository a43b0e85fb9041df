#include "Shell/Longshot/QtLongshotSession.h"

#include "Platform/DisplayServer.h"
#include "Platform/MainQueue.h"
#include "Shell/Longshot/LongshotControlBar.h"
#include "Shell/Longshot/LongshotPreviewWindow.h"
#include "Shell/QtDesktopGeometry.h"
#include "Shell/Recording/BorderHighlightWindow.h"
#include "ZelvorApp/Capture/ScreenCaptureService.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/PermissionService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Longshot/LongshotPreviewLayout.h"
#include "ZelvorApp/Longshot/LongshotWindowLayout.h"

#include <filesystem>
#include <utility>

namespace brisklet {

namespace {

Rect desktopFrame(const QWidget& window) {
    return QtDesktopGeometry::desktopRect(window.frameGeometry());
}

/// Global Qt coordinates, the way the end-to-end tests click them.
std::string frameText(const QRect& frame) {
    return std::to_string(frame.x()) + "," + std::to_string(frame.y()) + "," + std::to_string(frame.width()) + "x" +
           std::to_string(frame.height());
}

} // namespace

QtLongshotSession::QtLongshotSession(Dependencies dependencies)
    : deps_(std::move(dependencies)), capture_(deps_.displayName), composer_(registration_),
      windowServer_(X11WindowServer::Options{deps_.displayName, std::nullopt}),
      scroller_(windowServer_, [this] { return firstScreenFrame(); }),
      recorder_(capture_, composer_, deps_.codec, deps_.mainQueue, queues_, deps_.clock),
      coordinator_(recorder_, scroller_,
                   {[this] { return deps_.permissions.isAccessibilityTrusted(); },
                    [this] { return deps_.permissions.requestAccessibilityAccess(); },
                    [this] {
                        deps_.permissions.snapshot();
                        deps_.permissions.openPrivacySettings(AppPermission::accessibility);
                    }}) {}

QtLongshotSession::~QtLongshotSession() {
    coordinator_.cancel();
}

std::optional<Rect> QtLongshotSession::firstScreenFrame() const {
    const auto screens = deps_.displays.screens();
    for (const DisplayScreen& screen : screens) {
        if (screen.isPrimary) {
            return screen.frame;
        }
    }
    return screens.empty() ? std::nullopt : std::optional<Rect>(screens.front().frame);
}

bool QtLongshotSession::start(const Rect& region, const DisplayScreen& screen, const RecordingOptions&) {
    if (active_) {
        cancel();
    }
    if (!capture_.isConnected()) {
        RuntimeLogger::log("longshot session unavailable reason=noDisplay");
        return false;
    }
    LongshotRecorder::StartRequest request;
    request.rect = region;
    if (auto context = ScreenCaptureService::makeContext(screen, deps_.displays.screens())) {
        request.screenContext = context.value();
    }
    request.screenDisplayID = screen.displayID;
    request.screenFrame = screen.frame;
    request.preferences = deps_.model.preferences();

    region_ = region;
    active_ = true;
    pausedByUser_ = false;
    barModel_ = LongshotControlBarModel();
    previewModel_.clear();
    openWindows(region, screen);
    coordinator_.start(request, recorderCallbacks());
    refreshBar();
    RuntimeLogger::log("longshot session started rect=" + toString(region));
    return true;
}

LongshotRecorder::Callbacks QtLongshotSession::recorderCallbacks() {
    LongshotRecorder::Callbacks callbacks;
    callbacks.hiddenWindowsProvider = [this] { return windowsInRegion(); };
    callbacks.onCaptureActivity = [this](bool active) {
        if (!active) {
            refreshBar();
        }
    };
    callbacks.onPreview = [this](const LongshotPreviewSnapshot& snapshot) {
        previewModel_.update(snapshot);
        barModel_.setFrameCount(snapshot.frameCount);
        if (preview_) {
            preview_->render(previewModel_);
        }
        refreshBar();
    };
    callbacks.onStableBottom = [this] {
        if (!coordinator_.isAutoScrolling()) {
            return;
        }
        // The coordinator finishes the recording itself right after this; the controller hears
        // of it once that has happened, so its state and the tray say "finishing" too.
        barModel_.setReachedBottom(true);
        refreshBar();
        deps_.mainQueue.post([this] {
            if (active_ && !barModel_.finalizing() && controller_.stop) {
                controller_.stop();
            }
        });
    };
    // A picture still being stitched for an earlier, cancelled capture must not end this one.
    callbacks.onFinish = [this, session = ++sessionNumber_](const LongshotRecorder::FinishResult& result) {
        finished(session, result);
    };
    return callbacks;
}

std::vector<std::uint32_t> QtLongshotSession::windowsInRegion() const {
    // The border's frame encloses the region, but its shape is only the ring outside it, so it
    // never shows in a frame and stays.
    std::vector<LongshotWindowLayout::Window> windows;
    for (const QWidget* window :
         {static_cast<const QWidget*>(bar_.get()), static_cast<const QWidget*>(preview_.get())}) {
        if (window && window->isVisible()) {
            windows.push_back({static_cast<std::uint32_t>(window->winId()), desktopFrame(*window)});
        }
    }
    return LongshotWindowLayout::windowsToHide(region_, windows);
}

void QtLongshotSession::openWindows(const Rect& region, const DisplayScreen& screen) {
    const VisualAppearanceMode appearance = deps_.model.preferences().visualAppearanceMode;
    border_ = std::make_unique<BorderHighlightWindow>(region);
    border_->show();

    bar_ = std::make_unique<LongshotControlBar>(deps_.localization, appearance,
                                                LongshotControlBar::Actions{[this] { toggleAutoScroll(); },
                                                                            [this] {
                                                                                if (controller_.stop) {
                                                                                    controller_.stop();
                                                                                }
                                                                            },
                                                                            [this] {
                                                                                if (controller_.cancel) {
                                                                                    controller_.cancel();
                                                                                }
                                                                            }});
    const QSize barSize = LongshotControlBar::fixedSize();
    const Rect barFrame = LongshotWindowLayout::controlBarFrame(
        region, screen.visibleFrame, Size{double(barSize.width()), double(barSize.height())});
    bar_->move(QtDesktopGeometry::globalRect(barFrame).topLeft());
    bar_->show();
    RuntimeLogger::log("longshot control bar shown frame=" + frameText(bar_->geometry()));

    const auto previewFrame =
        LongshotPreviewLayout::frame(region, screen.visibleFrame, LongshotPreviewLayout::contentSize, barFrame);
    if (previewFrame) {
        preview_ = std::make_unique<LongshotPreviewWindow>(deps_.localization, appearance);
        preview_->render(previewModel_);
        preview_->move(QtDesktopGeometry::globalRect(*previewFrame).topLeft());
        preview_->show();
        RuntimeLogger::log("longshot preview shown frame=" + frameText(preview_->geometry()));
    }
}

void QtLongshotSession::closeWindows() {
    // deleteLater: a button of the bar may be the one whose click brought us here.
    for (QWidget* window : {static_cast<QWidget*>(border_.release()), static_cast<QWidget*>(bar_.release()),
                            static_cast<QWidget*>(preview_.release())}) {
        if (window) {
            window->hide();
            window->deleteLater();
        }
    }
}

void QtLongshotSession::refreshBar() {
    if (!active_) {
        return;
    }
    barModel_.setScrolling(LongshotControlBarModel::scrollingFor(coordinator_.isAutoScrolling(),
                                                                 coordinator_.isAutoStartPending(), pausedByUser_));
    if (bar_) {
        bar_->render(barModel_);
    }
}

void QtLongshotSession::toggleAutoScroll() {
    const bool pausing = barModel_.toggle() == LongshotControlBarModel::Toggle::pause;
    const auto& action = pausing ? controller_.pause : controller_.resume;
    if (action) {
        action();
    }
}

void QtLongshotSession::pause() {
    if (!active_ || barModel_.finalizing()) {
        return;
    }
    pausedByUser_ = true;
    coordinator_.pause();
    refreshBar();
}

void QtLongshotSession::resume() {
    if (!active_ || barModel_.finalizing()) {
        return;
    }
    pausedByUser_ = false;
    coordinator_.resume();
    refreshBar();
}

void QtLongshotSession::stop() {
    if (!active_ || barModel_.finalizing()) {
        return;
    }
    barModel_.setFinalizing(true);
    refreshBar();
    // The border and the preview have nothing more to show; the bar says it is stitching.
    for (QWidget* window : {static_cast<QWidget*>(border_.get()), static_cast<QWidget*>(preview_.get())}) {
        if (window) {
            window->hide();
        }
    }
    RuntimeLogger::log("longshot session stopping frames=" + std::to_string(barModel_.frameCount()));
    coordinator_.finish();
}

void QtLongshotSession::cancel() {
    if (!active_) {
        return;
    }
    active_ = false;
    if (barModel_.finalizing()) {
        discardedSession_ = sessionNumber_;
    }
    coordinator_.cancel();
    closeWindows();
    RuntimeLogger::log("longshot session cancelled");
}

void QtLongshotSession::finished(unsigned session, const LongshotRecorder::FinishResult& result) {
    if (!active_ || session != sessionNumber_) {
        if (session == discardedSession_ && result) {
            // The user cancelled after asking to stop: nothing of this capture is kept.
            std::error_code ignored;
            std::filesystem::remove(result.value(), ignored);
            RuntimeLogger::log("longshot export discarded url=" + result.value().string());
        }
        return;
    }
    active_ = false;
    closeWindows();
    if (result) {
        RuntimeLogger::log("longshot session finished url=" + result.value().string());
    } else {
        RuntimeLogger::log(std::string("longshot session failed error=") + std::string(toString(result.error())));
    }
    if (controller_.finished) {
        controller_.finished(result ? ExportOutcome::success(result.value())
                                    : ExportOutcome::failure(AppFlowError(result.error())));
    }
}

} // namespace brisklet
