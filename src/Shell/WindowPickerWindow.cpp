#include "Shell/WindowPickerWindow.h"

#include "Shell/ShellIcons.h"
#include "ZelvorApp/Capture/WindowPickerViewModel.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

#include <optional>

namespace brisklet {

namespace {

constexpr int rowHeight = 76;
constexpr int checkSize = 18;
constexpr int tileRadius = 6;

QString rgba(const QColor& colour, int alpha) {
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(colour.red()).arg(colour.green()).arg(colour.blue()).arg(alpha);
}

/// One window's row: thumbnail, bold title over the owner's name, and the check-mark slot.
class PickerRow final : public QWidget {
public:
    PickerRow(const CapturedWindowInfo& window, QWidget* parent)
        : QWidget(parent), title_(QString::fromStdString(window.title)),
          owner_(QString::fromStdString(window.ownerName)) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(8, 8, 12, 8);
        layout->setSpacing(12);
        thumbnail_ = new QLabel(this);
        thumbnail_->setFixedSize(WindowPickerWindow::thumbnailSize);
        layout->addWidget(thumbnail_);
        auto* texts = new QVBoxLayout;
        texts->setSpacing(2);
        texts->addStretch(1);
        titleLabel_ = new QLabel(this);
        QFont bold = titleLabel_->font();
        bold.setWeight(QFont::DemiBold);
        titleLabel_->setFont(bold);
        ownerLabel_ = new QLabel(this);
        ownerLabel_->setProperty("secondary", true);
        for (QLabel* label : {titleLabel_, ownerLabel_}) {
            // Long titles are cut with an ellipsis rather than widening the window.
            label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
            texts->addWidget(label);
        }
        texts->addStretch(1);
        layout->addLayout(texts, 1);
        check_ = new QLabel(this);
        check_->setFixedSize(checkSize, checkSize);
        layout->addWidget(check_);
        setToolTip(title_);
    }

    void setThumbnail(const QPixmap& tile) { thumbnail_->setPixmap(tile); }
    void setCheck(const QPixmap& mark) { check_->setPixmap(mark); }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        elide(titleLabel_, title_);
        elide(ownerLabel_, owner_);
    }

private:
    static void elide(QLabel* label, const QString& text) {
        label->setText(label->fontMetrics().elidedText(text, Qt::ElideRight, std::max(label->width(), 1)));
    }

    QString title_;
    QString owner_;
    QLabel* thumbnail_ = nullptr;
    QLabel* titleLabel_ = nullptr;
    QLabel* ownerLabel_ = nullptr;
    QLabel* check_ = nullptr;
};

std::optional<WindowPickerViewModel::Key> pickerKey(int key) {
    using Key = WindowPickerViewModel::Key;
    switch (key) {
    case Qt::Key_Up:
        return Key::up;
    case Qt::Key_Down:
        return Key::down;
    case Qt::Key_Home:
        return Key::home;
    case Qt::Key_End:
        return Key::end;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::confirm;
    case Qt::Key_Escape:
        return Key::cancel;
    default:
        return std::nullopt;
    }
}

QString pickerStyleSheet(const ShellAppearance& a) {
    return QStringLiteral(R"(
#briskletWindowPicker { background: %1; }
#briskletWindowPicker QLabel { color: %5; background: transparent; }
#briskletWindowPicker QLabel[secondary="true"] { color: %6; }
#briskletWindowPicker QLabel[heading="true"] { font-weight: 600; }
#briskletWindowPicker QListWidget { background: %2; border: 1px solid %4; border-radius: 10px; padding: 4px;
    outline: none; }
#briskletWindowPicker QLabel[emptyList="true"] { background: %2; border: 1px solid %4; border-radius: 10px;
    padding: 24px; }
#briskletWindowPicker QListWidget::item { border: none; border-radius: 8px; margin: 1px 0px; color: %5; }
#briskletWindowPicker QListWidget::item:hover { background: %3; }
#briskletWindowPicker QListWidget::item:selected { background: %9; }
#briskletWindowPicker QPushButton { background: %2; color: %5; border: 1px solid %4; border-radius: 7px;
    padding: 6px 16px; min-width: 72px; }
#briskletWindowPicker QPushButton:hover { background: %3; }
#briskletWindowPicker QPushButton:focus { border: 1px solid %7; }
#briskletWindowPicker QPushButton[primary="true"] { background: %7; color: %8; border: 1px solid %7; }
#briskletWindowPicker QPushButton[primary="true"]:hover { background: %10; border: 1px solid %10; }
#briskletWindowPicker QPushButton[primary="true"]:disabled { background: %3; color: %6; border: 1px solid %4; }
#briskletWindowPicker QScrollBar:vertical { background: transparent; width: 10px; margin: 4px 2px; }
#briskletWindowPicker QScrollBar::handle:vertical { background: %4; border-radius: 3px; min-height: 24px; }
#briskletWindowPicker QScrollBar::add-line, #briskletWindowPicker QScrollBar::sub-line { height: 0px; }
#briskletWindowPicker QScrollBar::add-page, #briskletWindowPicker QScrollBar::sub-page { background: none; }
)")
        .arg(a.window.name(), a.surface.name(), a.hover.name(), a.border.name(), a.text.name(), a.secondaryText.name(),
             a.accent.name(), a.accentText.name(), rgba(a.accent, a.dark ? 64 : 36))
        .arg(a.dark ? a.accent.lighter(112).name() : a.accent.darker(108).name());
}

} // namespace

