#pragma once

#include "ZelvorApp/Background/BackgroundRenderPlan.h"

#include <QPainter>
#include <QPainterPath>
#include <QRectF>
#include <QRegion>

namespace brisklet {

class BackgroundImageCache;

/// A rounded rectangle path; a plain rectangle when the radius is 0.
QPainterPath roundedRectPath(const QRectF& rect, double radius);

/// The part of a rounded rectangle that holds no corner: what an opaque picture drawn with those
/// corners is sure to cover.
QRegion coveredByRoundedRect(const QRectF& rect, double radius);

/// Draws the soft shadow of `style` and then fills its shape with `style.fill`, leaving out
/// `covered` (which will be painted over opaquely afterwards). The shadow mask is blurred at a
/// reduced resolution (it has no fine detail), brought to full size once and kept in `cache`
/// when one is given, so moving the shape or redrawing it costs one blend.
void paintBackgroundShadow(QPainter& painter, const BackgroundShadowStyle& style, BackgroundImageCache* cache = nullptr,
                           const QRegion& covered = {});

} // namespace brisklet
