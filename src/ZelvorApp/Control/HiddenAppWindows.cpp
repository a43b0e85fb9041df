#include "ZelvorApp/Control/HiddenAppWindows.h"

#include "ZelvorApp/Control/Ports/AppWindowPort.h"

namespace brisklet {

bool HiddenAppWindows::hideVisible() {
    if (library_ && library_->isVisible()) {
        library_->hide();
        libraryWasVisible_ = true;
    }
    if (settings_ && settings_->isVisible()) {
        settings_->hide();
        settingsWasVisible_ = true;
    }
    return libraryWasVisible_ || settingsWasVisible_;
}

void HiddenAppWindows::restore() {
    if (settingsWasVisible_ && settings_) {
        settings_->show();
    }
    if (libraryWasVisible_ && library_) {
        library_->show();
    }
    forget();
}

void HiddenAppWindows::forget() {
    settingsWasVisible_ = false;
    libraryWasVisible_ = false;
}

} // namespace brisklet
