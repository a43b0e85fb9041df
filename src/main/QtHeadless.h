#pragma once

#include <memory>

class QGuiApplication;

namespace brisklet {

/// Commands that draw (fonts, backgrounds) need a running QGuiApplication but no screen. Starts
/// one on the "offscreen" platform (unless QT_QPA_PLATFORM names another) when the process has
/// none yet. Keep the result alive while drawing; it is null when an application already runs.
std::shared_ptr<QGuiApplication> startHeadlessGuiApplication();

} // namespace brisklet
