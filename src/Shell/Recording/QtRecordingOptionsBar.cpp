#include "Shell/Recording/QtRecordingOptionsBar.h"

#include "Shell/Recording/BorderHighlightWindow.h"
#include "Shell/Recording/RecordingOptionsBarWindow.h"
#include "ZelvorApp/Control/AppModel.h"

namespace brisklet {

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
