#include "Shell/ShellIcons.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <array>
#include <string_view>
#include <utility>

namespace brisklet {

namespace {

constexpr std::array<std::pair<std::string_view, const char*>, 8> themeNames{{
    {"folder", "folder"},
    {"gearshape", "preferences-system"},
    {"power", "application-exit"},
    {"magnifyingglass", "edit-find"},
    {"trash", "edit-delete"},
    {"doc.on.doc", "edit-copy"},
    {"arrow.triangle.2.circlepath", "view-refresh"},
    {"xmark", "window-close"},
}};

QPixmap render(const QByteArray& svg, int size, qreal ratio) {
    QSvgRenderer renderer(svg);
    QPixmap pixmap(QSize(size, size) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(0, 0, size, size));
    return pixmap;
}

} // namespace

QString ShellIcons::themeName(const std::string& symbol) {
    for (const auto& [name, theme] : themeNames) {
        if (name == symbol) {
            return QString::fromLatin1(theme);
        }
    }
    return {};
}

QIcon ShellIcons::ownIcon(const std::string& symbol, const QColor& color) {
    // Panels rebuild their rows on every change; render each symbol and colour once (main thread).
    static QHash<QString, QIcon> cache;
    const QString key = QString::fromStdString(symbol) + QLatin1Char('|') + color.name(QColor::HexArgb);
    if (const auto it = cache.constFind(key); it != cache.constEnd()) {
        return *it;
    }
    QIcon icon = renderOwnIcon(symbol, color);
    cache.insert(key, icon);
    return icon;
}

QIcon ShellIcons::renderOwnIcon(const std::string& symbol, const QColor& color) {
    QFile file(QStringLiteral(":/icons/symbolic/%1.svg").arg(QString::fromStdString(symbol)));
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    // The drawings paint in #000000 only, so one replacement recolours all of them.
    QByteArray svg = file.readAll();
    svg.replace("#000000", color.name(QColor::HexRgb).toLatin1());
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) {
        icon.addPixmap(render(svg, size, 1.0));
        icon.addPixmap(render(svg, size, 2.0));
    }
    return icon;
}

QIcon ShellIcons::icon(const std::string& symbol, const QColor& color) {
    const QString theme = themeName(symbol);
    if (!theme.isEmpty() && QIcon::hasThemeIcon(theme)) {
        return QIcon::fromTheme(theme);
    }
    return ownIcon(symbol, color);
}

} // namespace brisklet
