#include "Shell/Recording/QtRecordingOptionsBar.h"

#include "Shell/Recording/BorderHighlightWindow.h"
#include "Shell/Recording/RecordingOptionsBarWindow.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QToolButton>

namespace brisklet {

namespace {

/// "gif=X,Y mp4=X,Y mov=X,Y" in global pixels, for the log (scripts choose the format by it).
std::string formatButtonCentres(const QWidget& bar) {
    std::string text;
    for (const char* format : {"gif", "mp4", "mov"}) {
        const auto* button = bar.findChild<QToolButton*>(QStringLiteral("recordingFormat-") + QLatin1String(format));
        if (button) {
            const QPoint centre = button->mapToGlobal(button->rect().center());
            text += (text.empty() ? "" : " ") + std::string(format) + "=" + std::to_string(centre.x()) + "," +
                    std::to_string(centre.y());
        }
    }
    return text;
}

} // namespace

QtRecordingOptionsBar::QtRecordingOptionsBar(const AppModel& model, const LocalizationStore& localization)
    : model_(model), localization_(localization) {}

QtRecordingOptionsBar::~QtRecordingOptionsBar() {
    close();
}

void QtRecordingOptionsBar::present(const Rect& region, const DisplayScreen& screen, const RecordingOptions& options,
                                    Handlers handlers) {
    close();
    border_ = std::make_unique<BorderHighlightWindow>(region);
    border_->show();
    RecordingOptionsBarController controller(region, screen.frame, options,
                                             model_.preferences().visualAppearanceMode, std::move(handlers.onConfirm),
                                             std::move(handlers.onCancel));
    window_ = new RecordingOptionsBarWindow(std::move(controller), localization_);
    window_->present();
    RuntimeLogger::log("recording options bar formats " + formatButtonCentres(*window_));
}

RecordingOptionsBarWindow* QtRecordingOptionsBar::window() const {
    return window_.data();
}

void QtRecordingOptionsBar::close() {
    if (window_) {
        // Closing may come from the window's own Start button: it deletes itself later.
        window_->dismissAndRestoreCursor();
        window_.clear();
    }
    border_.reset();
}

} // namespace brisklet
