#include "Shell/Library/VisualMemoryLibraryWindow.h"

#include "Platform/DefaultsStore.h"
#include "Shell/Library/LibraryQuickLookOverlay.h"
#include "Shell/Library/LibraryThumbnailCache.h"
#include "Shell/Library/VisualMemoryDetailPanel.h"
#include "Shell/Library/VisualMemoryMasonryView.h"
#include "Shell/QtStrings.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QAction>
#include <QButtonGroup>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QSlider>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace brisklet {

namespace {

using Filter = VisualMemoryLibraryContentFilter;
using Row = VisualMemoryLibraryViewModel::SidebarRow;
constexpr int countRole = VisualMemoryLibraryWindow::countRole;
constexpr int collectionRole = VisualMemoryLibraryWindow::collectionRole;
constexpr int symbolRole = VisualMemoryLibraryWindow::symbolRole;

/// A sidebar row: its icon and name, and the item count at the right edge.
class SidebarRowDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    ShellAppearance appearance = ShellAppearance::light();

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        const QRectF area = QRectF(option.rect).adjusted(6, 1, -6, -1);
        const bool selected = option.state & QStyle::State_Selected;
        if (selected || (option.state & QStyle::State_MouseOver)) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(selected ? appearance.accent : appearance.hover);
            painter->drawRoundedRect(area, 7, 7);
        }
        const QColor textColour = selected ? appearance.accentText : appearance.text;
        const QIcon icon = ShellIcons::icon(index.data(symbolRole).toString().toStdString(),
                                            selected ? appearance.accentText : appearance.secondaryText);
        const QRect iconRect(static_cast<int>(area.left()) + 8, static_cast<int>(area.center().y()) - 8, 16, 16);
        icon.paint(painter, iconRect);
        const QString count = QString::number(index.data(countRole).toInt());
        painter->setPen(selected ? appearance.accentText : appearance.secondaryText);
        const QRectF countRect = area.adjusted(0, 0, -10, 0);
        painter->drawText(countRect, Qt::AlignVCenter | Qt::AlignRight, count);
        const int countWidth = option.fontMetrics.horizontalAdvance(count) + 18;
        painter->setPen(textColour);
        const QRectF textRect = area.adjusted(32, 0, -countWidth, 0);
        painter->drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft,
                          option.fontMetrics.elidedText(index.data(Qt::DisplayRole).toString(), Qt::ElideRight,
                                                        static_cast<int>(textRect.width())));
        painter->restore();
    }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {static_cast<int>(VisualMemoryLibraryViewModel::sidebarWidth), option.fontMetrics.height() + 14};
    }
};

const char* rowSymbol(Row::Kind kind) {
    switch (kind) {
    case Row::Kind::all:
        return "square.grid.2x2";
    case Row::Kind::favorites:
        return "star";
    case Row::Kind::pinned:
        return "pin";
    case Row::Kind::untagged:
        return "circle";
    case Row::Kind::collection:
        return "rectangle.stack";
    }
    return "rectangle.stack";
}

} // namespace

