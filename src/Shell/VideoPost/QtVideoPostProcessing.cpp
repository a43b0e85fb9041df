#include "Shell/VideoPost/QtVideoPostProcessing.h"

#include "Platform/MainQueue.h"
#include "Shell/ShellAppearance.h"
#include "Shell/VideoPost/VideoPostProcessingWindow.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Video/VideoPostProcessingModel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace brisklet {

struct QtVideoPostProcessing::Presentation {
    Presentation(const VideoRecordingDraft& draft, const VideoRecordingSummary& summary, const Services& services,
                 Handlers given)
        : handlers(std::move(given)), model(draft),
          window(model, summary, services.localization,
                 ShellAppearance::resolve(services.model.preferences().visualAppearanceMode)) {}

    Handlers handlers;
    VideoPostProcessingModel model;
    VideoPostProcessingWindow window;
};

QtVideoPostProcessing::QtVideoPostProcessing(Services services) : services_(services) {}

QtVideoPostProcessing::~QtVideoPostProcessing() {
    presentation_.reset();
    closed_.clear();
}

void QtVideoPostProcessing::present(const VideoRecordingDraft& draft, const VideoRecordingSummary& summary,
                                    Handlers handlers) {
    close();
    presentation_ = std::make_unique<Presentation>(draft, summary, services_, std::move(handlers));
    presentation_->model.loadPreview(services_.frames);
    presentation_->window.refresh();
    presentation_->window.onExport = [this] { exportRequested(); };
    presentation_->window.onCancel = [this] { cancelRequested(); };
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    presentation_->window.presentCentered(screen ? screen : QGuiApplication::primaryScreen());
}

void QtVideoPostProcessing::exportRequested() {
    if (!presentation_->model.beginExport()) {
        return;
    }
    presentation_->window.refresh();
    RuntimeLogger::log("video post-processing export requested url=" +
                       presentation_->model.draft().temporaryURL.string());
    // The handler may report back (or close the window) before it returns.
    const auto onExport = presentation_->handlers.onExport;
    if (onExport) {
        onExport();
    }
}

void QtVideoPostProcessing::cancelRequested() {
    RuntimeLogger::log(std::string("video post-processing cancelled exporting=") +
                       (presentation_->model.isExporting() ? "true" : "false"));
    const auto onCancel = presentation_->handlers.onCancel;
    close();
    if (onCancel) {
        onCancel();
    }
}

void QtVideoPostProcessing::exportProgressed(double fraction) {
    if (presentation_) {
        presentation_->model.updateExportProgress(fraction);
        presentation_->window.refresh();
    }
}

void QtVideoPostProcessing::exportFailed(const std::string& message) {
    if (!presentation_) {
        return;
    }
    RuntimeLogger::log("video post-processing export failed message=" + message);
    presentation_->model.finishExportFailure(message);
    presentation_->window.refresh();
    presentation_->window.raise();
    presentation_->window.activateWindow();
}

void QtVideoPostProcessing::close() {
    if (!presentation_) {
        return;
    }
    presentation_->window.dismiss();
    presentation_->window.onExport = nullptr;
    presentation_->window.onCancel = nullptr;
    // Deleted once the event that asked for it (a click, a key) has been handled by its window.
    closed_.push_back(std::move(presentation_));
    std::weak_ptr<bool> alive = alive_;
    services_.mainQueue.post([this, alive] {
        if (!alive.expired()) {
            closed_.clear();
        }
    });
}

VideoPostProcessingWindow* QtVideoPostProcessing::window() const {
    return presentation_ ? &presentation_->window : nullptr;
}

VideoPostProcessingModel* QtVideoPostProcessing::model() const {
    return presentation_ ? &presentation_->model : nullptr;
}

} // namespace brisklet
