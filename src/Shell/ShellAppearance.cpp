#include "Shell/ShellAppearance.h"

#include <QApplication>
#include <QPalette>
#include <QStyle>

namespace brisklet {

ShellAppearance ShellAppearance::light() {
    return {false,
            QColor(0xfa, 0xfa, 0xfb),
            QColor(0xff, 0xff, 0xff),
            QColor(0xec, 0xee, 0xf2),
            QColor(0xdd, 0xe0, 0xe6),
            QColor(0x1f, 0x23, 0x28),
            QColor(0x6a, 0x70, 0x7a),
            QColor(0x35, 0x84, 0xe4),
            QColor(0xff, 0xff, 0xff)};
}

ShellAppearance ShellAppearance::darkAppearance() {
    return {true,
            QColor(0x24, 0x26, 0x2b),
            QColor(0x2f, 0x32, 0x38),
            QColor(0x3a, 0x3e, 0x46),
            QColor(0x41, 0x45, 0x4d),
            QColor(0xf1, 0xf2, 0xf4),
            QColor(0xa3, 0xa8, 0xb1),
            QColor(0x62, 0xa0, 0xea),
            QColor(0xff, 0xff, 0xff)};
}

ShellAppearance ShellAppearance::resolve(VisualAppearanceMode mode) {
    switch (mode) {
    case VisualAppearanceMode::light:
        return light();
    case VisualAppearanceMode::dark:
        return darkAppearance();
    case VisualAppearanceMode::system:
        break;
    }
    const QColor window = QApplication::palette().color(QPalette::Window);
    return window.lightness() < 128 ? darkAppearance() : light();
}

void ShellAppearance::applyToApplication(VisualAppearanceMode mode) {
    static const QPalette desktopPalette = QApplication::palette();
    if (mode == VisualAppearanceMode::system) {
        QApplication::setPalette(desktopPalette);
        return;
    }
    const ShellAppearance colours = mode == VisualAppearanceMode::dark ? darkAppearance() : light();
    QPalette palette = QApplication::style()->standardPalette();
    palette.setColor(QPalette::Window, colours.window);
    palette.setColor(QPalette::WindowText, colours.text);
    palette.setColor(QPalette::Base, colours.surface);
    palette.setColor(QPalette::AlternateBase, colours.hover);
    palette.setColor(QPalette::Text, colours.text);
    palette.setColor(QPalette::Button, colours.surface);
    palette.setColor(QPalette::ButtonText, colours.text);
    palette.setColor(QPalette::ToolTipBase, colours.surface);
    palette.setColor(QPalette::ToolTipText, colours.text);
    palette.setColor(QPalette::PlaceholderText, colours.secondaryText);
    palette.setColor(QPalette::Highlight, colours.accent);
    palette.setColor(QPalette::HighlightedText, colours.accentText);
    palette.setColor(QPalette::Light, colours.hover);
    palette.setColor(QPalette::Mid, colours.border);
    palette.setColor(QPalette::Dark, colours.border.darker(130));
    palette.setColor(QPalette::Disabled, QPalette::Text, colours.secondaryText);
    palette.setColor(QPalette::Disabled, QPalette::WindowText, colours.secondaryText);
    palette.setColor(QPalette::Disabled, QPalette::ButtonText, colours.secondaryText);
    QApplication::setPalette(palette);
}

QString ShellAppearance::panelStyleSheet() const {
    return QStringLiteral(R"(
#briskletPanel { background: %1; border: 1px solid %4; }
#briskletPanel QLabel { color: %5; background: transparent; }
#briskletPanel QLabel[secondary="true"] { color: %6; }
#briskletPanel QLabel[heading="true"] { color: %6; font-weight: 600; }
#briskletPanel QLineEdit { background: %2; color: %5; border: 1px solid %4; border-radius: 8px;
    padding: 6px 8px 6px 30px; selection-background-color: %7; }
#briskletPanel QLineEdit:focus { border: 1px solid %7; }
#briskletPanel QToolButton { color: %5; background: transparent; border: none; border-radius: 8px; padding: 4px; }
#briskletPanel QToolButton:hover { background: %3; }
#briskletPanel QToolButton[quickAction="true"] { background: %2; border: 1px solid %4; border-radius: 10px;
    padding: 6px 10px; text-align: left; }
#briskletPanel QToolButton[quickAction="true"]:hover { background: %3; }
#briskletPanel QToolButton[chip="true"] { border: 1px solid %4; border-radius: 12px; padding: 3px 8px; }
#briskletPanel QToolButton[chip="true"]:checked { background: %7; color: %8; border: 1px solid %7; }
#briskletPanel QFrame[row="true"] { background: transparent; border-radius: 8px; }
#briskletPanel QFrame[row="true"][hovered="true"] { background: %3; }
#briskletPanel QFrame[separator="true"] { background: %4; max-height: 1px; min-height: 1px; border: none; }
#briskletPanel QScrollArea, #briskletPanel QScrollArea > QWidget > QWidget { background: transparent; border: none; }
)")
        .arg(window.name(), surface.name(), hover.name(), border.name(), text.name(), secondaryText.name(),
             accent.name(), accentText.name());
}

} // namespace brisklet