VisualMemoryLibraryWindow::VisualMemoryLibraryWindow(VisualMemoryLibraryViewModel& viewModel,
                                                     LibraryThumbnailCache& thumbnails,
                                                     const LocalizationStore& localization, const AppModel& model,
                                                     DefaultsStore* defaults)
    : viewModel_(viewModel), thumbnails_(thumbnails), localization_(localization), model_(model), defaults_(defaults) {
    setObjectName(QStringLiteral("briskletLibrary"));
    setProperty("briskletWindowRole", QStringLiteral("visualLibrary"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brisklet.svg")));
    setMinimumSize(minimumWidth, minimumHeight);
    resize(1240, 780);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(buildToolbar());
    auto* body = new QHBoxLayout;
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(0);
    root->addLayout(body, 1);

    auto* side = new QWidget(this);
    side->setObjectName(QStringLiteral("librarySidebar"));
    side->setFixedWidth(static_cast<int>(VisualMemoryLibraryViewModel::sidebarWidth));
    auto* sideLayout = new QVBoxLayout(side);
    sideLayout->setContentsMargins(8, 12, 8, 12);
    sidebarHeading_ = new QLabel(side);
    sidebarHeading_->setProperty("heading", true);
    sidebarHeading_->setContentsMargins(10, 0, 0, 4);
    sideLayout->addWidget(sidebarHeading_);
    sidebar_ = new QListWidget(side);
    sidebar_->setObjectName(QStringLiteral("libraryCollections"));
    sidebar_->setFrameShape(QFrame::NoFrame);
    sidebar_->setMouseTracking(true);
    sidebar_->setItemDelegate(new SidebarRowDelegate(sidebar_));
    sidebar_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(sidebar_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row < 0 || row >= static_cast<int>(sidebarRows_.size())) {
            return;
        }
        viewModel_.setSelectedCollection(sidebarRows_[static_cast<std::size_t>(row)].collection);
    });
    sideLayout->addWidget(sidebar_, 1);
    body->addWidget(side);

    grid_ = new VisualMemoryMasonryView(viewModel_, thumbnails_, localization_, this);
    grid_->onQuickLook = [this] { viewModel_.toggleQuickLook(); };
    grid_->onDelete = [this] { viewModel_.deleteSelection(); };
    grid_->onContextMenu = [this](const VisualMemoryItem& item, const QPoint& at) { showContextMenu(item, at); };
    body->addWidget(grid_, 1);
    detail_ = new VisualMemoryDetailPanel(viewModel_, thumbnails_, localization_, this);
    body->addWidget(detail_);
    quickLook_ = new LibraryQuickLookOverlay(viewModel_, thumbnails_, this);
    setTabOrder(search_, grid_);
    retranslate();
    refresh();
}

VisualMemoryLibraryWindow::~VisualMemoryLibraryWindow() = default;

QWidget* VisualMemoryLibraryWindow::buildToolbar() {
    auto* bar = new QWidget(this);
    bar->setObjectName(QStringLiteral("libraryToolbar"));
    bar->setFixedHeight(static_cast<int>(VisualMemoryLibraryViewModel::toolbarTopInset));
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(16, 8, 16, 8);
    layout->setSpacing(10);
    search_ = new QLineEdit(bar);
    search_->setObjectName(QStringLiteral("librarySearch"));
    search_->setClearButtonEnabled(true);
    search_->setMinimumWidth(280);
    search_->addAction(new QAction(search_), QLineEdit::LeadingPosition);
    connect(search_, &QLineEdit::textChanged, this,
            [this](const QString& text) { viewModel_.setQuery(text.toStdString()); });
    connect(search_, &QLineEdit::returnPressed, this, [this] { grid_->setFocus(Qt::TabFocusReason); });
    layout->addWidget(search_, 2);

    auto* group = new QButtonGroup(bar);
    group->setExclusive(true);
    const std::array<Filter, 3> order{Filter::all, Filter::image, Filter::text};
    auto* segments = new QWidget(bar);
    segments->setObjectName(QStringLiteral("libraryFilters"));
    auto* segmentLayout = new QHBoxLayout(segments);
    segmentLayout->setContentsMargins(0, 0, 0, 0);
    segmentLayout->setSpacing(4);
    for (std::size_t i = 0; i < order.size(); ++i) {
        auto* button = new QToolButton(segments);
        button->setCheckable(true);
        button->setProperty("chip", true);
        button->setObjectName(QStringLiteral("filter:") + QString::fromLatin1(toString(order[i]).data()));
        group->addButton(button);
        connect(button, &QToolButton::clicked, this, [this, filter = order[i]] { viewModel_.setSelectedContentFilter(filter); });
        segmentLayout->addWidget(button);
        filters_[i] = button;
    }
    layout->addWidget(segments);
    layout->addStretch(1);
    status_ = new QLabel(bar);
    status_->setProperty("secondary", true);
    status_->setObjectName(QStringLiteral("libraryStatus"));
    // Wide enough for "N items selected", so the search does not jump as the selection grows.
    status_->setMinimumWidth(150);
    status_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(status_);
    sizeIcon_ = new QLabel(bar);
    layout->addWidget(sizeIcon_);
    size_ = new QSlider(Qt::Horizontal, bar);
    size_->setObjectName(QStringLiteral("libraryCardSize"));
    size_->setRange(static_cast<int>(VisualMemoryLibraryViewModel::minimumThumbnailWidth),
                    static_cast<int>(VisualMemoryLibraryViewModel::maximumThumbnailWidth));
    size_->setFixedWidth(130);
    size_->setValue(static_cast<int>(viewModel_.thumbnailWidth()));
    connect(size_, &QSlider::valueChanged, this, [this](int value) { viewModel_.setThumbnailWidth(value); });
    layout->addWidget(size_);
    return bar;
}

