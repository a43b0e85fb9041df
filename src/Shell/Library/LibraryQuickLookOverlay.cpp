#include "Shell/Library/LibraryQuickLookOverlay.h"

#include "Shell/Library/LibraryThumbnailCache.h"
#include "Shell/QtStrings.h"
#include "ZelvorApp/Library/VisualMemoryLibraryViewModel.h"

#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

namespace brisklet {

LibraryQuickLookOverlay::LibraryQuickLookOverlay(VisualMemoryLibraryViewModel& viewModel,
                                                 LibraryThumbnailCache& thumbnails, QWidget* parent)
    : QWidget(parent), viewModel_(viewModel), thumbnails_(thumbnails) {
    setObjectName(QStringLiteral("libraryQuickLook"));
    setFocusPolicy(Qt::StrongFocus);
    hide();
}

void LibraryQuickLookOverlay::refresh() {
    const bool open = viewModel_.isQuickLookOpen();
    if (open) {
        setGeometry(parentWidget()->rect());
        raise();
        if (!isVisible()) {
            show();
            setFocus(Qt::OtherFocusReason);
        }
        update();
    } else if (isVisible()) {
        hide();
    }
}

void LibraryQuickLookOverlay::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), QColor(0, 0, 0, 200));
    const auto item = viewModel_.selectedItem();
    if (!item) {
        return;
    }
    const QRectF area = QRectF(rect()).adjusted(48, 48, -48, -48);
    if (item->kind == ExportKind::clipboardText) {
        const QRectF card = area.adjusted(area.width() * 0.15, area.height() * 0.1, -area.width() * 0.15, -area.height() * 0.1);
        QPainterPath shape;
        shape.addRoundedRect(card, 14, 14);
        painter.fillPath(shape, QColor(250, 250, 250));
        painter.setPen(QColor(30, 30, 30));
        QFont font = painter.font();
        font.setPointSizeF(font.pointSizeF() * 1.2);
        painter.setFont(font);
        painter.drawText(card.adjusted(24, 24, -24, -24), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop,
                         qt(item->ocrText.empty() ? item->summary : item->ocrText));
        return;
    }
    QString path = qt(item->url.string());
    if (item->kind == ExportKind::videoMP4 || item->kind == ExportKind::videoMOV) {
        path = item->thumbnailPath ? qt(*item->thumbnailPath) : QString();
    }
    const QImage image = thumbnails_.image(path, static_cast<int>(area.width() * devicePixelRatioF()));
    if (image.isNull()) {
        return;
    }
    QSizeF size = QSizeF(image.size()) / devicePixelRatioF();
    if (size.width() > area.width() || size.height() > area.height()) {
        size = size.scaled(area.size(), Qt::KeepAspectRatio);
    }
    const QRectF target(area.center().x() - size.width() / 2, area.center().y() - size.height() / 2, size.width(),
                        size.height());
    painter.drawImage(target, image);
}

void LibraryQuickLookOverlay::keyPressEvent(QKeyEvent* event) {
    using Move = VisualMemoryLibraryViewModel::Move;
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Escape:
        viewModel_.closeQuickLook();
        return;
    case Qt::Key_Left:
    case Qt::Key_Up:
        viewModel_.move(event->key() == Qt::Key_Left ? Move::left : Move::up);
        return;
    case Qt::Key_Right:
    case Qt::Key_Down:
        viewModel_.move(event->key() == Qt::Key_Right ? Move::right : Move::down);
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}

void LibraryQuickLookOverlay::mousePressEvent(QMouseEvent*) { viewModel_.closeQuickLook(); }

} // namespace brisklet
