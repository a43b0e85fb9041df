#include "Shell/Editor/BackgroundPresetChip.h"

#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"

#include <QLinearGradient>
#include <QPainter>

namespace brisklet {

using AnnotationPaintStyle::toQColor;

BackgroundPresetChip::BackgroundPresetChip(BackgroundPreset::Style style, const ShellAppearance& appearance,
                                           QWidget* parent)
    : QAbstractButton(parent), style_(std::move(style)), appearance_(appearance) {
    setCheckable(true);
    setFixedSize(side, side);
    setFocusPolicy(Qt::NoFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

void BackgroundPresetChip::setStyle(BackgroundPreset::Style style) {
    style_ = std::move(style);
    update();
}

void BackgroundPresetChip::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF chip = QRectF(rect()).adjusted(3, 3, -3, -3);
    QBrush brush;
    if (const auto* solid = std::get_if<BackgroundPreset::Solid>(&style_)) {
        brush = toQColor(solid->color);
    } else {
        const auto& gradient = std::get<BackgroundPreset::Gradient>(style_);
        QLinearGradient linear(chip.topLeft(), chip.bottomRight());
        linear.setColorAt(0, toQColor(gradient.start));
        linear.setColorAt(1, toQColor(gradient.end));
        brush = linear;
    }
    painter.setPen(QPen(appearance_.dark ? QColor(255, 255, 255, 50) : QColor(0, 0, 0, 35), 1));
    painter.setBrush(brush);
    painter.drawRoundedRect(chip, 6, 6);
    if (isChecked() || underMouse()) {
        painter.setPen(QPen(isChecked() ? appearance_.accent : appearance_.border, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 8, 8);
    }
}

} // namespace brisklet
