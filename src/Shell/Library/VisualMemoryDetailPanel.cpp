#include "Shell/Library/VisualMemoryDetailPanel.h"

#include "Shell/Library/LibraryThumbnailCache.h"
#include "Shell/Library/TagFlowWidget.h"
#include "Shell/QtStrings.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Library/VisualMemoryKindLabel.h"
#include "ZelvorApp/Library/VisualMemoryLibraryViewModel.h"

#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QStackedLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace brisklet {

namespace {

using Action = VisualMemoryLibraryViewModel::ItemAction;
constexpr int previewWidth = 272;

QString formatDate(Date date) {
    return QLocale().toString(QDateTime::fromMSecsSinceEpoch(static_cast<qint64>(date.secondsSince1970 * 1000)),
                              QLocale::ShortFormat);
}

QLabel* heading(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setProperty("heading", true);
    return label;
}

} // namespace

// MARK: panel

VisualMemoryDetailPanel::VisualMemoryDetailPanel(VisualMemoryLibraryViewModel& viewModel,
                                                 LibraryThumbnailCache& thumbnails,
                                                 const LocalizationStore& localization, QWidget* parent)
    : QWidget(parent), viewModel_(viewModel), thumbnails_(thumbnails), localization_(localization) {
    setObjectName(QStringLiteral("libraryDetail"));
    setFixedWidth(static_cast<int>(VisualMemoryLibraryViewModel::detailPanelWidth));
    pages_ = new QStackedLayout(this);
    empty_ = new QLabel(this);
    empty_->setAlignment(Qt::AlignCenter);
    empty_->setWordWrap(true);
    empty_->setProperty("secondary", true);
    empty_->setMargin(24);
    pages_->addWidget(empty_);
    pages_->addWidget(buildItemPage());
    pages_->addWidget(buildMultiplePage());
    retranslate();
    refresh();
}

QWidget* VisualMemoryDetailPanel::buildItemPage() {
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* page = new QWidget(scroll);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(10);
    preview_ = new QLabel(page);
    preview_->setObjectName(QStringLiteral("libraryPreview"));
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setMinimumHeight(120);
    // The picture never widens the panel; it is scaled to fit instead.
    preview_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(preview_);
    title_ = new QLabel(page);
    title_->setWordWrap(true);
    title_->setProperty("title", true);
    title_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    title_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(title_);
    facts_ = new QLabel(page);
    facts_->setWordWrap(true);
    facts_->setTextFormat(Qt::RichText);
    facts_->setOpenExternalLinks(true);
    facts_->setTextInteractionFlags(Qt::TextBrowserInteraction);
    facts_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    layout->addWidget(facts_);

    auto* actions = new QWidget(page);
    auto* grid = new QGridLayout(actions);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(4);
    const auto add = [&](const QString& name, const char* symbol, Action action) {
        QToolButton* button = addAction(actions, name, symbol, [this, action] { viewModel_.perform(action); });
        const int index = grid->count();
        grid->addWidget(button, index / 2, index % 2);
    };
    add(QStringLiteral("open"), "arrow.up.forward.app", Action::open);
    add(QStringLiteral("reveal"), "folder", Action::reveal);
    add(QStringLiteral("annotate"), "pencil.tip", Action::annotate);
    add(QStringLiteral("copy"), "doc.on.doc", Action::copy);
    add(QStringLiteral("favorite"), "star", Action::favorite);
    add(QStringLiteral("pin"), "pin", Action::pin);
    // The two with the longest names get a whole row each.
    QToolButton* exportButton = addAction(actions, QStringLiteral("exportObsidian"), "square.and.arrow.down",
                                          [this] { viewModel_.perform(Action::exportObsidian); });
    grid->addWidget(exportButton, 4, 0, 1, 2);
    QToolButton* remove = addAction(actions, QStringLiteral("delete"), "trash", [this] { viewModel_.deleteSelection(); });
    remove->setProperty("destructive", true);
    grid->addWidget(remove, 5, 0, 1, 2);
    layout->addWidget(actions);

    tagsHeading_ = heading(page);
    layout->addWidget(tagsHeading_);
    tags_ = new TagFlowWidget(page);
    layout->addWidget(tags_);
    tagField_ = new QLineEdit(page);
    tagField_->setObjectName(QStringLiteral("libraryTagField"));
    tagField_->setClearButtonEnabled(true);
    connect(tagField_, &QLineEdit::returnPressed, this, [this] {
        if (viewModel_.addTags(tagField_->text().toStdString())) {
            tagField_->clear();
        }
    });
    layout->addWidget(tagField_);

    textHeading_ = heading(page);
    layout->addWidget(textHeading_);
    text_ = new QPlainTextEdit(page);
    text_->setReadOnly(true);
    text_->setMinimumHeight(90);
    text_->setMaximumHeight(180);
    layout->addWidget(text_);
    addAction(page, QStringLiteral("copyText"), "doc.text", [this] { viewModel_.perform(Action::copyText); });
    layout->addWidget(actions_.back());
    layout->addStretch(1);
    scroll->setWidget(page);
    return scroll;
}

