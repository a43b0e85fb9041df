#include "Shell/Recording/BorderHighlightWindow.h"

#include "Shell/QtDesktopGeometry.h"

#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

#include <cmath>

namespace brisklet {

namespace {

constexpr Qt::WindowFlags baseFlags =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;

Point desktopPoint(const QPointF& global) {
    // A 1×1 rectangle converts the y axis the same way frames are converted.
    const Rect r = QtDesktopGeometry::desktopRect(QRect(global.toPoint(), QSize(1, 1)));
    return {r.minX(), r.minY() + 1};
}

QRegion ring(const QRect& outer, int width) {
    return QRegion(outer).subtracted(QRegion(outer.adjusted(width, width, -width, -width)));
}

} // namespace

BorderHighlightWindow::BorderHighlightWindow(const Rect& region, const QColor& color)
    : QWidget(nullptr, baseFlags | Qt::WindowTransparentForInput), color_(color) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose, false);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(QStringLiteral("Brisklet border"));
    setRegion(region);
}

void BorderHighlightWindow::setRegion(const Rect& region) {
    setGeometry(QtDesktopGeometry::globalRect(BorderHighlightModel::windowFrame(region)));
    // A hidden window hears of its new size only when shown; the shape must be right before.
    updateMask();
}

Rect BorderHighlightWindow::region() const {
    return BorderHighlightModel::region(QtDesktopGeometry::desktopRect(geometry()));
}

void BorderHighlightWindow::setColor(const QColor& color) {
    color_ = color;
    update();
}

void BorderHighlightWindow::setOnMove(BorderHighlightModel::MoveHandler handler) {
    const bool wasMovable = model_.isMovable();
    model_.setOnMove(std::move(handler));
    if (wasMovable != model_.isMovable()) {
        applyInputMode();
    }
}

void BorderHighlightWindow::applyInputMode() {
    const bool wasVisible = isVisible();
    // Changing the flags re-creates the native window, which hides it.
    setWindowFlags(model_.isMovable() ? baseFlags : baseFlags | Qt::WindowTransparentForInput);
    setCursor(model_.isMovable() ? Qt::OpenHandCursor : Qt::ArrowCursor);
    updateMask();
    if (wasVisible) {
        show();
    }
}

void BorderHighlightWindow::updateMask() {
    // The shape keeps the region uncovered even without a compositor; a movable border keeps
    // the whole margin so there is something to grab.
    const int band = model_.isMovable() ? static_cast<int>(BorderHighlightModel::selectionInset)
                                        : static_cast<int>(std::ceil(BorderHighlightModel::lineWidth));
    setMask(ring(rect(), band));
}

void BorderHighlightWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    updateMask();
}

void BorderHighlightWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, false);
    if (model_.isMovable()) {
        QColor margin = color_;
        margin.setAlphaF(0.35);
        painter.fillRect(rect(), margin);
    }
    const Rect stroke = BorderHighlightModel::strokeRect(Rect{{0, 0}, {double(width()), double(height())}});
    QPen pen(color_, BorderHighlightModel::lineWidth);
    pen.setJoinStyle(Qt::MiterJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(stroke.minX(), stroke.minY(), stroke.width(), stroke.height()));
}

void BorderHighlightWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton ||
        !model_.mouseDown(desktopPoint(event->globalPosition()), QtDesktopGeometry::desktopRect(geometry()))) {
        event->ignore();
        return;
    }
    setCursor(Qt::ClosedHandCursor);
}

void BorderHighlightWindow::mouseMoveEvent(QMouseEvent* event) {
    if (const auto frame = model_.mouseDragged(desktopPoint(event->globalPosition()))) {
        move(QtDesktopGeometry::globalRect(*frame).topLeft());
    }
}

void BorderHighlightWindow::mouseReleaseEvent(QMouseEvent*) {
    model_.mouseUp();
    setCursor(model_.isMovable() ? Qt::OpenHandCursor : Qt::ArrowCursor);
}

} // namespace brisklet