QToolButton* VisualMemoryLibraryWindow::filterButton(VisualMemoryLibraryContentFilter filter) const {
    switch (filter) {
    case Filter::all:
        return filters_[0];
    case Filter::image:
        return filters_[1];
    case Filter::text:
        return filters_[2];
    }
    return filters_[0];
}

void VisualMemoryLibraryWindow::retranslate() {
    const auto t = [this](L10nKey key) { return qt(localization_.text(key)); };
    setWindowTitle(t(L10nKey::visualLibraryWindowTitle));
    search_->setPlaceholderText(t(L10nKey::visualSearchPlaceholder));
    sidebarHeading_->setText(t(L10nKey::visualSidebarCollections));
    filterButton(Filter::all)->setText(t(L10nKey::visualFilterAll));
    filterButton(Filter::image)->setText(t(L10nKey::visualFilterImages));
    filterButton(Filter::text)->setText(t(L10nKey::visualFilterText));
    size_->setToolTip(t(L10nKey::visualThumbnailSize));
    sizeIcon_->setToolTip(t(L10nKey::visualThumbnailSize));
    detail_->retranslate();
    sidebarRows_.clear();
    refresh();
}

void VisualMemoryLibraryWindow::refresh() {
    applyAppearance();
    rebuildSidebar();
    filterButton(viewModel_.selectedContentFilter())->setChecked(true);
    if (size_->value() != static_cast<int>(viewModel_.thumbnailWidth())) {
        const QSignalBlocker blocker(size_);
        size_->setValue(static_cast<int>(viewModel_.thumbnailWidth()));
    }
    const std::size_t selected = viewModel_.selectedIDs().size();
    status_->setText(selected > 1 ? qt(localization_.format(L10nKey::visualSelectionCount, {static_cast<int>(selected)}))
                                  : QString::number(viewModel_.displayedCount()) + QStringLiteral(" / ") +
                                        QString::number(viewModel_.totalItemCount()));
    grid_->refresh();
    detail_->refresh();
    const bool previewWasOpen = quickLook_->isVisible();
    quickLook_->refresh();
    if (previewWasOpen && !quickLook_->isVisible()) {
        grid_->setFocus(Qt::OtherFocusReason);
    }
}

void VisualMemoryLibraryWindow::rebuildSidebar() {
    std::vector<Row> rows = viewModel_.sidebarRows();
    if (rows != sidebarRows_) {
        const QSignalBlocker blocker(sidebar_);
        sidebarRows_ = std::move(rows);
        sidebar_->clear();
        for (const Row& row : sidebarRows_) {
            QString title;
            switch (row.kind) {
            case Row::Kind::all:
                title = qt(localization_.text(L10nKey::visualCollectionAll));
                break;
            case Row::Kind::favorites:
                title = qt(localization_.text(L10nKey::visualCollectionFavorites));
                break;
            case Row::Kind::pinned:
                title = qt(localization_.text(L10nKey::visualCollectionPinned));
                break;
            case Row::Kind::untagged:
                title = qt(localization_.text(L10nKey::visualCollectionUntagged));
                break;
            case Row::Kind::collection:
                title = qt(*row.collection);
                break;
            }
            auto* item = new QListWidgetItem(title);
            item->setData(symbolRole, QString::fromLatin1(rowSymbol(row.kind)));
            item->setData(countRole, row.count);
            item->setData(collectionRole, row.collection ? qt(*row.collection) : QString());
            sidebar_->addItem(item);
        }
    }
    int current = 0;
    for (std::size_t i = 0; i < sidebarRows_.size(); ++i) {
        if (sidebarRows_[i].collection == viewModel_.selectedCollection()) {
            current = static_cast<int>(i);
        }
    }
    if (sidebar_->currentRow() != current) {
        const QSignalBlocker blocker(sidebar_);
        sidebar_->setCurrentRow(current);
    }
}