QWidget* VisualMemoryDetailPanel::buildMultiplePage() {
    auto* page = new QWidget(this);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addStretch(1);
    multipleCount_ = new QLabel(page);
    multipleCount_->setAlignment(Qt::AlignCenter);
    multipleCount_->setProperty("title", true);
    layout->addWidget(multipleCount_);
    QToolButton* remove =
        addAction(page, QStringLiteral("deleteSelection"), "trash", [this] { viewModel_.deleteSelection(); });
    layout->addWidget(remove, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return page;
}

QToolButton* VisualMemoryDetailPanel::addAction(QWidget* parent, const QString& name, const char* symbol,
                                                std::function<void()> action) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setProperty("symbol", QString::fromLatin1(symbol));
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    button->setMinimumWidth(60);
    button->setIconSize(QSize(16, 16));
    connect(button, &QToolButton::clicked, this, std::move(action));
    actions_.push_back(button);
    return button;
}

QToolButton* VisualMemoryDetailPanel::actionButton(const QString& name) const {
    for (QToolButton* button : actions_) {
        if (button->objectName() == name) {
            return button;
        }
    }
    return nullptr;
}

void VisualMemoryDetailPanel::retranslate() {
    const auto t = [this](L10nKey key) { return qt(localization_.text(key)); };
    empty_->setText(t(L10nKey::visualNoSelection));
    tagsHeading_->setText(t(L10nKey::visualDetailTags));
    textHeading_->setText(t(L10nKey::visualDetailRecognizedText));
    tagField_->setPlaceholderText(t(L10nKey::visualDetailAddTag));
    actionButton(QStringLiteral("open"))->setText(t(L10nKey::genericOpen));
    actionButton(QStringLiteral("reveal"))->setText(t(L10nKey::visualActionShowInFolder));
    actionButton(QStringLiteral("annotate"))->setText(t(L10nKey::visualActionAnnotate));
    actionButton(QStringLiteral("copy"))->setText(t(L10nKey::genericCopy));
    actionButton(QStringLiteral("exportObsidian"))->setText(t(L10nKey::visualActionExportObsidian));
    actionButton(QStringLiteral("delete"))->setText(t(L10nKey::genericDelete));
    actionButton(QStringLiteral("deleteSelection"))->setText(t(L10nKey::genericDelete));
    actionButton(QStringLiteral("copyText"))->setText(t(L10nKey::visualActionCopyText));
    shown_.reset();
    shownSelectionCount_ = 0;
}

void VisualMemoryDetailPanel::setAppearance(const ShellAppearance& appearance) {
    appearance_ = appearance;
    refreshIcons();
}

void VisualMemoryDetailPanel::refreshIcons() {
    for (QToolButton* button : actions_) {
        std::string symbol = button->property("symbol").toString().toStdString();
        if (shown_ && button->objectName() == QLatin1String("favorite") && shown_->isFavorite) {
            symbol = "star.fill";
        } else if (shown_ && button->objectName() == QLatin1String("pin") && shown_->isPinned) {
            symbol = "pin.fill";
        }
        button->setIcon(ShellIcons::icon(symbol, appearance_.text));
    }
}

void VisualMemoryDetailPanel::refresh() {
    const std::size_t count = viewModel_.selectedIDs().size();
    const auto item = viewModel_.selectedItem();
    if (count > 1) {
        if (shownSelectionCount_ != count) {
            multipleCount_->setText(qt(localization_.format(L10nKey::visualSelectionCount, {static_cast<int>(count)})));
        }
        pages_->setCurrentIndex(2);
        shownSelectionCount_ = count;
        shown_.reset();
        return;
    }
    shownSelectionCount_ = count;
    if (!item) {
        pages_->setCurrentIndex(0);
        shown_.reset();
        return;
    }
    pages_->setCurrentIndex(1);
    if (shown_ != item) {
        showItem(*item);
    }
    refreshPreview();
}

