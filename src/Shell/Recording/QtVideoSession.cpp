#include "Shell/Recording/QtVideoSession.h"

#include "Shell/Recording/BorderHighlightWindow.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <filesystem>

namespace brisklet {

QtVideoSession::QtVideoSession(Services services, VideoRecordingCoordinator::Hooks hooks,
                               GIFControlBarWindow::Actions actions)
    : model_(services.model), localization_(services.localization), actions_(std::move(actions)),
      backend_(services.stream, services.displayName), clicks_(services.mainQueue, services.displayName),
      recorder_({backend_, stateQueue_, services.mainQueue, services.clock, &clicks_}),
      exporter_(exportQueue_, services.mainQueue),
      coordinator_({recorder_, exporter_, services.clock, services.displays, services.localization,
                    [&model = services.model] { return model.preferences(); }, std::filesystem::temp_directory_path()},
                   std::move(hooks).copyingFilesWith(services.exportService), this) {}

QtVideoSession::~QtVideoSession() {
    coordinator_.setWindows(nullptr);
    hide();
}

void QtVideoSession::show(const Rect& region, const DisplayScreen& screen) {
    hide();
    border_ = std::make_unique<BorderHighlightWindow>(region);
    border_->show();
    controlBar_ = std::make_unique<GIFControlBarWindow>(model_, localization_, actions_, nullptr,
                                                        GIFControlBarWindow::TimeDisplay::videoElapsed);
    controlBar_->placeBeside(region, screen.frame);
    controlBar_->show();
    controlBar_->raise();
    RuntimeLogger::log("video control bar presented rect=" + toString(region) + " " + controlBar_->buttonCentres());
}

void QtVideoSession::hide() {
    // Hide may come from one of the control bar's own buttons: the bar goes once that click has
    // been handled.
    if (QWidget* bar = controlBar_.release()) {
        bar->hide();
        bar->deleteLater();
    }
    border_.reset();
}

} // namespace brisklet