void VisualMemoryLibraryWindow::applyAppearance() {
    const ShellAppearance appearance = ShellAppearance::resolve(model_.preferences().visualAppearanceMode);
    if (appearanceApplied_ && appearance.dark == appearance_.dark && appearance.window == appearance_.window) {
        return;
    }
    appearanceApplied_ = true;
    appearance_ = appearance;
    setStyleSheet(libraryStyleSheet(appearance_));
    static_cast<SidebarRowDelegate*>(sidebar_->itemDelegate())->appearance = appearance_;
    grid_->setAppearance(appearance_);
    detail_->setAppearance(appearance_);
    search_->actions().first()->setIcon(ShellIcons::icon("magnifyingglass", appearance_.secondaryText));
    sizeIcon_->setPixmap(ShellIcons::icon("square.grid.2x2", appearance_.secondaryText).pixmap(16, 16));
    sidebarRows_.clear();
}

QString VisualMemoryLibraryWindow::libraryStyleSheet(const ShellAppearance& a) const {
    return QStringLiteral(R"(
#briskletLibrary { background: %1; }
#briskletLibrary QLabel { color: %5; background: transparent; }
#briskletLibrary QLabel[secondary="true"] { color: %6; }
#briskletLibrary QLabel[heading="true"] { color: %6; font-weight: 600; }
#briskletLibrary QLabel[title="true"] { color: %5; font-size: 15px; font-weight: 600; }
#libraryToolbar { background: %2; border-bottom: 1px solid %4; }
#librarySidebar { background: %2; border-right: 1px solid %4; }
#libraryDetail { background: %2; border-left: 1px solid %4; }
#libraryDetail QScrollArea, #libraryDetail QScrollArea > QWidget > QWidget { background: %2; border: none; }
#libraryCollections { background: transparent; color: %5; outline: none; }
#libraryPreview { background: %1; border: 1px solid %4; border-radius: 10px; }
#briskletLibrary QLineEdit { background: %1; color: %5; border: 1px solid %4; border-radius: 8px; padding: 5px 8px;
    selection-background-color: %7; }
#briskletLibrary QLineEdit:focus { border: 1px solid %7; }
#briskletLibrary QPlainTextEdit { background: %1; color: %5; border: 1px solid %4; border-radius: 8px; padding: 4px; }
#briskletLibrary QToolButton { color: %5; background: transparent; border: 1px solid transparent; border-radius: 8px;
    padding: 5px 8px; text-align: left; }
#briskletLibrary QToolButton:hover { background: %3; }
#briskletLibrary QToolButton:disabled { color: %6; }
#libraryDetail QToolButton { background: %1; border: 1px solid %4; }
#libraryDetail QToolButton:hover { background: %3; }
#libraryDetail QToolButton[destructive="true"] { color: #e01b24; }
#briskletLibrary QToolButton[chip="true"] { background: %1; border: 1px solid %4; border-radius: 12px; padding: 3px 10px; }
#briskletLibrary QToolButton[chip="true"]:checked { background: %7; color: %8; border: 1px solid %7; }
#briskletLibrary QScrollBar:vertical { background: transparent; width: 10px; }
#briskletLibrary QScrollBar::handle:vertical { background: %4; border-radius: 4px; min-height: 30px; }
#briskletLibrary QScrollBar::add-line, #briskletLibrary QScrollBar::sub-line { height: 0; }
)")
        .arg(a.window.name(), a.surface.name(), a.hover.name(), a.border.name(), a.text.name(), a.secondaryText.name(),
             a.accent.name(), a.accentText.name());
}

