#include "Shell/GifPost/QtGIFPostProcessing.h"

#include "Platform/MainQueue.h"
#include "Shell/GifPost/GIFPostProcessingWindow.h"
#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/GIFPostProcessingModel.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

namespace brisklet {

struct QtGIFPostProcessing::Presentation {
    Presentation(const GIFRecordingDraft& draft, const Services& services, Handlers given)
        : handlers(std::move(given)), model(draft, services.mainQueue, services.localization),
          window(model, services.localization,
                 ShellAppearance::resolve(services.model.preferences().visualAppearanceMode),
                 {services.annotations, services.background}) {}

    Handlers handlers;
    GIFPostProcessingModel model;
    GIFPostProcessingWindow window;
};

QtGIFPostProcessing::QtGIFPostProcessing(Services services) : services_(services) {}

QtGIFPostProcessing::~QtGIFPostProcessing() {
    presentation_.reset();
    closed_.clear();
}

void QtGIFPostProcessing::present(const GIFRecordingDraft& draft, Handlers handlers) {
    close();
    presentation_ = std::make_unique<Presentation>(draft, services_, std::move(handlers));
    presentation_->window.onExport = [this] { exportRequested(); };
    presentation_->window.onCancel = [this] { cancelRequested(); };
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    presentation_->window.presentCentered(screen ? screen : QGuiApplication::primaryScreen());
}

void QtGIFPostProcessing::exportRequested() {
    GIFPostProcessingModel& model = presentation_->model;
    model.beginExport();
    const GIFPostProcessingOptions options = model.options();
    const auto& segments = options.segments;
    RuntimeLogger::log(
        "gif post-processing export requested start=" + formatNumber(segments.empty() ? 0.0 : segments.front().start) +
        " end=" + formatNumber(segments.empty() ? model.duration() : segments.front().end) +
        " background=" + model.backgroundChoice().presetID.value_or("none"));
    // The handler may report back (or close the window) before it returns.
    const auto onExport = presentation_->handlers.onExport;
    if (onExport)
        onExport(options);
}

void QtGIFPostProcessing::cancelRequested() {
    const bool exporting = presentation_->model.isExporting();
    RuntimeLogger::log(std::string("gif post-processing cancelled exporting=") + (exporting ? "true" : "false"));
    const auto onCancel = presentation_->handlers.onCancel;
    close();
    if (onCancel)
        onCancel();
}

void QtGIFPostProcessing::exportProgressed(double fraction) {
    if (presentation_)
        presentation_->model.updateExportProgress(fraction);
}

void QtGIFPostProcessing::exportFailed(const std::string& message) {
    if (!presentation_)
        return;
    RuntimeLogger::log("gif post-processing export failed message=" + message);
    presentation_->model.finishExportFailure(message);
    presentation_->window.raise();
    presentation_->window.activateWindow();
}

void QtGIFPostProcessing::close() {
    if (!presentation_)
        return;
    presentation_->window.dismiss();
    presentation_->window.onExport = nullptr;
    presentation_->window.onCancel = nullptr;
    // Deleted once the event that asked for it (a click, a key) has been handled by its window.
    closed_.push_back(std::move(presentation_));
    std::weak_ptr<bool> alive = alive_;
    services_.mainQueue.post([this, alive] {
        if (!alive.expired())
            closed_.clear();
    });
}

GIFPostProcessingWindow* QtGIFPostProcessing::window() const {
    return presentation_ ? &presentation_->window : nullptr;
}

GIFPostProcessingModel* QtGIFPostProcessing::model() const {
    return presentation_ ? &presentation_->model : nullptr;
}

} // namespace brisklet
