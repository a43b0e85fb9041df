#pragma once

#include <QString>

namespace brisklet {

struct ShellAppearance;

/// The look shared by the windows where a finished recording is edited before it is written:
/// labels, buttons (one of them primary), the progress bar and the error text.
struct RecordingEditStyle {
    /// The style sheet for the window named `root`, with the window's own `extraRules` added. The
    /// rules write the window as "#ROOT" and the colours as %1 window, %2 surface, %3 hover,
    /// %4 border, %5 text, %6 secondary text, %7 accent, %8 accent text, %9 error, %10 pressed accent.
    static QString styleSheet(const ShellAppearance& appearance, const QString& root, const QString& extraRules = {});
};

} // namespace brisklet
