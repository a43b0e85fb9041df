#pragma once

#include "Shell/ShellAppearance.h"

#include <QString>

#include <string>

class QToolButton;
class QWidget;

namespace brisklet {

/// The look the recording bars share: a rounded panel in the appearance's colours, flat tool
/// buttons with an icon and, where room allows, a label.
namespace RecordingBarStyle {

QString styleSheet(const ShellAppearance& appearance);
/// A flat button with the symbol's icon in the text colour (the accent's text colour for `accent`).
QToolButton* button(QWidget* parent, const std::string& symbol, const QString& text, const QString& toolTip,
                    const ShellAppearance& appearance, bool showsText, bool accent = false);
/// Paints the rounded panel behind a bar (call from paintEvent).
void paintPanel(QWidget& bar, const ShellAppearance& appearance);

} // namespace RecordingBarStyle

} // namespace brisklet
