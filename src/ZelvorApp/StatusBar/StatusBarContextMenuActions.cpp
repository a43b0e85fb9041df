#include "ZelvorApp/StatusBar/StatusBarContextMenuActions.h"

#include "ZelvorApp/Control/AppController.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

void StatusBarContextMenuActions::perform(StatusBarContextMenuAction action, AppController& controller,
                                          ApplicationHost& host) {
    using A = StatusBarContextMenuAction;
    using Mode = ScreenshotEditorInitialInteractionMode;
    switch (action) {
    case A::startScreenshot:
        controller.startScreenshot(Mode::normal, controller.preferredToolbar());
        break;
    case A::startTextRecognitionScreenshot:
        controller.startScreenshot(Mode::textRecognition, controller.preferredToolbar());
        break;
    case A::startTranslateScreenshot:
        controller.startScreenshot(Mode::translate, controller.preferredToolbar());
        break;
    case A::startFloatingScreenshot:
        controller.startFloatingScreenshot();
        break;
    case A::startSuperScreenshot:
        controller.startSuperScreenshotWindow();
        break;
    case A::startLongshot:
        controller.startLongshot();
        break;
    case A::startGIFRegion:
        controller.startGIFRegion();
        break;
    case A::startGIFWindow:
        controller.startGIFWindow();
        break;
    case A::stopActiveOperation:
        controller.stopActiveOperation();
        break;
    case A::openVisualLibrary:
        controller.openVisualLibrary();
        break;
    case A::openDefaultDirectory:
        controller.openDefaultDirectory();
        break;
    case A::openSettings:
        controller.openSettings();
        break;
    case A::checkForUpdates:
        controller.checkForUpdates();
        break;
    case A::quit:
        RuntimeLogger::log("context menu quit");
        host.terminate();
        break;
    }
}

} // namespace brisklet
