#include "main/QtHeadless.h"

#include <QGuiApplication>

namespace brisklet {

std::shared_ptr<QGuiApplication> startHeadlessGuiApplication() {
    if (QGuiApplication::instance() != nullptr) {
        return nullptr;
    }
    // The offscreen platform works with or without a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Qt keeps references to argc and argv for the application's whole life.
    static int argc = 1;
    static char name[] = "brisklet";
    static char* argv[] = {name, nullptr};
    return std::make_shared<QGuiApplication>(argc, argv);
}

} // namespace brisklet
