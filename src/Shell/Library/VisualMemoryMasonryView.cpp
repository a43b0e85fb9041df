#include "Shell/Library/VisualMemoryMasonryView.h"

#include "Shell/Library/LibraryThumbnailCache.h"
#include "Shell/QtStrings.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Library/VisualMemoryKindLabel.h"
#include "ZelvorApp/Library/VisualMemoryLibraryViewModel.h"
#include "ZelvorCore/Stores/VisualMemoryDragPayloadPolicy.h"

#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QScrollBar>
#include <QUrl>

namespace brisklet {

namespace {

constexpr double cardRadius = 10;
constexpr int badgeSize = 22;

bool isPicture(ExportKind kind) { return kind != ExportKind::clipboardText; }

} // namespace

VisualMemoryMasonryView::VisualMemoryMasonryView(VisualMemoryLibraryViewModel& viewModel,
                                                 LibraryThumbnailCache& thumbnails,
                                                 const LocalizationStore& localization, QWidget* parent)
    : QAbstractScrollArea(parent), viewModel_(viewModel), thumbnails_(thumbnails), localization_(localization) {
    setObjectName(QStringLiteral("libraryGrid"));
    setFocusPolicy(Qt::StrongFocus);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    verticalScrollBar()->setSingleStep(48);
}

void VisualMemoryMasonryView::setAppearance(const ShellAppearance& appearance) {
    appearance_ = appearance;
    viewport()->update();
}

double VisualMemoryMasonryView::availableWidth() const {
    return std::max(1, viewport()->width() - 2 * margin);
}

void VisualMemoryMasonryView::refresh() {
    updateScrollRange();
    viewport()->update();
}

void VisualMemoryMasonryView::updateScrollRange() {
    const auto& layout = viewModel_.layout(availableWidth());
    const int content = static_cast<int>(std::ceil(layout.contentHeight)) + margin;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, content - viewport()->height()));
}

QRect VisualMemoryMasonryView::cardRect(std::size_t index) {
    const auto& layout = viewModel_.layout(availableWidth());
    if (index >= layout.placements.size()) {
        return {};
    }
    const auto& p = layout.placements[index];
    return QRectF(margin + p.x, margin + p.y - verticalScrollBar()->value(), p.width, p.height).toAlignedRect();
}

void VisualMemoryMasonryView::ensureSelectedVisible() {
    const auto& id = viewModel_.selectedID();
    const auto index = id ? viewModel_.displayedIndex(*id) : std::nullopt;
    if (!index) {
        return;
    }
    const QRect rect = cardRect(*index);
    QScrollBar* bar = verticalScrollBar();
    if (rect.top() < 0) {
        bar->setValue(bar->value() + rect.top() - margin);
    } else if (rect.bottom() > viewport()->height()) {
        bar->setValue(bar->value() + rect.bottom() - viewport()->height() + margin);
    }
}

std::optional<std::size_t> VisualMemoryMasonryView::indexAt(const QPoint& point) {
    const auto& layout = viewModel_.layout(availableWidth());
    const auto* hit = layout.hit(point.x() - margin, point.y() - margin + verticalScrollBar()->value());
    return hit ? std::optional<std::size_t>(hit->index) : std::nullopt;
}

QString VisualMemoryMasonryView::picturePath(const VisualMemoryItem& item) const {
    if (item.thumbnailPath && !item.thumbnailPath->empty()) {
        return qt(*item.thumbnailPath);
    }
    if (item.kind == ExportKind::videoMP4 || item.kind == ExportKind::videoMOV || !isPicture(item.kind)) {
        return {};
    }
    return qt(item.url.string());
}

void VisualMemoryMasonryView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(viewport()->rect(), appearance_.window);
    const auto& layout = viewModel_.layout(availableWidth());
    paintedCards_ = 0;
    if (viewModel_.displayedCount() == 0) {
        paintEmptyState(painter);
        return;
    }
    const double top = verticalScrollBar()->value() - margin;
    const double height = viewport()->height();
    const qreal ratio = devicePixelRatioF();
    for (const auto& placement : layout.visible(top, top + height)) {
        const VisualMemoryItem& item = viewModel_.displayedItem(placement.index);
        const QRectF rect(margin + placement.x, placement.y - top, placement.width, placement.height);
        paintCard(painter, rect, item, viewModel_.isSelected(item.id), hovered_ == placement.index);
        ++paintedCards_;
    }
    // The next screenful is decoded while this one is looked at.
    for (const auto& placement : layout.visible(top + height, top + 2 * height)) {
        thumbnails_.prefetch(picturePath(viewModel_.displayedItem(placement.index)), static_cast<int>(placement.width * ratio));
    }
}

