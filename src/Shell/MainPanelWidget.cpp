#include "Shell/MainPanelWidget.h"

#include "Shell/QtStrings.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Library/VisualMemoryKindLabel.h"
#include "ZelvorApp/Panel/MainPanelViewModel.h"

#include <QAction>
#include <QApplication>
#include <QDrag>
#include <QFile>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QButtonGroup>
#include <QDateTime>
#include <QEnterEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace brisklet {

namespace {

L10nKey statusKey(AppViewState state, bool permissionMissing) {
    switch (state) {
    case AppViewState::selectingScreenshotRegion:
    case AppViewState::selectingLongshotWindow:
    case AppViewState::selectingGifRegion:
    case AppViewState::selectingGifWindow:
    case AppViewState::takingScreenshot:
        return L10nKey::menuStatusSelecting;
    case AppViewState::editingScreenshot:
    case AppViewState::exportingScreenshot:
        return L10nKey::menuStatusEditing;
    case AppViewState::capturingSuperScreenshot:
        return L10nKey::menuStatusSuperScreenshot;
    case AppViewState::previewingLongshot:
    case AppViewState::capturingLongshot:
        return L10nKey::menuStatusCapturingLongshot;
    case AppViewState::pausedLongshot:
        return L10nKey::menuStatusPausedLongshot;
    case AppViewState::finalizingLongshot:
        return L10nKey::menuStatusFinalizingLongshot;
    case AppViewState::recordingGif:
        return L10nKey::menuStatusRecordingGif;
    case AppViewState::pausedGif:
        return L10nKey::menuStatusPausedGif;
    case AppViewState::finalizingGif:
        return L10nKey::menuStatusFinalizingGif;
    case AppViewState::exportFailure:
        return L10nKey::menuStatusExportFailed;
    case AppViewState::permissionRequired:
        return L10nKey::menuStatusPermissionRequired;
    case AppViewState::idle:
    case AppViewState::exportSuccess:
        break;
    }
    return permissionMissing ? L10nKey::menuStatusPermissionRequired : L10nKey::menuStatusReady;
}

const char* kindSymbol(ExportKind kind) {
    switch (kind) {
    case ExportKind::clipboardText:
        return "doc.text";
    case ExportKind::gif:
        return "film";
    case ExportKind::videoMP4:
    case ExportKind::videoMOV:
        return "video";
    default:
        return "photo";
    }
}

/// A rounded thumbnail of the item's picture, or its kind's symbol on a tinted tile.
QPixmap thumbnail(const VisualMemoryItem& item, const ShellAppearance& appearance, int size, qreal ratio) {
    QPixmap tile(QSize(size, size) * ratio);
    tile.setDevicePixelRatio(ratio);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath clip;
    clip.addRoundedRect(QRectF(0, 0, size, size), 7, 7);
    painter.setClipPath(clip);
    painter.fillRect(QRectF(0, 0, size, size), appearance.hover);
    QString source;
    if (item.thumbnailPath) {
        source = qt(*item.thumbnailPath);
    } else if (item.kind != ExportKind::clipboardText && item.kind != ExportKind::videoMP4 &&
               item.kind != ExportKind::videoMOV) {
        source = QString::fromStdString(item.url.string());
    }
    QImage image;
    if (!source.isEmpty()) {
        QImageReader reader(source);
        const QSize full = reader.size();
        if (full.isValid()) {
            // Decode at tile size: a full-screen capture would otherwise cost a full decode per row.
            reader.setScaledSize(full.scaled(QSize(size, size) * ratio, Qt::KeepAspectRatioByExpanding));
        }
        image = reader.read();
    }
    if (!image.isNull()) {
        const QSizeF scaled = QSizeF(image.size()) / ratio;
        painter.drawImage(QRectF((size - scaled.width()) / 2, (size - scaled.height()) / 2, scaled.width(),
                                 scaled.height()),
                          image);
    } else {
        const QIcon icon = ShellIcons::ownIcon(kindSymbol(item.kind), appearance.secondaryText);
        const int glyph = size / 2;
        icon.paint(&painter, QRect((size - glyph) / 2, (size - glyph) / 2, glyph, glyph));
    }
    return tile;
}

/// A row that shows its actions only under the pointer, as list rows on the desktop do.
class HoverRow final : public QFrame {
public:
    explicit HoverRow(QWidget* parent) : QFrame(parent) {
        setProperty("row", true);
        setAttribute(Qt::WA_Hover);
    }
    QPointer<QWidget> actions;
    /// Starts dragging the row's file out.
    std::function<void()> onDrag;

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) {
            pressedAt_ = event->position().toPoint();
            pressed_ = true;
        }
        QFrame::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (pressed_ && (event->buttons() & Qt::LeftButton) &&
            (event->position().toPoint() - pressedAt_).manhattanLength() >= QApplication::startDragDistance()) {
            pressed_ = false;
            if (onDrag) {
                onDrag();
            }
            return;
        }
        QFrame::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        pressed_ = false;
        QFrame::mouseReleaseEvent(event);
    }
    void enterEvent(QEnterEvent* event) override {
        setHovered(true);
        QFrame::enterEvent(event);
    }
    void leaveEvent(QEvent* event) override {
        setHovered(false);
        QFrame::leaveEvent(event);
    }