WindowPickerWindow::WindowPickerWindow(WindowPickerViewModel& model, const Texts& texts,
                                       const ShellAppearance& appearance)
    : model_(model), appearance_(appearance) {
    setObjectName(QStringLiteral("briskletWindowPicker"));
    // Global hotkeys still run while the picker has the keyboard: it holds no text field.
    setProperty("briskletWindowRole", QStringLiteral("windowPicker"));
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                   Qt::WindowStaysOnTopHint);
    setWindowTitle(texts.title);
    setWindowIcon(QIcon(QStringLiteral(":/icons/brisklet.svg")));
    setStyleSheet(pickerStyleSheet(appearance_));
    resize(520, 420);
    setMinimumSize(420, 320);
    build(texts);
    refresh();
}

WindowPickerWindow::~WindowPickerWindow() {
    // The list goes with the base class, after this object's members: its last signals must not
    // reach them.
    QObject::disconnect(list_, nullptr, this, nullptr);
}

void WindowPickerWindow::build(const Texts& texts) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 18, 20, 16);
    layout->setSpacing(6);

    auto* heading = new QLabel(texts.heading, this);
    heading->setProperty("heading", true);
    QFont headingFont = heading->font();
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.25);
    headingFont.setWeight(QFont::DemiBold);
    heading->setFont(headingFont);
    layout->addWidget(heading);
    auto* description = new QLabel(texts.description, this);
    description->setProperty("secondary", true);
    description->setWordWrap(true);
    layout->addWidget(description);
    layout->addSpacing(8);

    list_ = new QListWidget(this);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setUniformItemSizes(true);
    list_->setAccessibleName(texts.heading);
    list_->installEventFilter(this);
    connect(list_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (!syncing_ && row >= 0 && static_cast<std::size_t>(row) < shownIDs_.size()) {
            model_.select(shownIDs_[static_cast<std::size_t>(row)]);
        }
    });
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        const int row = list_->row(item);
        if (row >= 0 && static_cast<std::size_t>(row) < shownIDs_.size()) {
            model_.activate(shownIDs_[static_cast<std::size_t>(row)]);
        }
    });
    layout->addWidget(list_, 1);

    emptyState_ = new QLabel(texts.emptyList, this);
    emptyState_->setProperty("secondary", true);
    emptyState_->setProperty("emptyList", true);
    emptyState_->setWordWrap(true);
    emptyState_->setAlignment(Qt::AlignCenter);
    emptyState_->setVisible(false);
    layout->addWidget(emptyState_, 1);
    layout->addSpacing(8);

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(8);
    buttons->addStretch(1);
    auto* cancel = new QPushButton(ShellIcons::icon("xmark", appearance_.text), texts.cancel, this);
    // Return presses Cancel while it has the focus, Start Recording otherwise.
    cancel->setAutoDefault(true);
    connect(cancel, &QPushButton::clicked, this, [this] { model_.cancel(); });
    // Drawn in the disabled text's colour when disabled: on the accent, the symbol is white.
    QIcon startIcon = ShellIcons::ownIcon(texts.startSymbol.toStdString(), appearance_.accentText);
    const QIcon disabledIcon = ShellIcons::ownIcon(texts.startSymbol.toStdString(), appearance_.secondaryText);
    for (const QSize& size : disabledIcon.availableSizes()) {
        startIcon.addPixmap(disabledIcon.pixmap(size), QIcon::Disabled);
    }
    startButton_ = new QPushButton(startIcon, texts.startRecording, this);
    startButton_->setProperty("primary", true);
    startButton_->setDefault(true);
    connect(startButton_, &QPushButton::clicked, this, [this] { model_.confirm(); });
    buttons->addWidget(cancel);
    buttons->addWidget(startButton_);
    layout->addLayout(buttons);
    list_->setFocus();
}

void WindowPickerWindow::refresh() {
    std::vector<std::int64_t> ids;
    std::vector<QString> texts;
    for (const CapturedWindowInfo& window : model_.windows()) {
        ids.push_back(window.id);
        texts.push_back(QString::fromStdString(window.title) + QChar(0) + QString::fromStdString(window.ownerName));
    }
    if (ids != shownIDs_ || texts != shownTexts_) {
        shownIDs_ = std::move(ids);
        shownTexts_ = std::move(texts);
        rebuildRows();
    }
    showSelection();
}