void VisualMemoryMasonryView::paintCard(QPainter& painter, const QRectF& rect, const VisualMemoryItem& item,
                                        bool selected, bool hovered) {
    QPainterPath shape;
    shape.addRoundedRect(rect, cardRadius, cardRadius);
    painter.fillPath(shape, appearance_.surface);
    painter.save();
    painter.setClipPath(shape);
    const QImage picture = thumbnails_.image(picturePath(item), static_cast<int>(rect.width() * devicePixelRatioF()));
    if (!picture.isNull()) {
        // Fill the card; the card already has the picture's proportion, the crop only hides the clamp.
        const QSizeF scaled = QSizeF(picture.size()).scaled(rect.size(), Qt::KeepAspectRatioByExpanding);
        const QRectF target(rect.center().x() - scaled.width() / 2, rect.center().y() - scaled.height() / 2,
                            scaled.width(), scaled.height());
        painter.drawImage(target, picture);
    } else if (!isPicture(item.kind)) {
        painter.setPen(appearance_.text);
        QFont font = painter.font();
        font.setPointSizeF(font.pointSizeF() * 0.95);
        painter.setFont(font);
        const QString text = qt(item.ocrText.empty() ? item.summary : item.ocrText).left(600);
        painter.drawText(rect.adjusted(12, 12, -12, -30), Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop, text);
    } else {
        painter.fillRect(rect, appearance_.hover);
    }
    // The kind along the bottom, on a band that stays readable over any picture.
    const QRectF band(rect.left(), rect.bottom() - 26, rect.width(), 26);
    painter.fillRect(band, QColor(0, 0, 0, isPicture(item.kind) ? 110 : 0));
    painter.setPen(isPicture(item.kind) ? QColor(Qt::white) : appearance_.secondaryText);
    QFont small = painter.font();
    small.setPointSizeF(std::max(7.0, small.pointSizeF() * 0.85));
    painter.setFont(small);
    painter.drawText(band.adjusted(10, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft,
                     qt(localization_.text(visualMemoryKindLabel(item.kind))));
    painter.restore();

    double badgeRight = rect.right() - 8;
    const auto badge = [&](const char* symbol) {
        const QRectF area(badgeRight - badgeSize, rect.top() + 8, badgeSize, badgeSize);
        QPainterPath circle;
        circle.addEllipse(area);
        painter.fillPath(circle, QColor(0, 0, 0, 120));
        ShellIcons::ownIcon(symbol, Qt::white).paint(&painter, area.adjusted(4, 4, -4, -4).toRect());
        badgeRight -= badgeSize + 4;
    };
    if (item.isPinned) {
        badge("pin.fill");
    }
    if (item.isFavorite) {
        badge("star.fill");
    }
    if (selected || hovered) {
        painter.setPen(QPen(selected ? appearance_.accent : appearance_.border, selected ? 3 : 1.5));
        painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), cardRadius, cardRadius);
    }
}

void VisualMemoryMasonryView::paintEmptyState(QPainter& painter) {
    const bool libraryEmpty = viewModel_.totalItemCount() == 0;
    const QRect area = viewport()->rect().adjusted(40, 0, -40, 0);
    QFont title = painter.font();
    title.setPointSizeF(title.pointSizeF() * 1.3);
    title.setBold(true);
    painter.setFont(title);
    painter.setPen(appearance_.text);
    const QString heading = qt(localization_.text(libraryEmpty ? L10nKey::visualEmptyTitle : L10nKey::visualNoResults));
    painter.drawText(area.adjusted(0, 0, 0, -area.height() / 2 + 10), Qt::AlignHCenter | Qt::AlignBottom, heading);
    if (libraryEmpty) {
        painter.setFont(font());
        painter.setPen(appearance_.secondaryText);
        painter.drawText(area.adjusted(0, area.height() / 2 + 10, 0, 0), Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap,
                         qt(localization_.text(L10nKey::visualEmptyMessage)));
    }
}

void VisualMemoryMasonryView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    updateScrollRange();
}

void VisualMemoryMasonryView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    pressed_ = indexAt(event->position().toPoint());
    pressPoint_ = event->position().toPoint();
    if (!pressed_) {
        if (event->button() == Qt::LeftButton) {
            viewModel_.clearSelection();
        }
        return;
    }
    const std::string id = viewModel_.displayedItem(*pressed_).id;
    using Change = VisualMemoryLibraryViewModel::SelectionChange;
    if (event->modifiers() & Qt::ShiftModifier) {
        viewModel_.select(id, Change::extend);
    } else if (event->modifiers() & Qt::ControlModifier) {
        viewModel_.select(id, Change::toggle);
    } else if (!viewModel_.isSelected(id)) {
        viewModel_.select(id);
    }
    // A press inside a multi-selection keeps it for a drag of all of them; the release narrows it.
}

