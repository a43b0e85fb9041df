#include "Shell/Recording/QtGIFRecordingWindows.h"

#include "Shell/Recording/BorderHighlightWindow.h"
#include "Shell/Recording/GIFAnnotationCanvasWindow.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/GIFAnnotationCanvasModel.h"

namespace brisklet {

QtGIFRecordingWindows::QtGIFRecordingWindows(AppModel& model, const LocalizationStore& localization,
                                             const GIFAnnotationFrameRenderer& renderer,
                                             GIFControlBarWindow::Actions actions)
    : model_(model), localization_(localization), renderer_(renderer), actions_(std::move(actions)) {}

QtGIFRecordingWindows::~QtGIFRecordingWindows() {
    hide();
}

void QtGIFRecordingWindows::show(const Rect& region, const DisplayScreen& screen,
                                 GIFAnnotationPrototypeSession& annotations) {
    hide();
    border_ = std::make_unique<BorderHighlightWindow>(region);
    border_->show();
    canvas_ = std::make_unique<GIFAnnotationCanvasModel>(annotations, region.size);
    canvasWindow_ = std::make_unique<GIFAnnotationCanvasWindow>(*canvas_, renderer_, region);
    controlBar_ = std::make_unique<GIFControlBarWindow>(model_, localization_, actions_, canvas_.get());
    canvasWindow_->setToolbar(controlBar_.get());
    canvas_->onChanged = [this] {
        canvasWindow_->refresh();
        controlBar_->canvasChanged();
    };
    canvasWindow_->show();
    controlBar_->placeBeside(region, screen.frame);
    controlBar_->show();
    controlBar_->raise();
    RuntimeLogger::log("gif control bar presented rect=" + toString(region) + " " + controlBar_->buttonCentres());
}

void QtGIFRecordingWindows::hide() {
    if (canvas_) {
        canvas_->onChanged = nullptr;
    }
    // Hide may come from one of the control bar's own buttons: the windows go once that click
    // has been handled, the drawing model (tied to the ending recording) at once.
    for (QWidget* window : {static_cast<QWidget*>(controlBar_.release()), static_cast<QWidget*>(canvasWindow_.release())}) {
        if (window) {
            window->hide();
            window->deleteLater();
        }
    }
    canvas_.reset();
    border_.reset();
}

} // namespace brisklet