void VisualMemoryLibraryWindow::showContextMenu(const VisualMemoryItem& item, const QPoint& globalPosition) {
    using Action = VisualMemoryLibraryViewModel::ItemAction;
    const auto t = [this](L10nKey key) { return qt(localization_.text(key)); };
    QMenu menu(this);
    const auto add = [&](const char* symbol, const QString& text, std::function<void()> action) {
        QAction* entry = menu.addAction(ShellIcons::icon(symbol, palette().color(QPalette::Text)), text);
        connect(entry, &QAction::triggered, this, std::move(action));
    };
    const std::string id = item.id;
    const auto perform = [this, id](Action action) { return [this, id, action] { viewModel_.perform(action, id); }; };
    add("arrow.up.forward.app", t(L10nKey::genericOpen), perform(Action::open));
    add("folder", t(L10nKey::visualActionShowInFolder), perform(Action::reveal));
    add("pencil.tip", t(L10nKey::visualActionAnnotate), perform(Action::annotate));
    add("doc.on.doc", t(L10nKey::genericCopy), perform(Action::copy));
    add("photo", t(L10nKey::visualQuickLook), [this] { viewModel_.toggleQuickLook(); });
    menu.addSeparator();
    add(item.isFavorite ? "star.fill" : "star",
        t(item.isFavorite ? L10nKey::visualActionUnfavorite : L10nKey::visualActionFavorite), perform(Action::favorite));
    add(item.isPinned ? "pin.fill" : "pin", t(item.isPinned ? L10nKey::visualActionUnpin : L10nKey::visualActionPin),
        perform(Action::pin));
    add("square.and.arrow.down", t(L10nKey::visualActionExportObsidian), perform(Action::exportObsidian));
    menu.addSeparator();
    add("trash", t(L10nKey::genericDelete), [this] { viewModel_.deleteSelection(); });
    menu.exec(globalPosition);
}

void VisualMemoryLibraryWindow::present() {
    if (!geometryRestored_) {
        geometryRestored_ = true;
        if (defaults_) {
            if (const auto saved = defaults_->data(geometryKey)) {
                restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(*saved)));
            }
        }
    }
    if (QWidget::isVisible()) {
        viewModel_.refresh(); // a hidden window catches up in showEvent
    }
    QWidget::show();
    raise();
    activateWindow();
    grid_->setFocus(Qt::OtherFocusReason);
    const auto& summary = viewModel_.collectionSummary();
    RuntimeLogger::log("visualLibrary presented items=" + std::to_string(viewModel_.totalItemCount()) +
                       " displayed=" + std::to_string(viewModel_.displayedCount()) +
                       " collections=" + std::to_string(summary.collections.size()) +
                       " favorites=" + std::to_string(summary.favoriteCount) +
                       " pinned=" + std::to_string(summary.pinnedCount) +
                       " untagged=" + std::to_string(summary.untaggedCount));
}

void VisualMemoryLibraryWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        // Hidden, the window skipped the library's changes (also while a capture hid it).
        viewModel_.setActive(true);
        viewModel_.refresh();
        refresh();
    }
}

void VisualMemoryLibraryWindow::hideEvent(QHideEvent* event) {
    if (defaults_ && !event->spontaneous()) {
        defaults_->setData(geometryKey, saveGeometry().toBase64().toStdString());
    }
    viewModel_.closeQuickLook();
    // Hidden for good (not minimised): library changes wait until it is shown again.
    if (!event->spontaneous()) {
        viewModel_.setActive(false);
    }
    QWidget::hideEvent(event);
}

void VisualMemoryLibraryWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    quickLook_->refresh();
}

void VisualMemoryLibraryWindow::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Find)) {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
        return;
    }
    if (event->matches(QKeySequence::Close)) {
        close();
        return;
    }
    if (event->key() == Qt::Key_Escape && search_->hasFocus() && !search_->text().isEmpty()) {
        search_->clear();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace brisklet
