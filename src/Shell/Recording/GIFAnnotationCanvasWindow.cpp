#include "Shell/Recording/GIFAnnotationCanvasWindow.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Shell/QtDesktopGeometry.h"
#include "Shell/Recording/BorderHighlightWindow.h"
#include "ZelvorApp/Recording/GIFAnnotationCanvasModel.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/GIFAnnotationFrameRenderer.h"

#include <QAbstractButton>
#include <QBitmap>
#include <QKeyEvent>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>

#include <variant>

namespace brisklet {

namespace {

/// One pixel just outside the region keeps the window mapped (an empty shape would show it
/// whole) without ever appearing in the recorded frames.
constexpr int anchorMargin = 1;

} // namespace

GIFAnnotationCanvasWindow::GIFAnnotationCanvasWindow(GIFAnnotationCanvasModel& canvas,
                                                     const GIFAnnotationFrameRenderer& renderer, const Rect& region)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::BypassWindowManagerHint),
      canvas_(canvas), renderer_(renderer) {
    setProperty("briskletWindowRole", QStringLiteral("gifAnnotationCanvas"));
    setObjectName(QStringLiteral("gifAnnotationCanvas"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAutoFillBackground(false);
    setGeometry(QtDesktopGeometry::globalRect(region).adjusted(-anchorMargin, -anchorMargin, anchorMargin,
                                                               anchorMargin));
    refresh();
}

GIFAnnotationCanvasWindow::~GIFAnnotationCanvasWindow() {
    if (grabbing_) {
        releaseMouse();
    }
    if (holdsKeyboard_) {
        releaseKeyboard();
    }
}

Point GIFAnnotationCanvasWindow::canvasPoint(const QPointF& local) const {
    return Point{local.x() - anchorMargin, local.y() - anchorMargin};
}

void GIFAnnotationCanvasWindow::renderDrawing() {
    const Size size = canvas_.canvasSize();
    const int width = std::max(1, static_cast<int>(size.width));
    const int height = std::max(1, static_cast<int>(size.height));
    const Image blank(width, height);
    std::vector<GIFPrototypeAnnotation> shown = canvas_.visibleAnnotations();
    // A redaction blurs what it covers, which the canvas cannot see: it shows a solid cover
    // instead, so the recorded pixels under it are hidden from the first frame.
    std::vector<Rect> covers;
    for (auto it = shown.begin(); it != shown.end();) {
        if (const auto* redaction = std::get_if<GIFPrototypeRedactionAnnotation>(&it->payload)) {
            covers.push_back(redaction->rect);
            it = shown.erase(it);
        } else {
            ++it;
        }
    }
    QImage drawing = toQImage(renderer_.render(blank, shown, size)).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!covers.empty()) {
        QPainter painter(&drawing);
        for (const Rect& cover : covers) {
            painter.fillRect(QRectF(cover.minX(), cover.minY(), cover.width(), cover.height()), QColor(0x80, 0x80, 0x80));
        }
    }
    drawCaret(drawing);
    drawing_ = drawing;
}

void GIFAnnotationCanvasWindow::refresh() {
    renderDrawing();
    QImage alpha(size(), QImage::Format_ARGB32_Premultiplied);
    alpha.fill(Qt::transparent);
    {
        QPainter painter(&alpha);
        painter.drawImage(QPoint(anchorMargin, anchorMargin), drawing_);
        painter.fillRect(QRect(0, 0, 1, 1), Qt::black);
    }
    setMask(QBitmap::fromImage(alpha.createAlphaMask()));
    applyInputMode();
    syncKeyboard();
    update();
}

void GIFAnnotationCanvasWindow::syncKeyboard() {
    const bool typing = canvas_.pendingTextOrigin().has_value() && isVisible();
    if (typing && !holdsKeyboard_) {
        grabKeyboard();
        holdsKeyboard_ = true;
    } else if (!typing && holdsKeyboard_) {
        releaseKeyboard();
        holdsKeyboard_ = false;
    }
}

void GIFAnnotationCanvasWindow::drawCaret(QImage& drawing) const {
    const auto origin = canvas_.pendingTextOrigin();
    if (!origin) {
        return;
    }
    // The renderer writes text in the default font at its size, from the origin down.
    QFont font;
    font.setPixelSize(18);
    const QFontMetricsF metrics(font);
    const double x = origin->x + metrics.horizontalAdvance(QString::fromStdString(canvas_.pendingText())) + 1;
    const GIFPrototypeColor c = canvas_.session().selectedColor();
    QPainter painter(&drawing);
    painter.fillRect(QRectF(x, origin->y, 2, metrics.height()),
                     QColor::fromRgbF(float(c.red), float(c.green), float(c.blue)));
}

void GIFAnnotationCanvasWindow::applyInputMode() {
    const bool draws = !canvas_.passesInputThrough();
    if (draws && !grabbing_ && isVisible()) {
        setCursor(Qt::CrossCursor);
        grabMouse(Qt::CrossCursor);
        grabbing_ = true;
        RuntimeLogger::log("gif annotation canvas input=draw");
    } else if (!draws && grabbing_) {
        releaseMouse();
        unsetCursor();
        grabbing_ = false;
        drawingGesture_ = false;
        RuntimeLogger::log("gif annotation canvas input=passThrough");
    }
}

void GIFAnnotationCanvasWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.drawImage(QPoint(anchorMargin, anchorMargin), drawing_);
    // The anchor pixel lies on the border around the region: it takes the border's colour.
    painter.fillRect(QRect(0, 0, 1, 1), BorderHighlightWindow::defaultColor());
}

bool GIFAnnotationCanvasWindow::forwardToToolbar(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    if (rect().adjusted(anchorMargin, anchorMargin, -anchorMargin, -anchorMargin).contains(event->position().toPoint())) {
        return false;
    }
    // Outside the region: a press on a button of the toolbar still works.
    if (toolbar_ && toolbar_->isVisible() && toolbar_->geometry().contains(global)) {
        if (auto* button = qobject_cast<QAbstractButton*>(toolbar_->childAt(toolbar_->mapFromGlobal(global)))) {
            auto* tool = qobject_cast<QToolButton*>(button);
            if (tool && tool->menu()) {
                tool->showMenu();
            } else if (button->isEnabled()) {
                button->click();
            }
        }
    }
    return true;
}

void GIFAnnotationCanvasWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || forwardToToolbar(event)) {
        return;
    }
    drawingGesture_ = true;
    canvas_.press(canvasPoint(event->position()));
}

void GIFAnnotationCanvasWindow::mouseMoveEvent(QMouseEvent* event) {
    if (drawingGesture_) {
        canvas_.move(canvasPoint(event->position()));
    }
}

void GIFAnnotationCanvasWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (drawingGesture_ && event->button() == Qt::LeftButton) {
        drawingGesture_ = false;
        canvas_.release(canvasPoint(event->position()));
    }
}

void GIFAnnotationCanvasWindow::keyPressEvent(QKeyEvent* event) {
    if (!canvas_.pendingTextOrigin()) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        canvas_.commitText();
        break;
    case Qt::Key_Escape:
        canvas_.cancelText();
        break;
    case Qt::Key_Backspace:
        canvas_.deleteBackward();
        break;
    default:
        if (const QString text = event->text(); !text.isEmpty() && text.at(0).isPrint()) {
            canvas_.typeText(text.toStdString());
        }
        break;
    }
    event->accept();
}

} // namespace brisklet
