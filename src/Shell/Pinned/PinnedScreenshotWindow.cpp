#include "Shell/Pinned/PinnedScreenshotWindow.h"

#include "Shell/QtStrings.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QToolButton>
#include <QWheelEvent>

#include <array>
#include <cmath>

namespace brisklet {

namespace {

constexpr int controlMargin = 6;
constexpr int closeSide = 22;

Rect toRect(const QRect& r) {
    return Rect{{static_cast<double>(r.x()), static_cast<double>(r.y())},
                {static_cast<double>(r.width()), static_cast<double>(r.height())}};
}

QRect toQRect(const Rect& r) {
    return QRect(static_cast<int>(std::lround(r.minX())), static_cast<int>(std::lround(r.minY())),
                 static_cast<int>(std::lround(r.width())), static_cast<int>(std::lround(r.height())));
}

std::string frameText(const QRect& r) {
    return std::to_string(r.x()) + "," + std::to_string(r.y()) + "," + std::to_string(r.width()) + "x" +
           std::to_string(r.height());
}

} // namespace

PinnedScreenshotWindow::PinnedScreenshotWindow(QImage image, const QRect& frame, const AppPreferences& preferences,
                                               const LocalizationStore& localization)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      image_(std::move(image)), model_({static_cast<double>(frame.width()), static_cast<double>(frame.height())},
                                       toRect(frame)),
      preferences_(preferences), localization_(localization),
      appearance_(ShellAppearance::resolve(preferences.visualAppearanceMode)) {
    setProperty("briskletWindowRole", QStringLiteral("pinnedScreenshot"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    setMouseTracking(true);
    setCursor(Qt::OpenHandCursor);

    close_ = new QToolButton(this);
    close_->setObjectName(QStringLiteral("pinnedClose"));
    close_->setIcon(ShellIcons::icon("xmark", Qt::white));
    close_->setToolTip(qt(localization_.text(L10nKey::genericClose)));
    close_->setFixedSize(closeSide, closeSide);
    close_->setCursor(Qt::ArrowCursor);
    close_->setStyleSheet(QStringLiteral("QToolButton { background: rgba(0,0,0,150); border: none; border-radius: "
                                         "11px; } QToolButton:hover { background: rgba(224,27,36,220); }"));
    connect(close_, &QToolButton::clicked, this, [this] { closePin("closeButton"); });

    opacity_ = new QSlider(Qt::Horizontal, this);
    opacity_->setObjectName(QStringLiteral("pinnedOpacity"));
    opacity_->setRange(static_cast<int>(PinnedScreenshotViewModel::minimumOpacity * 100), 100);
    opacity_->setValue(100);
    opacity_->setToolTip(qt(localization_.text(L10nKey::pinnedOpacity)));
    opacity_->setCursor(Qt::ArrowCursor);
    connect(opacity_, &QSlider::valueChanged, this, [this](int value) { setOpacity(value / 100.0); });
    setControlsVisible(false);
    applyFrame();
    RuntimeLogger::log("pinned screenshot shown frame=" + frameText(geometry()) +
                       " image=" + std::to_string(image_.width()) + "x" + std::to_string(image_.height()));
}

void PinnedScreenshotWindow::applyFrame() {
    setGeometry(toQRect(model_.frame()));
}

void PinnedScreenshotWindow::closePin(const char* reason) {
    if (closing_) {
        return;
    }
    closing_ = true;
    RuntimeLogger::log(std::string("pinned screenshot closed reason=") + reason);
    hide();
    if (callbacks_.closed) {
        callbacks_.closed();
    }
}

void PinnedScreenshotWindow::replaceImage(QImage image, QSize pointSize) {
    const double opacity = model_.opacity();
    const Rect old = model_.frame();
    const Size size{static_cast<double>(std::max(pointSize.width(), 1)), static_cast<double>(std::max(pointSize.height(), 1))};
    image_ = std::move(image);
    model_ = PinnedScreenshotViewModel(size, Rect{{old.midX() - size.width / 2, old.midY() - size.height / 2}, size});
    model_.setOpacity(opacity);
    applyFrame();
    update();
    RuntimeLogger::log("pinned screenshot replaced frame=" + frameText(geometry()) +
                       " image=" + std::to_string(image_.width()) + "x" + std::to_string(image_.height()));
}

void PinnedScreenshotWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, model_.scale() != 1);
    painter.drawImage(rect(), image_);
    // A hairline keeps a pin on a page of the same colour findable.
    painter.setPen(QPen(underMouse() ? appearance_.accent : QColor(0, 0, 0, 60), 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PinnedScreenshotWindow::mousePressEvent(QMouseEvent* event) {
    if (callbacks_.selected) {
        callbacks_.selected();
    }
    if (event->button() == Qt::LeftButton) {
        dragOffset_ = event->globalPosition().toPoint() - frameGeometry().topLeft();
        setCursor(Qt::ClosedHandCursor);
    }
}

void PinnedScreenshotWindow::mouseMoveEvent(QMouseEvent* event) {
    if (dragOffset_ && (event->buttons() & Qt::LeftButton)) {
        const QPoint origin = event->globalPosition().toPoint() - *dragOffset_;
        move(origin);
        model_.moveTo({static_cast<double>(origin.x()), static_cast<double>(origin.y())});
    }
}

void PinnedScreenshotWindow::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && dragOffset_) {
        dragOffset_.reset();
        setCursor(Qt::OpenHandCursor);
        const QPoint origin = geometry().topLeft();
        model_.moveTo({static_cast<double>(origin.x()), static_cast<double>(origin.y())});
    }
}

void PinnedScreenshotWindow::mouseDoubleClickEvent(QMouseEvent* event) {
    const auto button = event->button() == Qt::RightButton ? PinnedWindowButton::right : PinnedWindowButton::left;
    const PinnedMouseDoubleClickAction action = PinnedScreenshotViewModel::doubleClickAction(button, preferences_);
    RuntimeLogger::log(std::string("pinned screenshot doubleClick action=") + std::string(toString(action)) +
                       " button=" + (button == PinnedWindowButton::left ? "left" : "right"));
    perform(action);
}

void PinnedScreenshotWindow::perform(PinnedMouseDoubleClickAction action) {
    switch (action) {
    case PinnedMouseDoubleClickAction::none:
        return;
    case PinnedMouseDoubleClickAction::copyAndClose:
        if (callbacks_.copy) {
            callbacks_.copy(image_);
        }
        closePin("copyAndClose");
        return;
    case PinnedMouseDoubleClickAction::close:
        closePin("doubleClick");
        return;
    }
}

void PinnedScreenshotWindow::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (model_.wheel(delta)) {
        applyFrame();
        RuntimeLogger::log("pinned screenshot zoom scale=" + std::to_string(model_.scale()).substr(0, 4) +
                           " frame=" + frameText(geometry()));
    }
    event->accept();
}

void PinnedScreenshotWindow::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    menu.addAction(ShellIcons::icon("doc.on.doc", appearance_.text), qt(localization_.text(L10nKey::pinnedMenuCopy)),
                   this, [this] {
                       if (callbacks_.copy) {
                           callbacks_.copy(image_);
                       }
                   });
    menu.addAction(ShellIcons::icon("pencil.tip", appearance_.text),
                   qt(localization_.text(L10nKey::pinnedMenuAnnotate)), this, [this] {
                       if (callbacks_.annotate) {
                           callbacks_.annotate(image_);
                       }
                   });
    menu.addAction(ShellIcons::icon("square.and.arrow.down", appearance_.text),
                   qt(localization_.text(L10nKey::actionEditorSave)), this, [this] {
                       if (callbacks_.save) {
                           callbacks_.save(image_);
                       }
                   });
    QMenu* opacity = menu.addMenu(ShellIcons::icon("circle", appearance_.text),
                                  qt(localization_.text(L10nKey::pinnedOpacity)));
    for (const int percent : std::array{100, 80, 60, 40}) {
        QAction* item = opacity->addAction(QString::number(percent) + QStringLiteral(" %"), this,
                                           [this, percent] { setOpacity(percent / 100.0); });
        item->setCheckable(true);
        item->setChecked(std::lround(model_.opacity() * 100) == percent);
    }
    QAction* actual = menu.addAction(ShellIcons::icon("magnifyingglass", appearance_.text),
                                     qt(localization_.text(L10nKey::pinnedMenuActualSize)), this, [this] {
                                         if (model_.resetZoom()) {
                                             applyFrame();
                                         }
                                     });
    actual->setEnabled(model_.scale() != 1);
    menu.addSeparator();
    menu.addAction(ShellIcons::icon("xmark", appearance_.text), qt(localization_.text(L10nKey::genericClose)), this,
                   [this] { closePin("menu"); });
    menu.exec(event->globalPos());
}

void PinnedScreenshotWindow::setOpacity(double opacity) {
    model_.setOpacity(opacity);
    setWindowOpacity(model_.opacity());
    const int value = static_cast<int>(std::lround(model_.opacity() * 100));
    if (opacity_->value() != value) {
        opacity_->setValue(value);
    }
}

void PinnedScreenshotWindow::enterEvent(QEnterEvent*) {
    setControlsVisible(true);
    update();
}

void PinnedScreenshotWindow::leaveEvent(QEvent*) {
    setControlsVisible(false);
    update();
}

void PinnedScreenshotWindow::setControlsVisible(bool visible) {
    close_->setVisible(visible);
    // Too small a pin keeps its picture clear: the menu still sets the opacity.
    opacity_->setVisible(visible && preferences_.showsPinnedScreenshotOpacityControl && width() >= 120);
    placeControls();
}

void PinnedScreenshotWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placeControls();
}

void PinnedScreenshotWindow::placeControls() {
    close_->move(width() - closeSide - controlMargin, controlMargin);
    const int sliderWidth = std::min(160, width() - 2 * controlMargin);
    opacity_->setGeometry((width() - sliderWidth) / 2, height() - controlMargin - 20, sliderWidth, 20);
}

} // namespace brisklet
