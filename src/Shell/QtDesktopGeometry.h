#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <QRect>

class QScreen;

namespace brisklet {

/// Between Qt's global coordinates (top-left of the virtual desktop, y down) and the desktop
/// space the application's rules use (bottom-left of the primary screen, y up).
namespace QtDesktopGeometry {

/// A Qt screen's frame in the desktop space.
Rect screenFrame(const QScreen* screen);
/// A global Qt rectangle in the desktop space.
Rect desktopRect(const QRect& global);
/// A desktop rectangle as a global Qt rectangle (rounded to whole points).
QRect globalRect(const Rect& desktop);

} // namespace QtDesktopGeometry

} // namespace brisklet