void VisualMemoryMasonryView::mouseReleaseEvent(QMouseEvent* event) {
    if (pressed_ && *pressed_ >= viewModel_.displayedCount()) {
        pressed_.reset(); // the library changed under the pointer
    }
    if (pressed_ && event->button() == Qt::LeftButton && !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier)) &&
        viewModel_.selectedIDs().size() > 1) {
        viewModel_.select(viewModel_.displayedItem(*pressed_).id);
    }
    pressed_.reset();
}

void VisualMemoryMasonryView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (pressed_ && *pressed_ >= viewModel_.displayedCount()) {
        pressed_.reset();
    }
    if (pressed_ && (event->buttons() & Qt::LeftButton) &&
        (point - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
        const VisualMemoryItem item = viewModel_.displayedItem(*pressed_);
        pressed_.reset();
        startDrag(item);
        return;
    }
    const auto hovered = indexAt(point);
    if (hovered != hovered_) {
        hovered_ = hovered;
        viewport()->update();
    }
}

void VisualMemoryMasonryView::leaveEvent(QEvent* event) {
    hovered_.reset();
    viewport()->update();
    QAbstractScrollArea::leaveEvent(event);
}

void VisualMemoryMasonryView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (const auto index = indexAt(event->position().toPoint())) {
        viewModel_.perform(VisualMemoryLibraryViewModel::ItemAction::open, viewModel_.displayedItem(*index).id);
    }
}

void VisualMemoryMasonryView::contextMenuEvent(QContextMenuEvent* event) {
    const auto index = indexAt(event->pos());
    if (!index || !onContextMenu) {
        return;
    }
    const VisualMemoryItem item = viewModel_.displayedItem(*index);
    if (!viewModel_.isSelected(item.id)) {
        viewModel_.select(item.id);
    }
    onContextMenu(item, event->globalPos());
}

void VisualMemoryMasonryView::keyPressEvent(QKeyEvent* event) {
    using Move = VisualMemoryLibraryViewModel::Move;
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    std::optional<Move> move;
    switch (event->key()) {
    case Qt::Key_Left:
        move = Move::left;
        break;
    case Qt::Key_Right:
        move = Move::right;
        break;
    case Qt::Key_Up:
        move = Move::up;
        break;
    case Qt::Key_Down:
        move = Move::down;
        break;
    case Qt::Key_Home:
        move = Move::first;
        break;
    case Qt::Key_End:
        move = Move::last;
        break;
    case Qt::Key_Space:
        if (onQuickLook) {
            onQuickLook();
        }
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        viewModel_.perform(VisualMemoryLibraryViewModel::ItemAction::open);
        return;
    case Qt::Key_Delete:
    case Qt::Key_Backspace:
        if (onDelete) {
            onDelete();
        }
        return;
    case Qt::Key_A:
        if (event->modifiers() & Qt::ControlModifier) {
            viewModel_.selectAll();
            return;
        }
        break;
    case Qt::Key_C:
        if (event->modifiers() & Qt::ControlModifier) {
            viewModel_.perform(VisualMemoryLibraryViewModel::ItemAction::copy);
            return;
        }
        break;
    default:
        break;
    }
    if (!move) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    viewModel_.layout(availableWidth());
    viewModel_.move(*move, extend);
    ensureSelectedVisible();
}

void VisualMemoryMasonryView::startDrag(const VisualMemoryItem& item) {
    auto* mime = new QMimeData;
    const auto payload = VisualMemoryDragPayloadPolicy::payload(item);
    if (const auto* text = std::get_if<VisualMemoryDragPayloadPolicy::PlainText>(&payload)) {
        mime->setText(qt(text->text));
    } else {
        // Every selected file goes along when the card is part of the selection.
        QList<QUrl> urls;
        if (viewModel_.isSelected(item.id)) {
            for (const VisualMemoryItem& selected : viewModel_.selectedItems()) {
                if (selected.kind != ExportKind::clipboardText) {
                    urls.push_back(QUrl::fromLocalFile(qt(selected.url.string())));
                }
            }
        }
        if (urls.isEmpty()) {
            urls.push_back(QUrl::fromLocalFile(qt(item.url.string())));
        }
        mime->setUrls(urls);
        QFile file(qt(item.url.string()));
        if (item.url.extension() == ".png" && file.open(QIODevice::ReadOnly)) {
            mime->setData(QStringLiteral("image/png"), file.readAll());
        }
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    const QImage picture = thumbnails_.image(picturePath(item), 160);
    if (!picture.isNull()) {
        drag->setPixmap(QPixmap::fromImage(picture.scaledToWidth(120, Qt::SmoothTransformation)));
    }
    RuntimeLogger::log("visualLibrary drag started id=" + item.id);
    const Qt::DropAction result = drag->exec(Qt::CopyAction);
    RuntimeLogger::log(std::string("visualLibrary drag ended dropped=") + (result == Qt::IgnoreAction ? "false" : "true"));
}

} // namespace brisklet
