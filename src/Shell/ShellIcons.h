#pragma once

#include <QColor>
#include <QIcon>

#include <string>

namespace brisklet {

/// Every icon of the shell by its symbol name ("camera.viewfinder", "folder", ...): the
/// desktop theme's icon where a freedesktop name exists, otherwise our own symbolic drawing in
/// the colour of the text it stands beside.
struct ShellIcons {
    static QIcon icon(const std::string& symbol, const QColor& color);
    /// Only our own drawing, never the theme's (the tray icon must look the same everywhere).
    static QIcon ownIcon(const std::string& symbol, const QColor& color);
    /// The freedesktop name standing for a symbol, or empty.
    static QString themeName(const std::string& symbol);

private:
    static QIcon renderOwnIcon(const std::string& symbol, const QColor& color);
};

} // namespace brisklet
