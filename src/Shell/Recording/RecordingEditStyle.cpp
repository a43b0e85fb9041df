#include "Shell/Recording/RecordingEditStyle.h"

#include "Shell/ShellAppearance.h"

namespace brisklet {

QString RecordingEditStyle::styleSheet(const ShellAppearance& a, const QString& root, const QString& extraRules) {
    const QColor error = a.dark ? QColor(0xff, 0x7b, 0x72) : QColor(0xc0, 0x1c, 0x28);
    QString rules = QStringLiteral(R"(
#ROOT { background: %1; }
#ROOT QLabel { color: %5; background: transparent; }
#ROOT QLabel[secondary="true"] { color: %6; }
#ROOT QLabel[heading="true"] { font-weight: 600; }
#ROOT QLabel[error="true"] { color: %9; }
#ROOT QPushButton { color: %5; background: %2; border: 1px solid %4; border-radius: 8px; padding: 6px 14px; }
#ROOT QPushButton:hover { background: %3; }
#ROOT QPushButton[primary="true"] { color: %8; background: %7; border: 1px solid %7; }
#ROOT QPushButton[primary="true"]:hover { background: %10; }
#ROOT QPushButton:disabled { color: %6; background: %3; border: 1px solid %4; }
#ROOT QProgressBar { background: %3; border: none; border-radius: 3px; }
#ROOT QProgressBar::chunk { background: %7; border-radius: 3px; }
)") + extraRules;
    rules.replace(QStringLiteral("#ROOT"), QStringLiteral("#") + root);
    return rules.arg(a.window.name(), a.surface.name(), a.hover.name(), a.border.name(), a.text.name(),
                     a.secondaryText.name(), a.accent.name(), a.accentText.name(), error.name(),
                     a.accent.darker(112).name());
}

} // namespace brisklet
