#pragma once

#include "ZelvorCore/Models/AppLanguage.h"

#include <QColor>
#include <QString>

namespace brisklet {

/// The colours of our own surfaces (the panel, its rows) for light or dark appearance.
struct ShellAppearance {
    bool dark = false;
    QColor window;
    QColor surface;
    QColor hover;
    QColor border;
    QColor text;
    QColor secondaryText;
    QColor accent;
    QColor accentText;

    /// `system` follows the desktop's palette.
    static ShellAppearance resolve(VisualAppearanceMode mode);
    static ShellAppearance light();
    static ShellAppearance darkAppearance();
    /// Gives every window (menus and alerts included) the light or dark palette of `mode`;
    /// `system` restores the desktop's own.
    static void applyToApplication(VisualAppearanceMode mode);
    /// The style sheet of the main panel in these colours.
    QString panelStyleSheet() const;
};

} // namespace brisklet