private:
    QPoint pressedAt_;
    bool pressed_ = false;

    void setHovered(bool hovered) {
        setProperty("hovered", hovered);
        style()->unpolish(this);
        style()->polish(this);
        if (actions) {
            actions->setVisible(hovered || actions->property("pinnedVisible").toBool());
        }
    }
};

} // namespace

MainPanelWidget::MainPanelWidget(MainPanelViewModel& viewModel, const AppModel& model,
                                 const LocalizationStore& localization, QWidget* parent)
    : QWidget(parent), viewModel_(viewModel), model_(model), localization_(localization) {
    setObjectName(QStringLiteral("briskletPanel"));
    setAttribute(Qt::WA_StyledBackground);
    build();
    refresh();
}

MainPanelWidget::~MainPanelWidget() = default;

QToolButton* MainPanelWidget::makeQuickAction(const char* symbol, int glyph) {
    auto* button = new QToolButton(this);
    button->setProperty("quickAction", true);
    button->setProperty("symbol", symbol);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setIconSize(QSize(20, 20));
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setMinimumHeight(40);
    button->setCursor(Qt::PointingHandCursor);
    connect(button, &QToolButton::clicked, this,
            [this, glyph] { viewModel_.perform(static_cast<MainMenuActionGlyph>(glyph)); });
    quickActions_.append(button);
    return button;
}