void WindowPickerWindow::rebuildRows() {
    syncing_ = true;
    list_->clear();
    for (const CapturedWindowInfo& window : model_.windows()) {
        auto* item = new QListWidgetItem(list_);
        item->setSizeHint(QSize(0, rowHeight));
        auto* row = new PickerRow(window, list_);
        row->setThumbnail(tile(window.id));
        list_->setItemWidget(item, row);
    }
    syncing_ = false;
    const bool empty = shownIDs_.empty();
    const bool reappears = !empty && list_->isHidden();
    list_->setVisible(!empty);
    emptyState_->setVisible(empty);
    if (reappears) {
        // The keyboard went to a button while the list was away; the arrow keys belong to the list.
        list_->setFocus();
    }
}

void WindowPickerWindow::showSelection() {
    const std::optional<std::size_t> selected = model_.selectedIndex();
    const QPixmap mark =
        ShellIcons::ownIcon("checkmark", appearance_.accent).pixmap(QSize(checkSize, checkSize), devicePixelRatioF());
    syncing_ = true;
    for (int row = 0; row < list_->count(); ++row) {
        if (auto* widget = static_cast<PickerRow*>(list_->itemWidget(list_->item(row)))) {
            widget->setCheck(selected && *selected == static_cast<std::size_t>(row) ? mark : QPixmap());
        }
    }
    if (selected) {
        list_->setCurrentRow(static_cast<int>(*selected));
        list_->scrollToItem(list_->item(static_cast<int>(*selected)));
    } else {
        list_->clearSelection();
        list_->setCurrentRow(-1);
    }
    syncing_ = false;
    startButton_->setEnabled(model_.canConfirm());
}

void WindowPickerWindow::setThumbnail(std::int64_t id, const QPixmap& picture) {
    thumbnails_.insert(id, picture);
    for (std::size_t row = 0; row < shownIDs_.size(); ++row) {
        if (shownIDs_[row] == id) {
            if (auto* widget = static_cast<PickerRow*>(list_->itemWidget(list_->item(static_cast<int>(row))))) {
                widget->setThumbnail(tile(id));
            }
        }
    }
}

QPixmap WindowPickerWindow::tile(std::int64_t id) const {
    const auto it = thumbnails_.constFind(id);
    if (it == thumbnails_.constEnd() || it->isNull()) {
        return placeholderTile();
    }
    const qreal ratio = devicePixelRatioF();
    QPixmap tile(thumbnailSize * ratio);
    tile.setDevicePixelRatio(ratio);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF bounds(QPointF(0, 0), QSizeF(thumbnailSize));
    QPainterPath clip;
    clip.addRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), tileRadius, tileRadius);
    painter.fillPath(clip, appearance_.hover);
    painter.setClipPath(clip);
    // The whole window, letterboxed on the tile, so wide and tall windows both read at a glance.
    const QSizeF fitted = QSizeF(it->size() / it->devicePixelRatio()).scaled(bounds.size(), Qt::KeepAspectRatio);
    const QRectF target((bounds.width() - fitted.width()) / 2, (bounds.height() - fitted.height()) / 2, fitted.width(),
                        fitted.height());
    painter.drawPixmap(target, *it, QRectF(it->rect()));
    painter.setClipping(false);
    painter.setPen(QPen(appearance_.border, 1));
    painter.drawPath(clip);
    return tile;
}

QPixmap WindowPickerWindow::placeholderTile() const {
    const qreal ratio = devicePixelRatioF();
    QPixmap tile(thumbnailSize * ratio);
    tile.setDevicePixelRatio(ratio);
    tile.fill(Qt::transparent);
    QPainter painter(&tile);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds(QPointF(0, 0), QSizeF(thumbnailSize));
    QPainterPath shape;
    shape.addRoundedRect(bounds.adjusted(0.5, 0.5, -0.5, -0.5), tileRadius, tileRadius);
    painter.fillPath(shape, appearance_.hover);
    painter.setPen(QPen(appearance_.border, 1));
    painter.drawPath(shape);
    const int glyph = 24;
    ShellIcons::ownIcon("macwindow", appearance_.secondaryText)
        .paint(&painter,
               QRect((thumbnailSize.width() - glyph) / 2, (thumbnailSize.height() - glyph) / 2, glyph, glyph));
    return tile;
}

bool WindowPickerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->modifiers() == Qt::NoModifier || key->modifiers() == Qt::KeypadModifier) {
            if (const auto pickerKeyPressed = pickerKey(key->key())) {
                model_.handleKey(*pickerKeyPressed);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void WindowPickerWindow::reject() {
    // Leaves hiding to whoever listens for the cancel, so the window never goes without a word.
    model_.cancel();
}

void WindowPickerWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    model_.cancel();
}

} // namespace brisklet
