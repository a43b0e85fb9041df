#pragma once

#include "ZelvorApp/Background/BackgroundLayout.h"

#include <QPainter>

namespace brisklet {

/// Draws the browser window, phone or laptop around the screenshot's place, within (and for the
/// phone's buttons and the laptop's base slightly beyond) the layout's frame rectangle. The
/// screenshot itself is drawn afterwards into the content rectangle. `cornerRadius` is the
/// screenshot's own corner, which the chrome's inner edges follow.
void paintDeviceFrame(QPainter& painter, BackgroundFrameStyle style, const BackgroundLayout& layout,
                      double cornerRadius);

} // namespace brisklet
