#include "Shell/Thumbnails/FloatingThumbnailCard.h"

#include "Shell/QtStrings.h"
#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDrag>
#include <QFile>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <chrono>

namespace brisklet {

namespace {

constexpr int inset = 6;
constexpr int buttonSide = 26;

} // namespace

FloatingThumbnailCard::FloatingThumbnailCard(const FloatingThumbnailItem& item, const LocalizationStore& localization,
                                             const ShellAppearance& appearance, Callbacks callbacks, QWidget* parent)
    : QWidget(parent), item_(item), localization_(localization), appearance_(appearance),
      callbacks_(std::move(callbacks)) {
    setObjectName(QStringLiteral("floatingThumbnailCard"));
    setFixedSize(cardWidth, cardHeight);
    setMouseTracking(true);
    setCursor(Qt::OpenHandCursor);
    setToolTip(qt(localization_.text(L10nKey::floatingThumbnailDragHint)));
    const QImage picture = toQImage(item.image);
    preview_ = picture.scaled(QSize(cardWidth - 2 * inset, cardHeight - 2 * inset) * devicePixelRatioF(),
                              Qt::KeepAspectRatio, Qt::SmoothTransformation);
    preview_.setDevicePixelRatio(devicePixelRatioF());

    // The corners hold closing and pinning, the bottom row what is done with the file.
    QToolButton* close = addButton("xmark", L10nKey::floatingThumbnailClose, FloatingThumbnailAction::hide);
    close->move(inset, inset);
    QToolButton* pin = addButton("pin", L10nKey::floatingThumbnailPin, FloatingThumbnailAction::pin);
    pin->move(cardWidth - inset - buttonSide, inset);
    const bool temporary = item.isTemporary();
    QToolButton* copy = addButton("doc.on.doc", L10nKey::floatingThumbnailCopy, FloatingThumbnailAction::copy);
    QToolButton* save = addButton(temporary ? "square.and.arrow.down" : "folder",
                                  temporary ? L10nKey::floatingThumbnailSave : L10nKey::floatingThumbnailShowInFolder,
                                  FloatingThumbnailAction::saveOrReveal);
    QToolButton* annotate =
        addButton("pencil.tip", L10nKey::floatingThumbnailAnnotate, FloatingThumbnailAction::annotate);
    const int row = cardHeight - inset - buttonSide;
    const int rowWidth = 3 * buttonSide + 2 * 4;
    copy->move((cardWidth - rowWidth) / 2, row);
    save->move((cardWidth - rowWidth) / 2 + buttonSide + 4, row);
    annotate->move((cardWidth - rowWidth) / 2 + 2 * (buttonSide + 4), row);
    setButtonsVisible(false);
}

QToolButton* FloatingThumbnailCard::addButton(const char* symbol, L10nKey tip, FloatingThumbnailAction action) {
    auto* button = new QToolButton(this);
    button->setObjectName(QStringLiteral("floatingThumbnail_") + QString::fromUtf8(toString(action).data()));
    button->setIcon(ShellIcons::icon(symbol, Qt::white));
    button->setToolTip(qt(localization_.text(tip)));
    button->setFixedSize(buttonSide, buttonSide);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(QStringLiteral("QToolButton { background: rgba(0,0,0,160); border: none; border-radius: "
                                         "13px; } QToolButton:hover { background: %1; }")
                              .arg(appearance_.accent.name()));
    connect(button, &QToolButton::clicked, this, [this, action] {
        if (callbacks_.perform) {
            callbacks_.perform(action);
        }
    });
    buttons_.push_back(button);
    return button;
}

void FloatingThumbnailCard::setButtonsVisible(bool visible) {
    for (QToolButton* button : buttons_) {
        button->setVisible(visible);
    }
}

void FloatingThumbnailCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), appearance_.surface);
    const QSizeF shown = preview_.deviceIndependentSize();
    const QRectF target((width() - shown.width()) / 2, (height() - shown.height()) / 2, shown.width(), shown.height());
    painter.drawImage(target, preview_);
    painter.setPen(QPen(underMouse() ? appearance_.accent : appearance_.border, underMouse() ? 2 : 1));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

