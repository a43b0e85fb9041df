// A phone around the screenshot: a metal band with side buttons, the front glass with its
// bezel, and the camera and speaker above the screen. The dark model has black glass and a
// camera pill; the light one white glass, a speaker slit and a home button.

#include "Platform/Linux/QtRender/DeviceFrameParts.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>

namespace brisklet::deviceframe {

namespace {

struct PhonePalette {
    QColor bandEdge;
    QColor bandLight;
    QColor bandShade;
    QColor button;
    QColor glass;
    QColor glassEdge;
};

PhonePalette palette(bool dark) {
    if (dark) {
        return {rgba(30, 31, 34), rgba(88, 90, 96), rgba(44, 45, 49),
                rgba(52, 53, 58), rgba(8, 8, 10),   rgba(255, 255, 255, 0.08)};
    }
    return {rgba(176, 179, 185), rgba(246, 247, 249), rgba(204, 207, 212),
            rgba(192, 195, 201), rgba(251, 251, 252), rgba(0, 0, 0, 0.10)};
}

void sideButtons(QPainter& p, const QRectF& f, const PhonePalette& colors) {
    const double depth = std::max(2.0, f.width() * 0.011);
    const double h = f.height();
    const auto button = [&](bool leftSide, double top, double length) {
        const double x = leftSide ? f.left() - depth : f.right() - 2;
        const QRectF rect(x, f.top() + top * h, depth + 2, length * h);
        QLinearGradient shade(rect.topLeft(), rect.topRight());
        shade.setColorAt(leftSide ? 0 : 1, colors.bandEdge);
        shade.setColorAt(leftSide ? 1 : 0, colors.button);
        p.setPen(Qt::NoPen);
        p.setBrush(shade);
        p.drawRoundedRect(rect, depth * 0.8, depth * 0.8);
    };
    button(true, 0.150, 0.040);
    button(true, 0.215, 0.075);
    button(true, 0.305, 0.075);
    button(false, 0.245, 0.115);
}

void band(QPainter& p, const QRectF& f, double radius, const PhonePalette& colors) {
    const QPainterPath outline = rounded(f, radius);
    QLinearGradient metal(f.topLeft(), f.topRight());
    metal.setColorAt(0, colors.bandEdge);
    metal.setColorAt(0.035, colors.bandLight);
    metal.setColorAt(0.5, colors.bandShade);
    metal.setColorAt(0.965, colors.bandLight);
    metal.setColorAt(1, colors.bandEdge);
    p.fillPath(outline, metal);
    hairline(p, outline, rgba(0, 0, 0, 0.28));
}

void cameraLens(QPainter& p, QPointF centre, double radius) {
    QRadialGradient lens(centre, radius, centre - QPointF(radius * 0.3, radius * 0.3));
    lens.setColorAt(0, rgba(58, 74, 110));
    lens.setColorAt(0.55, rgba(18, 22, 34));
    lens.setColorAt(1, rgba(4, 4, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(lens);
    p.drawEllipse(centre, radius, radius);
    p.setBrush(rgba(255, 255, 255, 0.35));
    p.drawEllipse(centre - QPointF(radius * 0.32, radius * 0.32), radius * 0.18, radius * 0.18);
}

void darkFeatures(QPainter& p, const Geometry& g) {
    const QRectF& f = g.frame;
    // The camera pill, centred in the bezel above the screen.
    const double pillHeight = std::clamp(g.insets.top * 0.46, 12.0, f.width() * 0.085);
    const double pillWidth = std::min(pillHeight * 3.4, f.width() * 0.36);
    const QRectF pill(f.center().x() - pillWidth / 2, f.top() + g.insets.top * 0.52 - pillHeight / 2, pillWidth,
                      pillHeight);
    p.setPen(QPen(rgba(255, 255, 255, 0.05), 1));
    p.setBrush(rgba(0, 0, 0));
    p.drawRoundedRect(pill, pillHeight / 2, pillHeight / 2);
    cameraLens(p, QPointF(pill.right() - pillHeight / 2, pill.center().y()), pillHeight * 0.26);
    // The home indicator below the screen.
    const double barHeight = std::clamp(g.insets.bottom * 0.09, 3.0, 6.0);
    const double barWidth = f.width() * 0.34;
    const QRectF bar(f.center().x() - barWidth / 2, f.bottom() - g.insets.bottom * 0.5 - barHeight / 2, barWidth,
                     barHeight);
    p.setPen(Qt::NoPen);
    p.setBrush(rgba(255, 255, 255, 0.62));
    p.drawRoundedRect(bar, barHeight / 2, barHeight / 2);
}

void lightFeatures(QPainter& p, const Geometry& g) {
    const QRectF& f = g.frame;
    const double cy = f.top() + g.insets.top * 0.52;
    // Speaker slit with the front camera beside it.
    const double slitHeight = std::clamp(g.insets.top * 0.11, 3.0, 7.0);
    const double slitWidth = f.width() * 0.15;
    const QRectF slit(f.center().x() - slitWidth / 2, cy - slitHeight / 2, slitWidth, slitHeight);
    QLinearGradient grille(slit.topLeft(), slit.bottomLeft());
    grille.setColorAt(0, rgba(150, 154, 161));
    grille.setColorAt(1, rgba(196, 199, 205));
    p.setPen(Qt::NoPen);
    p.setBrush(grille);
    p.drawRoundedRect(slit, slitHeight / 2, slitHeight / 2);
    const double lensRadius = std::clamp(g.insets.top * 0.09, 3.0, 7.0);
    cameraLens(p, QPointF(slit.left() - lensRadius * 3.2, cy), lensRadius);
    // The home button: a ring in the bezel below the screen.
    const double diameter = std::min(g.insets.bottom * 0.62, f.width() * 0.16);
    const QRectF button(f.center().x() - diameter / 2, f.bottom() - g.insets.bottom * 0.5 - diameter / 2, diameter,
                        diameter);
    QLinearGradient face(button.topLeft(), button.bottomLeft());
    face.setColorAt(0, rgba(238, 239, 242));
    face.setColorAt(1, rgba(250, 250, 251));
    p.setPen(QPen(rgba(188, 191, 197), std::max(1.2, diameter * 0.035)));
    p.setBrush(face);
    p.drawEllipse(button);
}

} // namespace

void paintPhone(QPainter& p, const Geometry& g, bool dark) {
    const PhonePalette colors = palette(dark);
    const QRectF& f = g.frame;
    sideButtons(p, f, colors);
    band(p, f, g.bodyCornerRadius, colors);

    const double rim = std::clamp(f.width() * 0.016, 2.0, 9.0);
    const QRectF glass = f.adjusted(rim, rim, -rim, -rim);
    const QPainterPath front = rounded(glass, g.bodyCornerRadius - rim);
    p.fillPath(front, colors.glass);
    hairline(p, front, colors.glassEdge);

    // The display's black border around the screenshot.
    p.setPen(Qt::NoPen);
    p.setBrush(dark ? rgba(0, 0, 0) : rgba(20, 20, 22));
    p.drawPath(rounded(g.screen.adjusted(-2, -2, 2, 2), g.screenCornerRadius + 2));

    if (dark) {
        darkFeatures(p, g);
    } else {
        lightFeatures(p, g);
    }
}

} // namespace brisklet::deviceframe