void MainPanelWidget::build() {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 12);
    layout->setSpacing(10);

    auto* header = new QHBoxLayout;
    auto* logo = new QLabel(this);
    logo->setPixmap(QIcon(QStringLiteral(":/icons/brisklet.svg")).pixmap(28, 28));
    auto* titles = new QVBoxLayout;
    titles->setSpacing(0);
    title_ = new QLabel(QStringLiteral("Brisklet"), this);
    QFont titleFont = title_->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    titleFont.setWeight(QFont::DemiBold);
    title_->setFont(titleFont);
    status_ = new QLabel(this);
    status_->setProperty("secondary", true);
    titles->addWidget(title_);
    titles->addWidget(status_);
    settingsButton_ = new QToolButton(this);
    settingsButton_->setIconSize(QSize(18, 18));
    settingsButton_->setCursor(Qt::PointingHandCursor);
    connect(settingsButton_, &QToolButton::clicked, this, [this] { viewModel_.openSettings(); });
    header->addWidget(logo);
    header->addSpacing(6);
    header->addLayout(titles, 1);
    header->addWidget(settingsButton_);
    layout->addLayout(header);

    captureHeading_ = new QLabel(this);
    captureHeading_->setProperty("heading", true);
    layout->addWidget(captureHeading_);
    auto* quick = new QGridLayout;
    quick->setSpacing(8);
    quick->addWidget(makeQuickAction("camera.viewfinder", static_cast<int>(MainMenuActionGlyph::screenshot)), 0, 0);
    quick->addWidget(makeQuickAction("record.circle", static_cast<int>(MainMenuActionGlyph::gifRegion)), 0, 1);
    quick->addWidget(makeQuickAction("rectangle.stack", static_cast<int>(MainMenuActionGlyph::longshot)), 1, 0);
    quick->addWidget(makeQuickAction("macwindow", static_cast<int>(MainMenuActionGlyph::gifWindow)), 1, 1);
    layout->addLayout(quick);

    auto* separator = new QFrame(this);
    separator->setProperty("separator", true);
    layout->addWidget(separator);

    recentHeading_ = new QLabel(this);
    recentHeading_->setProperty("heading", true);
    layout->addWidget(recentHeading_);
    search_ = new QLineEdit(this);
    search_->setClearButtonEnabled(true);
    search_->setAccessibleName(QStringLiteral("search"));
    connect(search_, &QLineEdit::textChanged, this, [this](const QString& text) { viewModel_.setQuery(text.toStdString()); });
    layout->addWidget(search_);

    auto* chips = new QHBoxLayout;
    chips->setSpacing(6);
    filters_ = new QButtonGroup(this);
    filters_->setExclusive(true);
    for (const auto filter : allCases<VisualMemoryQuickFilter>()) {
        auto* chip = new QToolButton(this);
        chip->setProperty("chip", true);
        chip->setCheckable(true);
        chip->setCursor(Qt::PointingHandCursor);
        filters_->addButton(chip, static_cast<int>(filter));
        filterButtons_.append(chip);
        chips->addWidget(chip);
    }
    chips->addStretch(1);
    connect(filters_, &QButtonGroup::idClicked, this,
            [this](int id) { viewModel_.setFilter(static_cast<VisualMemoryQuickFilter>(id)); });
    layout->addLayout(chips);

    rowsLayout_ = new QVBoxLayout;
    rowsLayout_->setSpacing(2);
    layout->addLayout(rowsLayout_);
    emptyState_ = new QLabel(this);
    emptyState_->setProperty("secondary", true);
    emptyState_->setWordWrap(true);
    emptyState_->setAlignment(Qt::AlignCenter);
    emptyState_->setMinimumHeight(88);
    layout->addWidget(emptyState_);
    layout->addStretch(1);

    auto* footerLine = new QFrame(this);
    footerLine->setProperty("separator", true);
    layout->addWidget(footerLine);
    libraryButton_ = new QToolButton(this);
    libraryButton_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    libraryButton_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    libraryButton_->setCursor(Qt::PointingHandCursor);
    libraryButton_->setIconSize(QSize(16, 16));
    connect(libraryButton_, &QToolButton::clicked, this, [this] { viewModel_.openLibrary(); });
    layout->addWidget(libraryButton_);
}

void MainPanelWidget::applyAppearance() {
    appearance_ = ShellAppearance::resolve(model_.preferences().visualAppearanceMode);
    setStyleSheet(appearance_.panelStyleSheet());
    settingsButton_->setIcon(ShellIcons::ownIcon("gearshape", appearance_.secondaryText));
    libraryButton_->setIcon(ShellIcons::ownIcon("square.grid.2x2", appearance_.accent));
    for (QToolButton* button : quickActions_) {
        button->setIcon(ShellIcons::ownIcon(button->property("symbol").toString().toStdString(), appearance_.accent));
    }
    search_->removeAction(search_->actions().value(0));
    search_->addAction(ShellIcons::ownIcon("magnifyingglass", appearance_.secondaryText), QLineEdit::LeadingPosition);
}

void MainPanelWidget::retranslate() {
    const LocalizationStore& t = localization_;
    const bool permissionMissing = !model_.permissionSnapshot().screenRecording;
    status_->setText(qt(t.text(statusKey(model_.state(), permissionMissing))));
    captureHeading_->setText(qt(t.text(L10nKey::menuQuickActionsTitle)));
    recentHeading_->setText(qt(t.text(L10nKey::menuRecentTitle)));
    settingsButton_->setToolTip(qt(t.text(L10nKey::menuSettings)));
    settingsButton_->setAccessibleName(qt(t.text(L10nKey::menuSettings)));
    const L10nKey quickTitles[] = {L10nKey::menuActionScreenshot, L10nKey::menuActionGifRegion,
                                   L10nKey::menuActionLongshot, L10nKey::menuActionGifWindow};
    for (int i = 0; i < quickActions_.size(); ++i) {
        quickActions_[i]->setText(qt(t.text(quickTitles[i])));
    }
    const L10nKey filterTitles[] = {L10nKey::menuFilterRecent, L10nKey::menuFilterFavorite, L10nKey::menuFilterPinned,
                                    L10nKey::menuFilterImages, L10nKey::menuFilterText};
    for (int i = 0; i < filterButtons_.size(); ++i) {
        filterButtons_[i]->setText(qt(t.text(filterTitles[i])));
        // Style-sheet padding is not in the button's own size hint; make room for the text.
        filterButtons_[i]->setMinimumWidth(filterButtons_[i]->fontMetrics().horizontalAdvance(filterButtons_[i]->text()) + 20);
        filterButtons_[i]->setChecked(i == static_cast<int>(viewModel_.filter()));
    }
    search_->setPlaceholderText(qt(t.text(L10nKey::menuVisualMemorySearchPlaceholder)));
    libraryButton_->setText(qt(t.text(L10nKey::menuOpenLibrary)));
}

