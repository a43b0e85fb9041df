#include "Shell/SelectionOverlayWindow.h"

#include "Shell/QtKeyTokens.h"

#include <QCursor>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace brisklet {

namespace {

const QColor accent(0x35, 0x84, 0xe4);
/// Windows and detected areas get different colours so the user knows which a click takes.
const QColor windowTargetColour(0x35, 0x84, 0xe4);
const QColor regionTargetColour(0xe6, 0x61, 0x00);

} // namespace

SelectionOverlayWindow::SelectionOverlayWindow()
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::X11BypassWindowManagerHint | Qt::Tool) {
    setProperty("briskletWindowRole", QStringLiteral("selectionOverlay"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    // Every paint covers the whole window with the snapshot; clearing it first is wasted work.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
    setCursor(Qt::CrossCursor);
}

SelectionOverlayWindow::~SelectionOverlayWindow() {
    dismiss();
}

void SelectionOverlayWindow::present(SelectionOverlayViewModel& model, QImage snapshot, const QRect& geometry,
                                     Look look) {
    dismiss();
    model_ = &model;
    snapshot_ = std::move(snapshot);
    look_ = std::move(look);
    pointer_ = QPointF(-1, -1);
    model_->onChange = [this] { update(); };
    setGeometry(geometry);
    setCursor(Qt::CrossCursor);
    show();
    // A reused window that was hidden keeps its old picture until repainted.
    update();
}

void SelectionOverlayWindow::prepare() {
    create();
    QImage scratch(64, 32, QImage::Format_RGB32);
    QPainter painter(&scratch);
    for (const auto& [size, weight] : {std::pair{16, QFont::DemiBold}, std::pair{13, QFont::Normal},
                                       std::pair{11, QFont::DemiBold}}) {
        QFont face = font();
        face.setPixelSize(size);
        face.setWeight(weight);
        painter.setFont(face);
        painter.drawText(scratch.rect(), Qt::AlignCenter, QStringLiteral("Aa#0"));
    }
}

void SelectionOverlayWindow::dismiss() {
    if (model_) {
        model_->onChange = nullptr;
        model_ = nullptr;
    }
    releaseKeyboard();
    hide();
    // The frozen screen is not kept around between selections.
    snapshot_ = QImage();
}

void SelectionOverlayWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    raise();
    activateWindow();
    // A window that bypasses the window manager never gets the focus by itself.
    grabKeyboard();
    // The pointer may rest where it was when the hotkey was pressed; the crosshair, magnifier
    // and snap preview start there rather than after the first movement.
    const QPoint local = mapFromGlobal(QCursor::pos());
    if (model_ && rect().contains(local)) {
        pointer_ = local;
        model_->mouseMoved(toView(pointer_));
    }
}

Point SelectionOverlayWindow::toView(const QPointF& local) const {
    return {local.x(), height() - local.y()};
}

QRectF SelectionOverlayWindow::toLocal(const Rect& view) const {
    return QRectF(view.minX(), height() - view.maxY(), view.width(), view.height());
}

std::optional<MagnifierColorSample> SelectionOverlayWindow::sampleAt(const QPointF& local) const {
    if (snapshot_.isNull() || !rect().contains(local.toPoint())) {
        return std::nullopt;
    }
    const int column = std::clamp(static_cast<int>(std::floor(local.x() / width() * snapshot_.width())), 0,
                                  snapshot_.width() - 1);
    const int row = std::clamp(static_cast<int>(std::floor(local.y() / height() * snapshot_.height())), 0,
                               snapshot_.height() - 1);
    const QColor colour = snapshot_.pixelColor(column, row);
    return MagnifierColorSample{colour.red(), colour.green(), colour.blue()};
}

std::optional<MagnifierColorSample> SelectionOverlayWindow::sampleUnderPointer() const {
    return sampleAt(pointer_);
}

void SelectionOverlayWindow::paintEvent(QPaintEvent*) {
    if (!model_) {
        return;
    }
    QPainter painter(this);
    if (!snapshot_.isNull()) {
        painter.drawImage(rect(), snapshot_);
    }
    const Rect selection = model_->selection();
    const QRectF chosen = toLocal(selection);
    QPainterPath dim;
    dim.setFillRule(Qt::OddEvenFill);
    dim.addRect(rect());
    if (!selection.isEmpty()) {
        dim.addRect(chosen);
    }
    painter.fillPath(dim, QColor(0, 0, 0, 71));
    painter.setRenderHint(QPainter::Antialiasing);
    if (!selection.isEmpty() && !model_->isConfirmed()) {
        painter.setPen(QPen(accent, 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(chosen);
        painter.setPen(QPen(accent, 1));
        painter.setBrush(Qt::white);
        for (const Rect& square : SelectionGeometry::handleRects(selection, devicePixelRatioF())) {
            painter.drawEllipse(toLocal(square));
        }
    }
    if (model_->isConfirmed()) {
        return;
    }
    paintSnapPreview(painter);
    paintActionBar(painter);
    QFont promptFont = font();
    promptFont.setPixelSize(16);
    promptFont.setWeight(QFont::DemiBold);
    painter.setFont(promptFont);
    painter.setPen(Qt::white);
    const QRectF promptArea(0, 24, width(), 28);
    painter.drawText(promptArea, Qt::AlignHCenter | Qt::AlignVCenter, look_.prompt);
    if (!look_.fullScreenHint.isEmpty()) {
        QFont hintFont = font();
        hintFont.setPixelSize(13);
        painter.setFont(hintFont);
        painter.drawText(QRectF(0, 52, width(), 22), Qt::AlignHCenter | Qt::AlignVCenter, look_.fullScreenHint);
    }
    if (pointer_.x() >= 0) {
        if (look_.showsCrosshair) {
            painter.setRenderHint(QPainter::Antialiasing, false);
            painter.setPen(QPen(QColor(255, 255, 255, 82), 1));
            painter.drawLine(QPointF(0, pointer_.y()), QPointF(width(), pointer_.y()));
            painter.drawLine(QPointF(pointer_.x(), 0), QPointF(pointer_.x(), height()));
        }
        if (look_.showsMagnifier && model_->dragMode().kind == SelectionOverlayViewModel::DragMode::Kind::none) {
            paintMagnifier(painter, pointer_);
        }
    }
}

void SelectionOverlayWindow::paintSnapPreview(QPainter& painter) {
    const auto& candidate = model_->hoveredSnapCandidate();
    if (!candidate || !model_->selection().isEmpty()) {
        return;
    }
    const bool isWindow = candidate->source.isWindow();
    QColor colour = isWindow ? windowTargetColour : regionTargetColour;
    // A 2-point line centred on the pixel grid: inset by half its width so it is crisp.
    const QRectF outline = toLocal(candidate->rect).adjusted(1, 1, -1, -1);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    colour.setAlphaF(0.95f);
    QPen pen(colour, 2);
    pen.setJoinStyle(Qt::MiterJoin);
    if (!isWindow) {
        pen.setDashPattern({4, 3});
    }
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(outline);

    QFont badgeFont = font();
    badgeFont.setPixelSize(11);
    badgeFont.setWeight(QFont::DemiBold);
    painter.setFont(badgeFont);
    const QString text = isWindow ? look_.windowBadge : look_.regionBadge;
    const double textWidth = QFontMetricsF(badgeFont).horizontalAdvance(text);
    const Rect view{{0, 0}, {static_cast<double>(width()), static_cast<double>(height())}};
    const QRectF badge = toLocal(SnapBadgeLayout::frame(candidate->rect, view, textWidth));
    colour.setAlphaF(0.92f);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(badge, 6, 6);
    painter.setPen(Qt::white);
    painter.drawText(badge.adjusted(SnapBadgeLayout::horizontalPadding, 4, -SnapBadgeLayout::horizontalPadding, -4),
                     Qt::AlignCenter, text);
    painter.restore();
}

std::optional<std::pair<QRectF, QRectF>> SelectionOverlayWindow::actionButtons() const {
    if (!model_->isActionBarVisible()) {
        return std::nullopt;
    }
    const QRectF bar = toLocal(model_->actionBarFrame(
        Size{static_cast<double>(actionBarSize.width()), static_cast<double>(actionBarSize.height())}));
    const qreal buttonWidth = (bar.width() - 16 - 8) / 2;
    const QRectF cancel(bar.left() + 8, bar.top() + 8, buttonWidth, bar.height() - 16);
    const QRectF confirm(cancel.right() + 8, cancel.top(), buttonWidth, cancel.height());
    return std::make_pair(cancel, confirm);
}

void SelectionOverlayWindow::paintActionBar(QPainter& painter) {
    const auto buttons = actionButtons();
    if (!buttons) {
        return;
    }
    const QRectF bar = buttons->first.united(buttons->second).adjusted(-8, -8, 8, 8);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look_.dark ? QColor(255, 255, 255, 50) : QColor(0, 0, 0, 40), 1));
    painter.setBrush(look_.dark ? QColor(0x24, 0x26, 0x2b, 235) : QColor(0xfa, 0xfa, 0xfb, 235));
    painter.drawRoundedRect(bar, 12, 12);
    QFont buttonFont = font();
    buttonFont.setPixelSize(13);
    buttonFont.setWeight(QFont::DemiBold);
    painter.setFont(buttonFont);
    painter.setPen(Qt::NoPen);
    painter.setBrush(look_.dark ? QColor(0x3a, 0x3e, 0x46) : QColor(0xec, 0xee, 0xf2));
    painter.drawRoundedRect(buttons->first, 7, 7);
    painter.setBrush(accent);
    painter.drawRoundedRect(buttons->second, 7, 7);
    painter.setPen(look_.dark ? QColor(0xf1, 0xf2, 0xf4) : QColor(0x1f, 0x23, 0x28));
    painter.drawText(buttons->first, Qt::AlignCenter, look_.cancelTitle);
    painter.setPen(Qt::white);
    painter.drawText(buttons->second, Qt::AlignCenter, look_.confirmTitle);
}

void SelectionOverlayWindow::paintMagnifier(QPainter& painter, const QPointF& local) {
    const Rect view{{0, 0}, {static_cast<double>(width()), static_cast<double>(height())}};
    const QRectF panel = toLocal(MagnifierLayout::frame(toView(local), view));
    const QColor surface = look_.dark ? QColor(0x24, 0x26, 0x2b, 240) : QColor(0xfa, 0xfa, 0xfb, 240);
    const QColor text = look_.dark ? QColor(0xf1, 0xf2, 0xf4) : QColor(0x1f, 0x23, 0x28);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(look_.dark ? QColor(255, 255, 255, 60) : QColor(0, 0, 0, 50), 1));
    painter.setBrush(surface);
    painter.drawRoundedRect(panel, 10, 10);
    const QRectF zoom(panel.left() + 8, panel.top() + 8, 120, 120);
    if (!snapshot_.isNull()) {
        const qreal ratio = snapshot_.width() / static_cast<qreal>(width());
        const QRectF source((local.x() - 7) * ratio, (local.y() - 7) * ratio, 14 * ratio, 14 * ratio);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.drawImage(zoom, snapshot_, source.toAlignedRect());
        painter.setPen(QPen(QColor(255, 255, 255, 160), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRectF(zoom.center().x() - 4, zoom.center().y() - 4, 8, 8));
    }
    const auto sample = sampleAt(local);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF valueRow(panel.left() + 8, zoom.bottom() + 6, 120, 16);
    if (sample) {
        const QColor colour(sample->red, sample->green, sample->blue);
        const double luminance = (0.2126 * sample->red + 0.7152 * sample->green + 0.0722 * sample->blue) / 255;
        painter.setPen(QPen(luminance >= 0.58 ? QColor(0, 0, 0, 148) : QColor(255, 255, 255, 199), 1));
        painter.setBrush(colour);
        painter.drawEllipse(QRectF(valueRow.left(), valueRow.center().y() - 4, 8, 8));
        QFont valueFont = font();
        valueFont.setPixelSize(11);
        valueFont.setWeight(QFont::DemiBold);
        painter.setFont(valueFont);
        painter.setPen(text);
        painter.drawText(valueRow.adjusted(14, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft,
                         QString::fromStdString(sample->compactFormattedValue(model_->colorFormat())));
    }
    QFont capFont = font();
    capFont.setPixelSize(10);
    painter.setFont(capFont);
    const QRectF caps(panel.left() + 8, valueRow.bottom() + 4, 120, 16);
    painter.setPen(QPen(look_.dark ? QColor(255, 255, 255, 70) : QColor(0, 0, 0, 60), 1));
    painter.setBrush(Qt::NoBrush);
    const QRectF shiftCap(caps.left(), caps.top(), 28, 16);
    const QRectF copyCap(caps.left() + 34, caps.top(), 40, 16);
    painter.drawRoundedRect(shiftCap, 4, 4);
    painter.drawRoundedRect(copyCap, 4, 4);
    painter.setPen(text);
    painter.drawText(shiftCap, Qt::AlignCenter, QStringLiteral("⇧"));
    painter.drawText(copyCap, Qt::AlignCenter, QStringLiteral("Ctrl+C"));
}

void SelectionOverlayWindow::updateCursor(const QPointF& local) {
    if (!model_) {
        return;
    }
    using Kind = SelectionOverlayViewModel::DragMode::Kind;
    if (model_->dragMode().kind == Kind::moving) {
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    const Rect selection = model_->selection();
    const Point p = toView(local);
    if (const auto buttons = actionButtons()) {
        if (buttons->first.contains(local) || buttons->second.contains(local)) {
            setCursor(Qt::PointingHandCursor);
            return;
        }
    }
    if (const auto handle = SelectionGeometry::hitHandle(p, selection, devicePixelRatioF())) {
        switch (*handle) {
        case SelectionHandle::top:
        case SelectionHandle::bottom:
            setCursor(Qt::SizeVerCursor);
            return;
        case SelectionHandle::left:
        case SelectionHandle::right:
            setCursor(Qt::SizeHorCursor);
            return;
        default:
            setCursor(Qt::CrossCursor);
            return;
        }
    }
    const Rect grown{{selection.minX() - 6, selection.minY() - 6}, {selection.width() + 12, selection.height() + 12}};
    setCursor(!selection.isEmpty() && grown.contains(p) ? Qt::OpenHandCursor : Qt::CrossCursor);
}

void SelectionOverlayWindow::mousePressEvent(QMouseEvent* event) {
    if (!model_) {
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    pointer_ = event->position();
    if (const auto buttons = actionButtons()) {
        if (buttons->first.contains(event->position())) {
            model_->keyDown("ESC", false);
            return;
        }
        if (buttons->second.contains(event->position())) {
            model_->confirm();
            return;
        }
    }
    model_->mouseDown(toView(event->position()));
    updateCursor(event->position());
}

void SelectionOverlayWindow::mouseMoveEvent(QMouseEvent* event) {
    if (!model_) {
        return;
    }
    pointer_ = event->position();
    if (event->buttons() & Qt::LeftButton) {
        model_->mouseDragged(toView(event->position()));
    } else {
        model_->mouseMoved(toView(event->position()));
    }
    updateCursor(event->position());
    update();
}

void SelectionOverlayWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (!model_) {
        return;
    }
    if (event->button() != Qt::LeftButton) {
        return;
    }
    model_->mouseUp(toView(event->position()));
    updateCursor(event->position());
}

void SelectionOverlayWindow::keyPressEvent(QKeyEvent* event) {
    if (!model_) {
        return;
    }
    if (event->key() == Qt::Key_Shift) {
        model_->shiftChanged(true);
        return;
    }
    const int key = event->key();
    std::string token = QtKeyTokens::token(key);
    const int bits = QtKeyTokens::modifierBits(event->modifiers());
    if (!token.empty() && token == look_.fullScreenToken && bits == look_.fullScreenModifiers) {
        model_->selectFullScreenAndConfirm("registeredHotkey");
        return;
    }
    const bool isCombination = bits != 0 && token != "RETURN" && token != "ENTER" && token != "ESC";
    if (isCombination && onOtherCombination && onOtherCombination(token, bits)) {
        return;
    }
    if (token == "ENTER") {
        token = "RETURN";
    }
    const bool commandOrControl = (event->modifiers() & (Qt::ControlModifier | Qt::MetaModifier)) != 0;
    if (token.empty() || !model_->keyDown(token, commandOrControl)) {
        QWidget::keyPressEvent(event);
    }
}

void SelectionOverlayWindow::keyReleaseEvent(QKeyEvent* event) {
    if (!model_) {
        return;
    }
    if (event->key() == Qt::Key_Shift) {
        model_->shiftChanged(false);
        return;
    }
    QWidget::keyReleaseEvent(event);
}

} // namespace brisklet