void VisualMemoryDetailPanel::showItem(const VisualMemoryItem& item) {
    const bool sameItem = shown_ && shown_->id == item.id;
    shown_ = item;
    const auto t = [this](L10nKey key) { return qt(localization_.text(key)); };
    title_->setText(qt(item.summary.empty() ? item.url.filename().string() : item.summary));
    QString facts;
    const auto row = [&facts](const QString& name, const QString& value) {
        facts += QStringLiteral("<div><span style='opacity:0.65'>%1</span>&nbsp;&nbsp;%2</div>")
                     .arg(name.toHtmlEscaped(), value);
    };
    row(t(L10nKey::visualDetailKind), t(visualMemoryKindLabel(item.kind)).toHtmlEscaped());
    if (item.sourceApp && !item.sourceApp->empty()) {
        row(t(L10nKey::visualDetailSource), qt(*item.sourceApp).toHtmlEscaped());
    }
    if (item.sourceWindow && !item.sourceWindow->empty()) {
        row(t(L10nKey::visualDetailWindow), qt(*item.sourceWindow).toHtmlEscaped());
    }
    if (item.sourceURL && !item.sourceURL->empty()) {
        const QString url = qt(*item.sourceURL).toHtmlEscaped();
        row(t(L10nKey::visualDetailURL), QStringLiteral("<a href='%1' style='color:%2'>%1</a>").arg(url, appearance_.accent.name()));
    }
    row(t(L10nKey::visualDetailCreated), formatDate(item.createdAt).toHtmlEscaped());
    if (item.expiresAt && !item.isPermanentlyRetained()) {
        row(t(L10nKey::visualDetailExpires), formatDate(*item.expiresAt).toHtmlEscaped());
    }
    facts_->setText(facts);

    std::vector<std::pair<QString, QString>> tags;
    for (const auto& tag : viewModel_.selectedItemTags()) {
        tags.emplace_back(qt(tag.name), qt(localization_.format(L10nKey::visualRemoveTag, {tag.name})));
    }
    tags_->setTags(tags, ShellIcons::icon("xmark", appearance_.secondaryText),
                   [this](const QString& tag) { viewModel_.removeTag(tag.toStdString()); });
    const QString text = qt(item.ocrText);
    text_->setPlainText(text.isEmpty() ? t(L10nKey::visualDetailNoText) : text);
    text_->setEnabled(!text.isEmpty());
    actionButton(QStringLiteral("copyText"))->setEnabled(!text.isEmpty());
    actionButton(QStringLiteral("annotate"))->setEnabled(item.kind != ExportKind::clipboardText &&
                                                         item.kind != ExportKind::gif &&
                                                         item.kind != ExportKind::videoMP4 &&
                                                         item.kind != ExportKind::videoMOV);
    actionButton(QStringLiteral("favorite"))
        ->setText(t(item.isFavorite ? L10nKey::visualActionUnfavorite : L10nKey::visualActionFavorite));
    actionButton(QStringLiteral("pin"))->setText(t(item.isPinned ? L10nKey::visualActionUnpin : L10nKey::visualActionPin));
    refreshIcons();
    if (!sameItem) {
        preview_->clear();
        tagField_->clear();
    }
}

void VisualMemoryDetailPanel::refreshPreview() {
    if (!shown_) {
        return;
    }
    const VisualMemoryItem& item = *shown_;
    QString path;
    if (item.kind != ExportKind::clipboardText && item.kind != ExportKind::videoMP4 && item.kind != ExportKind::videoMOV &&
        item.kind != ExportKind::gif) {
        path = qt(item.url.string());
    } else if (item.thumbnailPath && !item.thumbnailPath->empty()) {
        path = qt(*item.thumbnailPath);
    }
    const qreal ratio = devicePixelRatioF();
    const QImage image = thumbnails_.image(path, static_cast<int>(previewWidth * ratio));
    if (image.isNull()) {
        if (path.isEmpty()) {
            preview_->setText(qt(localization_.text(visualMemoryKindLabel(item.kind))));
        }
        return;
    }
    QPixmap pixmap = QPixmap::fromImage(image);
    const int width = std::min(previewWidth, std::max(120, preview_->width() - 2));
    pixmap = pixmap.scaled(QSize(width, 220) * ratio, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    pixmap.setDevicePixelRatio(ratio);
    preview_->setPixmap(pixmap);
}

} // namespace brisklet