QWidget* MainPanelWidget::makeRow(int index) {
    const auto rows = viewModel_.rows();
    const MainPanelViewModel::Row& row = rows[static_cast<std::size_t>(index)];
    const VisualMemoryItem& item = row.item;
    const LocalizationStore& t = localization_;
    auto* frame = new HoverRow(this);
    auto* layout = new QHBoxLayout(frame);
    layout->setContentsMargins(6, 5, 6, 5);
    layout->setSpacing(10);
    auto* picture = new QLabel(frame);
    // Decoded once per item and look: the rows are rebuilt on every change of the application.
    const QString cacheKey = QString::fromStdString(item.id + "|" + item.thumbnailPath.value_or("") + "|" +
                                                    std::to_string(item.byteCount.value_or(-1))) +
                             (appearance_.dark ? QStringLiteral("|dark") : QStringLiteral("|light"));
    auto cached = thumbnailCache_.constFind(cacheKey);
    if (cached == thumbnailCache_.constEnd()) {
        cached = thumbnailCache_.insert(cacheKey, thumbnail(item, appearance_, 40, devicePixelRatioF()));
    }
    const QPixmap tile = *cached;
    picture->setPixmap(tile);
    frame->onDrag = [this, item, tile] { dragOut(item, tile); };
    picture->setFixedSize(40, 40);
    layout->addWidget(picture);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    const QString name = item.summary.empty() ? QString::fromStdString(item.url.filename().string()) : qt(item.summary);
    auto* title = new QLabel(frame);
    title->setText(title->fontMetrics().elidedText(name, Qt::ElideRight, 170));
    title->setToolTip(name);
    const QDateTime created = QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(item.createdAt.secondsSince1970 * 1000));
    const QLocale locale = QLocale::system();
    // The C locale's short time carries seconds; a list of recent items does not need them.
    const QString timeText = locale.language() == QLocale::C ? created.time().toString(QStringLiteral("HH:mm"))
                                                             : locale.toString(created.time(), QLocale::ShortFormat);
    const QString when =
        created.date() == QDate::currentDate() ? timeText : locale.toString(created.date(), QLocale::ShortFormat);
    auto* detail = new QLabel(qt(t.text(visualMemoryKindLabel(item.kind))) + QStringLiteral(" · ") + when, frame);
    detail->setProperty("secondary", true);
    texts->addWidget(title);
    texts->addWidget(detail);
    layout->addLayout(texts, 1);

    auto* actions = new QWidget(frame);
    auto* actionLayout = new QHBoxLayout(actions);
    actionLayout->setContentsMargins(0, 0, 0, 0);
    actionLayout->setSpacing(0);
    const std::string id = item.id;
    const auto addAction = [&](const char* symbol, L10nKey tip, MainPanelViewModel::RowAction action, bool accent) {
        auto* button = new QToolButton(actions);
        button->setIcon(ShellIcons::ownIcon(symbol, accent ? appearance_.accent : appearance_.secondaryText));
        button->setIconSize(QSize(16, 16));
        button->setToolTip(qt(t.text(tip)));
        button->setAccessibleName(qt(t.text(tip)));
        button->setCursor(Qt::PointingHandCursor);
        connect(button, &QToolButton::clicked, this, [this, id, action] { viewModel_.perform(action, id); });
        actionLayout->addWidget(button);
    };
    using RA = MainPanelViewModel::RowAction;
    addAction("arrow.up.forward.app", L10nKey::genericOpen, RA::open, false);
    if (item.kind != ExportKind::clipboardText && item.kind != ExportKind::gif && item.kind != ExportKind::videoMP4 &&
        item.kind != ExportKind::videoMOV) {
        addAction("pencil.tip", L10nKey::visualActionAnnotate, RA::annotate, false);
    }
    addAction(row.didCopy ? "checkmark" : "doc.on.doc", row.didCopy ? L10nKey::genericCopied : L10nKey::genericCopy,
              RA::copy, row.didCopy);
    addAction(item.isFavorite ? "star.fill" : "star",
              item.isFavorite ? L10nKey::visualActionUnfavorite : L10nKey::visualActionFavorite, RA::favorite,
              item.isFavorite);
    addAction(item.isPinned ? "pin.fill" : "pin", item.isPinned ? L10nKey::visualActionUnpin : L10nKey::visualActionPin,
              RA::pin, item.isPinned);
    addAction("trash", L10nKey::genericDelete, RA::remove, false);
    // A copied row keeps its actions up so the check mark is seen.
    actions->setProperty("pinnedVisible", row.didCopy);
    actions->setVisible(row.didCopy || frame->underMouse());
    frame->actions = actions;
    layout->addWidget(actions);
    return frame;
}

