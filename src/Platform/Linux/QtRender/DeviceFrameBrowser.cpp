// A browser window around the screenshot: one toolbar with window buttons, navigation, the
// address field and tab controls; the page sits inset in the window like a card.

#include "Platform/Linux/QtRender/DeviceFrameParts.h"

#include <QLinearGradient>

#include <algorithm>
#include <cmath>

namespace brisklet::deviceframe {

namespace {

struct BrowserPalette {
    QColor bodyTop;
    QColor bodyBottom;
    QColor outline;
    QColor innerHighlight;
    QColor pageEdge;
    QColor icon;
    QColor iconDim;
    QColor fieldFill;
    QColor fieldEdge;
    QColor lock;
};

BrowserPalette palette(bool dark) {
    if (dark) {
        return {rgba(50, 52, 58),          rgba(38, 40, 45),    rgba(0, 0, 0, 0.55),      rgba(255, 255, 255, 0.09),
                rgba(0, 0, 0, 0.45),       rgba(176, 179, 186), rgba(176, 179, 186, 0.4), rgba(28, 29, 33),
                rgba(255, 255, 255, 0.07), rgba(150, 154, 162)};
    }
    return {rgba(248, 248, 250), rgba(236, 237, 241), rgba(0, 0, 0, 0.16),     rgba(255, 255, 255, 0.85),
            rgba(0, 0, 0, 0.10), rgba(98, 102, 112),  rgba(98, 102, 112, 0.4), rgba(255, 255, 255),
            rgba(0, 0, 0, 0.09), rgba(120, 124, 134)};
}

QPen iconPen(const QColor& color, double width) {
    QPen pen(color, width);
    pen.setCapStyle(Qt::RoundCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void windowButtons(QPainter& p, double left, double cy, double unit) {
    const double diameter = 12 * unit;
    const QColor fills[] = {rgba(255, 95, 87), rgba(254, 188, 46), rgba(40, 200, 64)};
    const QColor rims[] = {rgba(224, 68, 62), rgba(222, 161, 35), rgba(26, 171, 41)};
    for (int i = 0; i < 3; ++i) {
        const QRectF dot(left + i * 20 * unit, cy - diameter / 2, diameter, diameter);
        p.setPen(QPen(rims[i], std::max(0.6, 0.8 * unit)));
        p.setBrush(fills[i]);
        p.drawEllipse(dot.adjusted(0.4, 0.4, -0.4, -0.4));
    }
}

void chevron(QPainter& p, double cx, double cy, double unit, bool pointsLeft, const QColor& color) {
    const double w = 4.5 * unit * (pointsLeft ? 1 : -1);
    const double h = 6.5 * unit;
    QPainterPath path;
    path.moveTo(cx + w / 2, cy - h);
    path.lineTo(cx - w / 2, cy);
    path.lineTo(cx + w / 2, cy + h);
    p.setPen(iconPen(color, 1.8 * unit));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
}

void reload(QPainter& p, double cx, double cy, double unit, const QColor& color) {
    const double r = 6 * unit;
    const QRectF circle(cx - r, cy - r, 2 * r, 2 * r);
    p.setPen(iconPen(color, 1.7 * unit));
    p.setBrush(Qt::NoBrush);
    p.drawArc(circle, 60 * 16, 290 * 16);
    // Arrow head at the arc's open end (60°), pointing along the turn.
    const double a = 60 * M_PI / 180;
    const QPointF tip(cx + r * std::cos(a), cy - r * std::sin(a));
    QPainterPath head;
    head.moveTo(tip + QPointF(-4.2 * unit, -1.2 * unit));
    head.lineTo(tip);
    head.lineTo(tip + QPointF(-0.6 * unit, 4.2 * unit));
    p.drawPath(head);
}

void lock(QPainter& p, double cx, double cy, double unit, const QColor& color) {
    const QRectF body(cx - 4.5 * unit, cy - 1 * unit, 9 * unit, 7.5 * unit);
    p.setPen(iconPen(color, 1.5 * unit));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(cx - 3 * unit, cy - 7 * unit, 6 * unit, 8 * unit), 0, 180 * 16);
    p.drawLine(QPointF(cx - 3 * unit, cy - 3 * unit), QPointF(cx - 3 * unit, cy - 1 * unit));
    p.drawLine(QPointF(cx + 3 * unit, cy - 3 * unit), QPointF(cx + 3 * unit, cy - 1 * unit));
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRoundedRect(body, 1.6 * unit, 1.6 * unit);
}

void plus(QPainter& p, double cx, double cy, double unit, const QColor& color) {
    p.setPen(iconPen(color, 1.7 * unit));
    p.drawLine(QPointF(cx - 6 * unit, cy), QPointF(cx + 6 * unit, cy));
    p.drawLine(QPointF(cx, cy - 6 * unit), QPointF(cx, cy + 6 * unit));
}

void tabs(QPainter& p, double cx, double cy, double unit, const QColor& color) {
    p.setPen(iconPen(color, 1.6 * unit));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(cx - 6 * unit, cy - 3.5 * unit, 9.5 * unit, 9.5 * unit), 2.2 * unit, 2.2 * unit);
    QPainterPath back;
    back.moveTo(cx - 2.5 * unit, cy - 6.5 * unit);
    back.lineTo(cx + 4.5 * unit, cy - 6.5 * unit);
    back.quadTo(cx + 6.5 * unit, cy - 6.5 * unit, cx + 6.5 * unit, cy - 4.5 * unit);
    back.lineTo(cx + 6.5 * unit, cy + 2.5 * unit);
    p.drawPath(back);
}

void sidebar(QPainter& p, double cx, double cy, double unit, const QColor& color) {
    p.setPen(iconPen(color, 1.6 * unit));
    p.setBrush(Qt::NoBrush);
    const QRectF box(cx - 7.5 * unit, cy - 6 * unit, 15 * unit, 12 * unit);
    p.drawRoundedRect(box, 2.5 * unit, 2.5 * unit);
    p.drawLine(QPointF(box.left() + 5.5 * unit, box.top()), QPointF(box.left() + 5.5 * unit, box.bottom()));
}

void addressField(QPainter& p, const QRectF& field, double unit, const BrowserPalette& colors) {
    p.setPen(QPen(colors.fieldEdge, std::max(0.8, unit)));
    p.setBrush(colors.fieldFill);
    p.drawRoundedRect(field, field.height() / 2, field.height() / 2);
    lock(p, field.left() + 17 * unit, field.center().y(), unit, colors.lock);
}

} // namespace

void paintBrowser(QPainter& p, const Geometry& g, bool dark) {
    const BrowserPalette colors = palette(dark);
    const QRectF& f = g.frame;
    const QPainterPath body = rounded(f, g.bodyCornerRadius);

    QLinearGradient fill(f.topLeft(), f.bottomLeft());
    fill.setColorAt(0, colors.bodyTop);
    fill.setColorAt(std::min(1.0, g.insets.top / std::max(f.height(), 1.0)), colors.bodyBottom);
    fill.setColorAt(1, colors.bodyBottom);
    p.fillPath(body, fill);
    hairline(p, body.translated(0, 1).intersected(body), colors.innerHighlight);
    hairline(p, body, colors.outline);

    // A soft edge where the page meets the window.
    p.setPen(Qt::NoPen);
    p.setBrush(colors.pageEdge);
    p.drawPath(rounded(g.screen.adjusted(-1, -1, 1, 1), g.screenCornerRadius + 1));

    // The toolbar: its controls scale with the bar's height (42...60 pixels).
    const double unit = g.insets.top / 52;
    const double cy = f.top() + g.insets.top / 2;
    const double left = f.left() + std::max(g.insets.left, 14 * unit) + 6 * unit;
    windowButtons(p, left, cy, unit);
    sidebar(p, left + 76 * unit, cy, unit, colors.icon);
    chevron(p, left + 108 * unit, cy, unit, true, colors.icon);
    chevron(p, left + 130 * unit, cy, unit, false, colors.iconDim);
    reload(p, left + 156 * unit, cy, unit, colors.icon);
    const double navigationEnd = left + 164 * unit;

    const double right = f.right() - std::max(g.insets.right, 14 * unit) - 6 * unit;
    const bool roomForTools = right - navigationEnd > 260 * unit;
    if (roomForTools) {
        tabs(p, right - 7 * unit, cy, unit, colors.icon);
        plus(p, right - 37 * unit, cy, unit, colors.icon);
    }
    const double fieldLeftLimit = navigationEnd + 18 * unit;
    const double fieldRightLimit = roomForTools ? right - 60 * unit : right;
    const double fieldHeight = std::min(30 * unit, g.insets.top - 12 * unit);
    const double fieldWidth = std::min(f.width() * 0.46, fieldRightLimit - fieldLeftLimit);
    if (fieldWidth > 90 * unit) {
        // Centred on the window when there is room, as browsers do, else as far left as it may go.
        const double fieldLeft =
            std::clamp(f.center().x() - fieldWidth / 2, fieldLeftLimit, fieldRightLimit - fieldWidth);
        addressField(p, QRectF(fieldLeft, cy - fieldHeight / 2, fieldWidth, fieldHeight), unit, colors);
    }
}

} // namespace brisklet::deviceframe
