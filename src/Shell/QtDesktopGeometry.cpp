#include "Shell/QtDesktopGeometry.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace brisklet::QtDesktopGeometry {

Rect screenFrame(const QScreen* screen) {
    return desktopRect(screen->geometry());
}

Rect desktopRect(const QRect& global) {
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    return Rect{{static_cast<double>(global.x() - primary.x()),
                 static_cast<double>(primary.y() + primary.height() - global.y() - global.height())},
                {static_cast<double>(global.width()), static_cast<double>(global.height())}};
}

QRect globalRect(const Rect& desktop) {
    const QRect primary = QGuiApplication::primaryScreen()->geometry();
    const int width = static_cast<int>(std::lround(desktop.width()));
    const int height = static_cast<int>(std::lround(desktop.height()));
    const int x = primary.x() + static_cast<int>(std::lround(desktop.minX()));
    const int y = primary.y() + primary.height() - static_cast<int>(std::lround(desktop.minY())) - height;
    return QRect(x, y, width, height);
}

} // namespace brisklet::QtDesktopGeometry