void MainPanelWidget::dragOut(const VisualMemoryItem& item, const QPixmap& picture) {
    auto* mime = new QMimeData;
    const QString path = QString::fromStdString(item.url.string());
    mime->setUrls({QUrl::fromLocalFile(path)});
    if (item.kind == ExportKind::clipboardText) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            mime->setText(QString::fromUtf8(file.readAll()));
        }
    } else if (item.kind != ExportKind::videoMP4 && item.kind != ExportKind::videoMOV && item.kind != ExportKind::gif) {
        QFile file(path);
        if (path.endsWith(QLatin1String(".png"), Qt::CaseInsensitive) && file.open(QIODevice::ReadOnly)) {
            mime->setData(QStringLiteral("image/png"), file.readAll());
        }
    }
    auto* drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(picture);
    RuntimeLogger::log("visualMemory drag started id=" + item.id);
    dragging_ = true;
    const bool stepped = onDragBegin && onDragBegin();
    const Qt::DropAction result = drag->exec(Qt::CopyAction);
    dragging_ = false;
    if (refreshPending_) {
        refreshPending_ = false;
        // After the row that started the drag has returned from its event handler.
        QTimer::singleShot(0, this, [this] { refresh(); });
    }
    RuntimeLogger::log(std::string("visualMemory drag ended dropped=") + (result == Qt::IgnoreAction ? "false" : "true"));
    if (stepped && onDragEnd) {
        onDragEnd();
    }
}

void MainPanelWidget::rebuildRows() {
    while (QLayoutItem* child = rowsLayout_->takeAt(0)) {
        // Later, not now: the pointer may be over the row, or an event of the row is running.
        if (QWidget* widget = child->widget()) {
            widget->hide();
            widget->setParent(nullptr);
            widget->deleteLater();
        }
        delete child;
    }
    const auto rows = viewModel_.rows();
    for (int i = 0; i < static_cast<int>(rows.size()); ++i) {
        rowsLayout_->addWidget(makeRow(i));
    }
    if (thumbnailCache_.size() > 64) {
        thumbnailCache_.clear();
    }
    emptyState_->setVisible(rows.empty());
    emptyState_->setText(qt(localization_.text(viewModel_.hasAnyItems() ? L10nKey::menuNoResults : L10nKey::menuEmptyState)));
    // The panel is as tall as its content, never shorter than the compact size.
    setFixedWidth(panelWidth);
    setMinimumHeight(rows.empty() ? compactPanelHeight : 0);
    setMaximumHeight(expandedPanelHeight);
    adjustSize();
    if (onSizeChanged) {
        onSizeChanged();
    }
}

void MainPanelWidget::refresh() {
    if (dragging_) {
        refreshPending_ = true;
        return;
    }
    applyAppearance();
    retranslate();
    rebuildRows();
}

} // namespace brisklet
