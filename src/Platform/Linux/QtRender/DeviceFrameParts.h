#pragma once

// Shared pieces of the three device painters; not used outside DeviceFrame*.cpp.

#include "ZelvorApp/Background/BackgroundLayout.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

namespace brisklet::deviceframe {

/// Where the chrome goes: the whole frame, the screenshot's place inside it, and their corners.
struct Geometry {
    QRectF frame;
    QRectF screen;
    FrameInsets insets;
    double screenCornerRadius = 0;
    double bodyCornerRadius = 0;
};

QPainterPath rounded(const QRectF& rect, double radius);
/// A rectangle with one radius for the top corners and another for the bottom ones.
QPainterPath roundedTopBottom(const QRectF& rect, double topRadius, double bottomRadius);
QColor rgba(int r, int g, int b, double alpha = 1.0);
/// A one-pixel line along the inside of `path`'s outline.
void hairline(QPainter& painter, const QPainterPath& path, const QColor& color, double width = 1.0);

void paintBrowser(QPainter& painter, const Geometry& g, bool dark);
void paintPhone(QPainter& painter, const Geometry& g, bool dark);
void paintLaptop(QPainter& painter, const Geometry& g, bool dark);

} // namespace brisklet::deviceframe
