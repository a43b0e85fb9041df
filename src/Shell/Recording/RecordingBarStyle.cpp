#include "Shell/Recording/RecordingBarStyle.h"

#include "Shell/ShellIcons.h"

#include <QPainter>
#include <QToolButton>

namespace brisklet {

QString RecordingBarStyle::styleSheet(const ShellAppearance& a) {
    return QStringLiteral(
               "QWidget { color: %1; font-size: 13px; }"
               "QToolButton { background: transparent; border: none; border-radius: 8px; padding: 4px 6px; }"
               "QToolButton:hover { background: %2; }"
               "QToolButton:checked { background: %3; color: %4; }"
               "QToolButton[accent='true'] { background: %3; color: %4; font-weight: 600; }"
               "QToolButton[accent='true']:hover { background: %5; }"
               "QComboBox { background: %6; border: 1px solid %7; border-radius: 6px; padding: 2px 6px; }"
               "QComboBox QAbstractItemView { background: %6; color: %1; selection-background-color: %3; }"
               "QLabel#barSecondary { color: %8; }"
               "QFrame#barSeparator { background: %7; }")
        .arg(a.text.name(), a.hover.name(), a.accent.name(), a.accentText.name(), a.accent.lighter(115).name(),
             a.surface.name(), a.border.name(), a.secondaryText.name());
}

QToolButton* RecordingBarStyle::button(QWidget* parent, const std::string& symbol, const QString& text,
                                       const QString& toolTip, const ShellAppearance& appearance, bool showsText,
                                       bool accent) {
    auto* button = new QToolButton(parent);
    button->setIcon(ShellIcons::ownIcon(symbol, accent ? appearance.accentText : appearance.text));
    button->setIconSize(QSize(16, 16));
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAccessibleName(text);
    button->setToolButtonStyle(showsText ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::ArrowCursor);
    if (accent) {
        button->setProperty("accent", true);
    }
    return button;
}

void RecordingBarStyle::paintPanel(QWidget& bar, const ShellAppearance& appearance) {
    // Square corners: without a compositor (plain X11 window managers) a translucent window
    // shows black where rounded corners would leave gaps.
    QPainter painter(&bar);
    painter.fillRect(bar.rect(), appearance.window);
    painter.setPen(QPen(appearance.border, 1));
    painter.drawRect(QRectF(bar.rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace brisklet