void FloatingThumbnailCard::enterEvent(QEnterEvent*) {
    setButtonsVisible(true);
    update();
    if (callbacks_.hovered) {
        callbacks_.hovered(true);
    }
}

void FloatingThumbnailCard::leaveEvent(QEvent*) {
    setButtonsVisible(false);
    update();
    if (callbacks_.hovered) {
        callbacks_.hovered(false);
    }
}

void FloatingThumbnailCard::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressedAt_ = event->position().toPoint();
    }
}

void FloatingThumbnailCard::mouseMoveEvent(QMouseEvent* event) {
    if (pressedAt_ && (event->buttons() & Qt::LeftButton) &&
        (event->position().toPoint() - *pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
        pressedAt_.reset();
        startDrag();
    }
}

void FloatingThumbnailCard::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && pressedAt_) {
        pressedAt_.reset();
        if (callbacks_.perform) {
            callbacks_.perform(FloatingThumbnailAction::open);
        }
    }
}

void FloatingThumbnailCard::startDrag() {
    if (callbacks_.dragStarted) {
        callbacks_.dragStarted();
    }
    // File managers and chats take the file's address, browsers and image editors the picture.
    auto* mime = new QMimeData;
    mime->setUrls({QUrl::fromLocalFile(QString::fromStdString(item_.url.string()))});
    if (item_.url.extension() == ".png") {
        QFile file(QString::fromStdString(item_.url.string()));
        if (file.open(QIODevice::ReadOnly)) {
            mime->setData(QStringLiteral("image/png"), file.readAll());
        }
    }
    // Owned by the panel, not the card: the receiving application asks for the data after the
    // drop, when the card may already have left the stack; a minute later it has had it.
    auto* drag = new QDrag(parentWidget() != nullptr ? parentWidget() : this);
    drag->setMimeData(mime);
    drag->setPixmap(QPixmap::fromImage(preview_.scaled(preview_.size() / 2, Qt::KeepAspectRatio,
                                                       Qt::SmoothTransformation)));
    RuntimeLogger::log("floating thumbnail drag started url=" + item_.url.string());
    const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
    QTimer::singleShot(std::chrono::minutes(1), drag, &QObject::deleteLater);
    const bool taken = result != Qt::IgnoreAction;
    RuntimeLogger::log(std::string("floating thumbnail drag finished succeeded=") + (taken ? "true" : "false"));
    if (callbacks_.dragFinished) {
        callbacks_.dragFinished(taken);
    }
}

void FloatingThumbnailCard::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    const auto add = [&](const char* symbol, L10nKey title, FloatingThumbnailAction action) {
        menu.addAction(ShellIcons::icon(symbol, appearance_.text), qt(localization_.text(title)), this, [this, action] {
            if (callbacks_.perform) {
                callbacks_.perform(action);
            }
        });
    };
    add("doc.on.doc", L10nKey::floatingThumbnailCopy, FloatingThumbnailAction::copy);
    if (item_.isTemporary()) {
        add("square.and.arrow.down", L10nKey::floatingThumbnailSave, FloatingThumbnailAction::saveOrReveal);
    } else {
        add("folder", L10nKey::floatingThumbnailShowInFolder, FloatingThumbnailAction::reveal);
    }
    add("arrow.up.forward.app", L10nKey::floatingThumbnailOpen, FloatingThumbnailAction::open);
    add("pin", L10nKey::floatingThumbnailPin, FloatingThumbnailAction::pin);
    add("pencil.tip", L10nKey::floatingThumbnailAnnotate, FloatingThumbnailAction::annotate);
    menu.addSeparator();
    add("trash", L10nKey::floatingThumbnailDelete, FloatingThumbnailAction::delete_);
    add("xmark", L10nKey::floatingThumbnailClose, FloatingThumbnailAction::hide);
    menu.exec(event->globalPos());
}

} // namespace brisklet
