// A laptop around the screenshot: the lid with its aluminium rim, black bezel and camera, the
// hinge, and the base seen from the front with its finger notch. Silver for the light model,
// midnight for the dark one.

#include "Platform/Linux/QtRender/DeviceFrameParts.h"

#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>

namespace brisklet::deviceframe {

namespace {

struct LaptopPalette {
    QColor rimTop;
    QColor rimBottom;
    QColor baseTop;
    QColor baseMiddle;
    QColor baseBottom;
    QColor notchTop;
    QColor notchBottom;
    QColor hinge;
    QColor highlight;
};

LaptopPalette palette(bool dark) {
    if (dark) {
        return {rgba(70, 73, 80), rgba(46, 48, 54), rgba(78, 81, 88), rgba(50, 52, 58),         rgba(24, 25, 28),
                rgba(30, 31, 35), rgba(52, 54, 60), rgba(14, 15, 17), rgba(255, 255, 255, 0.18)};
    }
    return {rgba(214, 216, 220), rgba(186, 189, 195), rgba(232, 234, 237),
            rgba(204, 207, 212), rgba(150, 153, 159), rgba(170, 173, 179),
            rgba(206, 209, 213), rgba(108, 111, 117), rgba(255, 255, 255, 0.75)};
}

void lid(QPainter& p, const QRectF& lidRect, const Geometry& g, const LaptopPalette& colors) {
    const double topRadius = g.bodyCornerRadius;
    const double bottomRadius = std::max(3.0, topRadius * 0.25);
    const QPainterPath outline = roundedTopBottom(lidRect, topRadius, bottomRadius);
    QLinearGradient rim(lidRect.topLeft(), lidRect.bottomLeft());
    rim.setColorAt(0, colors.rimTop);
    rim.setColorAt(1, colors.rimBottom);
    p.fillPath(outline, rim);
    hairline(p, outline, rgba(0, 0, 0, 0.3));

    const double rimWidth = std::clamp(g.insets.left * 0.1, 1.5, 4.0);
    const QRectF glass = lidRect.adjusted(rimWidth, rimWidth, -rimWidth, -rimWidth);
    const QPainterPath bezel = roundedTopBottom(glass, topRadius - rimWidth, std::max(1.0, bottomRadius - rimWidth));
    p.fillPath(bezel, rgba(10, 10, 12));
    hairline(p, bezel, rgba(255, 255, 255, 0.06));

    // The camera in the middle of the top bezel.
    const QPointF camera(lidRect.center().x(), lidRect.top() + g.insets.top * 0.5);
    const double radius = std::clamp(g.insets.top * 0.1, 2.0, 3.5);
    QRadialGradient lens(camera, radius, camera - QPointF(radius * 0.3, radius * 0.3));
    lens.setColorAt(0, rgba(62, 78, 112));
    lens.setColorAt(1, rgba(20, 22, 28));
    p.setPen(Qt::NoPen);
    p.setBrush(lens);
    p.drawEllipse(camera, radius, radius);
}

void base(QPainter& p, const QRectF& slab, double lidWidth, const LaptopPalette& colors) {
    const double corner = std::min(slab.height() * 0.55, slab.width() * 0.03);
    QPainterPath outline;
    outline.moveTo(slab.left(), slab.top());
    outline.lineTo(slab.right(), slab.top());
    outline.lineTo(slab.right(), slab.bottom() - corner);
    outline.quadTo(slab.right(), slab.bottom(), slab.right() - corner * 1.6, slab.bottom());
    outline.lineTo(slab.left() + corner * 1.6, slab.bottom());
    outline.quadTo(slab.left(), slab.bottom(), slab.left(), slab.bottom() - corner);
    outline.closeSubpath();
    QLinearGradient face(slab.topLeft(), slab.bottomLeft());
    face.setColorAt(0, colors.baseTop);
    face.setColorAt(0.45, colors.baseMiddle);
    face.setColorAt(1, colors.baseBottom);
    p.fillPath(outline, face);
    hairline(p, outline, rgba(0, 0, 0, 0.28));
    p.setPen(QPen(colors.highlight, 1));
    p.drawLine(QPointF(slab.left() + 1, slab.top() + 0.5), QPointF(slab.right() - 1, slab.top() + 0.5));

    // The finger notch for opening the lid.
    const double notchWidth = lidWidth * 0.15;
    const double depth = slab.height() * 0.38;
    const QRectF notch(slab.center().x() - notchWidth / 2, slab.top() - depth, notchWidth, 2 * depth);
    QLinearGradient scoop(notch.center(), QPointF(notch.center().x(), notch.bottom()));
    scoop.setColorAt(0, colors.notchTop);
    scoop.setColorAt(1, colors.notchBottom);
    p.save();
    p.setClipRect(QRectF(notch.left(), slab.top(), notch.width(), depth + 1));
    p.setPen(Qt::NoPen);
    p.setBrush(scoop);
    p.drawRoundedRect(notch, depth, depth);
    p.restore();
}

} // namespace

void paintLaptop(QPainter& p, const Geometry& g, bool dark) {
    const LaptopPalette colors = palette(dark);
    const QRectF& f = g.frame;
    const double baseHeight = std::max(10.0, g.insets.bottom * 0.36);
    const QRectF lidRect(f.left(), f.top(), f.width(), f.height() - baseHeight);
    lid(p, lidRect, g, colors);

    // The hinge shows as a dark strip between lid and base, a little narrower than the lid.
    const double hingeInset = f.width() * 0.06;
    const QRectF hinge(f.left() + hingeInset, lidRect.bottom() - 1, f.width() - 2 * hingeInset, baseHeight * 0.22 + 1);
    p.setPen(Qt::NoPen);
    p.setBrush(colors.hinge);
    p.drawRect(hinge);

    // The base reaches a little beyond the lid on both sides, as it does on the real thing.
    const double overhang = std::min(f.width() * 0.055, 60.0);
    const QRectF slab(f.left() - overhang, lidRect.bottom() + baseHeight * 0.18, f.width() + 2 * overhang,
                      baseHeight * 0.82);
    base(p, slab, f.width(), colors);
}

} // namespace brisklet::deviceframe
