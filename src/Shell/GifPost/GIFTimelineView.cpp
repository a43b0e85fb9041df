#include "Shell/GifPost/GIFTimelineView.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "ZelvorApp/Recording/GIFPostProcessingModel.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace brisklet {

namespace {

constexpr double knobGap = 4;
constexpr double bottomMargin = 2;
constexpr double trackRadius = 6;

Point pointOf(const QMouseEvent* event) {
    return Point{event->position().x(), event->position().y()};
}

QRectF qRect(const Rect& r) {
    return QRectF(r.minX(), r.minY(), r.width(), r.height());
}

} // namespace

GIFTimelineView::GIFTimelineView(GIFPostProcessingModel& model, const ShellAppearance& appearance, QWidget* parent)
    : QWidget(parent), model_(model), appearance_(appearance), interaction_(model) {
    setObjectName(QStringLiteral("gifTimeline"));
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Sharp on a high-density screen without scaling each frame again at every paint.
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    const int height = static_cast<int>(trackHeight * ratio);
    for (const auto& thumbnail : model_.timelineThumbnails()) {
        if (!thumbnail || thumbnail->isEmpty())
            continue;
        QImage scaled = toQImage(*thumbnail).scaledToHeight(height, Qt::SmoothTransformation);
        scaled.setDevicePixelRatio(ratio);
        strip_.push_back(std::move(scaled));
    }
}

GIFTimelineLayout GIFTimelineView::layout() const {
    const double top = GIFTimelineLayout::knobSize + knobGap;
    const Rect track{{GIFTimelineLayout::handleWidth, top},
                     {std::max(0.0, width() - 2 * GIFTimelineLayout::handleWidth), double(trackHeight)}};
    return GIFTimelineLayout(track, model_.duration());
}

QSize GIFTimelineView::sizeHint() const {
    return {640, minimumSizeHint().height()};
}

QSize GIFTimelineView::minimumSizeHint() const {
    return {200, static_cast<int>(GIFTimelineLayout::knobSize + knobGap + trackHeight + bottomMargin)};
}

void GIFTimelineView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const GIFTimelineLayout geometry = layout();
    const QRectF track = qRect(geometry.track());
    QPainterPath rounded;
    rounded.addRoundedRect(track, trackRadius, trackRadius);
    painter.save();
    painter.setClipPath(rounded);
    painter.fillRect(track, appearance_.hover);
    paintThumbnails(painter, track);
    // What will not be exported is dimmed.
    const QRectF kept = qRect(geometry.selectionBody(model_.startTime(), model_.endTime()));
    const QColor dim(0, 0, 0, appearance_.dark ? 150 : 125);
    painter.fillRect(QRectF(track.topLeft(), QPointF(kept.left(), track.bottom())), dim);
    painter.fillRect(QRectF(QPointF(kept.right(), track.top()), track.bottomRight()), dim);
    painter.restore();
    paintSelection(painter, geometry);
    paintPlayhead(painter, geometry);
}

void GIFTimelineView::paintThumbnails(QPainter& painter, const QRectF& track) const {
    if (strip_.empty())
        return;
    const double slot = track.width() / static_cast<double>(strip_.size());
    for (std::size_t i = 0; i < strip_.size(); ++i) {
        const QRectF cell(track.left() + slot * static_cast<double>(i), track.top(), slot, track.height());
        const QImage& image = strip_[i];
        // Fills its cell the way a picture fills a canvas: cropped, never stretched.
        const QSizeF size =
            (QSizeF(image.size()) / image.devicePixelRatio()).scaled(cell.size(), Qt::KeepAspectRatioByExpanding);
        painter.save();
        painter.setClipRect(cell, Qt::IntersectClip);
        painter.drawImage(QRectF(cell.center() - QPointF(size.width() / 2, size.height() / 2), size), image);
        painter.restore();
    }
}

void GIFTimelineView::paintSelection(QPainter& painter, const GIFTimelineLayout& geometry) const {
    const QColor accent = isEnabled() ? appearance_.accent : appearance_.secondaryText;
    const QRectF kept = qRect(geometry.selectionBody(model_.startTime(), model_.endTime()));
    const double edge = 3;
    painter.fillRect(QRectF(kept.left(), kept.top(), kept.width(), edge), accent);
    painter.fillRect(QRectF(kept.left(), kept.bottom() - edge, kept.width(), edge), accent);
    const auto handle = [&](double left, bool leading) {
        const QRectF body(left, kept.top(), GIFTimelineLayout::handleWidth, kept.height());
        QPainterPath path;
        path.addRoundedRect(body, 4, 4);
        // Square on the side that touches the kept range.
        path.addRect(leading ? body.adjusted(body.width() / 2, 0, 0, 0) : body.adjusted(0, 0, -body.width() / 2, 0));
        painter.fillPath(path.simplified(), accent);
        painter.setPen(QPen(QColor(255, 255, 255, 220), 2, Qt::SolidLine, Qt::RoundCap));
        const double x = body.center().x();
        painter.drawLine(QPointF(x, body.center().y() - 8), QPointF(x, body.center().y() + 8));
    };
    handle(kept.left() - GIFTimelineLayout::handleWidth, true);
    handle(kept.right(), false);
}

void GIFTimelineView::paintPlayhead(QPainter& painter, const GIFTimelineLayout& geometry) const {
    const double x = geometry.x(model_.playheadTime());
    const QRectF track = qRect(geometry.track());
    // A light line with a dark edge shows over bright and dark frames alike.
    painter.setPen(QPen(QColor(0, 0, 0, 110), 4, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(x, track.top() - 2), QPointF(x, track.bottom() + 1));
    painter.setPen(QPen(Qt::white, 2, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(QPointF(x, track.top() - 2), QPointF(x, track.bottom() + 1));
    const QRectF knob = qRect(geometry.playheadKnob(model_.playheadTime())).adjusted(1, 1, -1, -1);
    painter.setPen(QPen(Qt::white, 2));
    painter.setBrush(isEnabled() ? appearance_.accent : appearance_.secondaryText);
    painter.drawEllipse(knob);
}

void GIFTimelineView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    interaction_.press(pointOf(event), layout());
    update();
}

void GIFTimelineView::mouseMoveEvent(QMouseEvent* event) {
    if (interaction_.grabbed() && (event->buttons() & Qt::LeftButton)) {
        interaction_.drag(pointOf(event), layout());
        update();
        return;
    }
    updateCursor(pointOf(event));
}

void GIFTimelineView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        interaction_.release();
        updateCursor(pointOf(event));
    }
}

void GIFTimelineView::updateCursor(Point point) {
    const auto region = GIFTimelineHitTester::hitRegion(
        point, layout().geometry(model_.startTime(), model_.endTime(), model_.playheadTime()));
    const bool handle = region == GIFTimelineHitRegion::startHandle || region == GIFTimelineHitRegion::endHandle;
    setCursor(handle ? Qt::SizeHorCursor : Qt::PointingHandCursor);
}

} // namespace brisklet
