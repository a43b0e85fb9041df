#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Models/StoredColor.h"

#include <QColor>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPointF>

#include <array>
#include <span>
#include <vector>

namespace brisklet {

/// Colours, pens and the enhanced-colour passes shared by every annotation painter.
namespace AnnotationPaintStyle {

QColor toQColor(const StoredColor& color);
QPointF toQPoint(Point p);
QPainterPath polygonPath(std::span<const Point> points);

/// A solid pen with round caps and joins.
QPen roundPen(const QColor& color, double width);

/// One pass of the enhanced look: a colour and how much wider than the item it is drawn.
struct Pass {
    QColor color;
    double extraWidth = 0;
};
/// Halo (+4), depth (+2.2), then the lightened colour at the item's own width.
std::array<Pass, 3> enhancedPasses(const StoredColor& color);
/// The passes to draw: the enhanced three, or the plain colour alone.
std::vector<Pass> passes(const StoredColor& color, bool enhanced);

/// Strokes `path` once per pass at `width` plus the pass's extra width.
void strokeInPasses(QPainter& painter, const QPainterPath& path, const StoredColor& color, double width, bool enhanced,
                    Qt::PenJoinStyle join = Qt::RoundJoin);

/// A soft shadow of `path` in `color`, one image pixel below it, blurred by about 1.6 pixels.
void drawSoftShadow(QPainter& painter, const QPainterPath& path, const QColor& color);

} // namespace AnnotationPaintStyle

} // namespace brisklet
