#include "Shell/Settings/SettingsWindow.h"

#include "Shell/QtKeyTokens.h"
#include "Shell/QtStrings.h"
#include "Shell/Settings/SettingsCardWidget.h"
#include "Shell/ShellAppearance.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Hotkeys/HotkeyRecordingEventTap.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Settings/SettingsViewModel.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollArea>
#include <QScrollBar>
#include <QShortcut>
#include <QVBoxLayout>

#include <array>

namespace brisklet {

namespace {

const char* categorySymbol(SettingsCategory category) {
    static constexpr std::array<const char*, 5> symbols{"square.grid.2x2", "camera.viewfinder", "keyboard", "folder",
                                                        "info.circle"};
    return symbols[static_cast<std::size_t>(category)];
}

bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

QString settingsStyleSheet(const ShellAppearance& c) {
    return QStringLiteral(R"(
#briskletSettings { background: %1; }
#briskletSettings QLabel { color: %5; background: transparent; }
#briskletSettings QLabel[secondary="true"] { color: %6; }
#briskletSettings QLabel[message="true"] { color: #d9534f; }
#briskletSettings QLabel[pageTitle="true"] { font-size: 20px; font-weight: 600; }
#briskletSettings QLabel[cardTitle="true"] { font-size: 15px; font-weight: 600; }
#briskletSettings QLabel[groupTitle="true"] { color: %6; font-weight: 600; }
#briskletSettings QFrame[settingsCard="true"] { background: %2; border: 1px solid %4; border-radius: 12px; }
#briskletSettings QListWidget { background: %1; color: %5; border: none; border-right: 1px solid %4;
    padding: 12px 8px; outline: none; }
#briskletSettings QListWidget::item { padding: 8px 10px; border-radius: 8px; margin: 1px 0; }
#briskletSettings QListWidget::item:hover { background: %3; }
#briskletSettings QListWidget::item:selected { background: %7; color: %8; }
#briskletSettings QLineEdit { background: %2; color: %5; border: 1px solid %4; border-radius: 8px; padding: 5px 8px;
    selection-background-color: %7; }
#briskletSettings QLineEdit:focus { border: 1px solid %7; }
#briskletSettings QPushButton, #briskletSettings QComboBox, #briskletSettings QToolButton { background: %1; color: %5;
    border: 1px solid %4; border-radius: 7px; padding: 4px 12px; }
#briskletSettings QPushButton:hover, #briskletSettings QComboBox:hover, #briskletSettings QToolButton:hover { background: %3; }
#briskletSettings QPushButton:disabled, #briskletSettings QCheckBox:disabled { color: %6; }
#briskletSettings QPushButton[hotkeyField="true"] { font-family: monospace; }
#briskletSettings QPushButton[hotkeyField="true"]:checked { background: %7; color: %8; border: 1px solid %7; }
#briskletSettings QComboBox { padding-right: 22px; }
#briskletSettings QComboBox::drop-down { border: none; width: 20px; }
#briskletSettings QComboBox::down-arrow { image: url(:/icons/combo-arrow.svg); width: 10px; height: 10px; }
#briskletSettings QComboBox QAbstractItemView { background: %2; color: %5; selection-background-color: %7;
    selection-color: %8; }
#briskletSettings QScrollArea, #briskletSettings QScrollArea > QWidget > QWidget { background: %1; border: none; }
#briskletSettings QCheckBox { color: %5; }
#briskletSettings QProgressBar { background: %3; border: none; border-radius: 3px; }
#briskletSettings QProgressBar::chunk { background: %7; border-radius: 3px; }
#briskletSettings QScrollBar:vertical { background: transparent; width: 10px; margin: 2px; }
#briskletSettings QScrollBar::handle:vertical { background: %4; border-radius: 3px; min-height: 32px; }
#briskletSettings QScrollBar::add-line:vertical, #briskletSettings QScrollBar::sub-line:vertical { height: 0; }
#briskletSettings QScrollBar::add-page:vertical, #briskletSettings QScrollBar::sub-page:vertical { background: none; }
)")
        .arg(c.window.name(), c.surface.name(), c.hover.name(), c.border.name(), c.text.name(), c.secondaryText.name(),
             c.accent.name(), c.accentText.name());
}

} // namespace

SettingsWindow::SettingsWindow(SettingsViewModel& model, AppModel& app, LocalizationStore& localization,
                               KeyboardGrab* keyboard, QWidget* parent)
    : QWidget(parent), model_(model), app_(app), localization_(localization), keyboard_(keyboard) {
    setObjectName(QStringLiteral("briskletSettings"));
    setProperty("briskletWindowRole", QStringLiteral("settings"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brisklet.svg")));
    setAttribute(Qt::WA_StyledBackground);
    setMinimumSize(720, 480);
    resize(880, 640);
    if (keyboard_) {
        tap_ = std::make_unique<HotkeyRecordingEventTap>(*keyboard_);
        tap_->onRawKeyDown = [this](const RawKeyEvent& key) {
            model_.recordKey(key);
            return true;
        };
        tap_->onEvent = [](const RawKeyEvent&) { return true; };
    }
    chooseDirectory = [this](const QString& current) {
        return QFileDialog::getExistingDirectory(this, qt(localization_.text(L10nKey::settingsChooseDirectory)),
                                                 current, QFileDialog::ShowDirsOnly);
    };
    buildLayout();
    model_.setOnChange([this] { modelChanged(); });
    localizationObserver_ = localization_.addObserver([this](const LocalizationStore&) { retranslate(); });
    appObserver_ = app_.addObserver([this](const AppModel&) { applyAppearance(); });
    applyAppearance();
    retranslate();
}

SettingsWindow::~SettingsWindow() {
    model_.setOnChange({});
    model_.stopRecording();
    if (tap_) {
        tap_->stop();
    }
    localization_.removeObserver(localizationObserver_);
    app_.removeObserver(appObserver_);
}

void SettingsWindow::buildLayout() {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    sidebar_ = new QListWidget(this);
    sidebar_->setObjectName(QStringLiteral("settings.sidebar"));
    sidebar_->setFixedWidth(200);
    sidebar_->setIconSize(QSize(18, 18));
    for (std::size_t i = 0; i < allSettingsCategories().size(); ++i) {
        sidebar_->addItem(new QListWidgetItem);
    }
    connect(sidebar_, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && static_cast<SettingsCategory>(row) != model_.selectedCategory()) {
            model_.selectCategory(static_cast<SettingsCategory>(row));
        }
    });
    layout->addWidget(sidebar_);

    auto* page = new QVBoxLayout;
    page->setContentsMargins(24, 18, 24, 0);
    page->setSpacing(12);
    auto* header = new QHBoxLayout;
    title_ = new QLabel(this);
    title_->setProperty("pageTitle", true);
    header->addWidget(title_, 1);
    search_ = new QLineEdit(this);
    search_->setObjectName(QStringLiteral("settings.search"));
    search_->setClearButtonEnabled(true);
    search_->setFixedWidth(240);
    connect(search_, &QLineEdit::textChanged, this,
            [this](const QString& text) { model_.setQuery(text.toStdString()); });
    // Ctrl+F from anywhere in the window, whichever control has the keyboard.
    auto* find = new QShortcut(QKeySequence::Find, this);
    connect(find, &QShortcut::activated, this, [this] {
        search_->setFocus(Qt::ShortcutFocusReason);
        search_->selectAll();
    });
    header->addWidget(search_);
    page->addLayout(header);

    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    // Tab goes from the search field straight to the first card's controls.
    scroll_->setFocusPolicy(Qt::NoFocus);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    auto* content = new QWidget(scroll_);
    cardsLayout_ = new QVBoxLayout(content);
    cardsLayout_->setContentsMargins(0, 0, 0, 18);
    cardsLayout_->setSpacing(14);
    noResults_ = new QLabel(content);
    noResults_->setObjectName(QStringLiteral("settings.noResults"));
    noResults_->setProperty("secondary", true);
    noResults_->setAlignment(Qt::AlignCenter);
    cardsLayout_->addWidget(noResults_);
    cardsLayout_->addStretch(1);
    scroll_->setWidget(content);
    page->addWidget(scroll_, 1);
    layout->addLayout(page, 1);
}

std::vector<SettingsCardWidget*> SettingsWindow::cards() const {
    return cards_;
}

void SettingsWindow::retranslate() {
    setWindowTitle(qt(localization_.text(L10nKey::settingsWindowTitle)));
    search_->setPlaceholderText(qt(localization_.text(L10nKey::settingsSearchPlaceholder)));
    noResults_->setText(qt(localization_.text(L10nKey::settingsSearchNoResults)));
    const ShellAppearance colours = ShellAppearance::resolve(app_.preferences().visualAppearanceMode);
    for (const SettingsCategory category : allSettingsCategories()) {
        QListWidgetItem* item = sidebar_->item(static_cast<int>(category));
        item->setText(qt(settingsCategoryTitle(category, localization_)));
        item->setIcon(ShellIcons::icon(categorySymbol(category), colours.text));
        item->setData(Qt::UserRole, qt(settingsCategoryName(category)));
    }
    rebuildCards();
}

void SettingsWindow::modelChanged() {
    if (model_.visibleCards() != shownCards_ || model_.selectedCategory() != shownCategory_) {
        rebuildCards();
    } else {
        refreshValues();
    }
    followRecording();
}

void SettingsWindow::rebuildCards() {
    const int scrolled = scroll_->verticalScrollBar()->value();
    const bool sameCards = model_.visibleCards() == shownCards_ && model_.selectedCategory() == shownCategory_;
    // A card may be rebuilt from inside one of its own controls' signals (a new language): take
    // it out of the window now and delete it once that signal has returned.
    for (SettingsCardWidget* card : cards_) {
        card->hide();
        card->setParent(nullptr);
        card->deleteLater();
    }
    cards_.clear();
    shownCards_ = model_.visibleCards();
    shownCategory_ = model_.selectedCategory();
    {
        const QSignalBlocker block(sidebar_);
        sidebar_->setCurrentRow(static_cast<int>(shownCategory_));
    }
    const bool searching = !search_->text().trimmed().isEmpty();
    title_->setText(searching ? qt(localization_.text(L10nKey::settingsSearchPlaceholder))
                              : qt(settingsCategoryTitle(shownCategory_, localization_)));
    const ShellAppearance colours = ShellAppearance::resolve(app_.preferences().visualAppearanceMode);
    int index = 0;
    for (const SettingsCardKind kind : shownCards_) {
        auto* card = new SettingsCardWidget(kind, model_, localization_, colours.text, cardsLayout_->parentWidget());
        card->chooseDirectory = [this](const QString& current) { return chooseDirectory(current); };
        cardsLayout_->insertWidget(index++, card);
        card->show();
        cards_.push_back(card);
    }
    noResults_->setVisible(shownCards_.empty());
    scroll_->verticalScrollBar()->setValue(sameCards ? scrolled : 0);
}

void SettingsWindow::refreshValues() {
    for (SettingsCardWidget* card : cards_) {
        card->refreshValues();
    }
}

void SettingsWindow::applyAppearance() {
    const VisualAppearanceMode mode = app_.preferences().visualAppearanceMode;
    if (appearanceApplied_ && mode == appliedAppearance_) {
        return;
    }
    appearanceApplied_ = true;
    appliedAppearance_ = mode;
    setStyleSheet(settingsStyleSheet(ShellAppearance::resolve(mode)));
    if (sidebar_) {
        retranslate();
    }
}

void SettingsWindow::followRecording() {
    const bool recording = model_.recordingTarget().has_value();
    if (recording) {
        if (tap_ && !tap_->isRunning() && !ownKeyboardGrab_) {
            tap_->start();
        }
        if ((!tap_ || !tap_->isRunning()) && !ownKeyboardGrab_) {
            // Without the display's keyboard grab the window's own keys still record.
            ownKeyboardGrab_ = true;
            grabKeyboard();
        }
        return;
    }
    if (tap_) {
        tap_->stop();
    }
    if (ownKeyboardGrab_) {
        ownKeyboardGrab_ = false;
        releaseKeyboard();
    }
}

void SettingsWindow::keyPressEvent(QKeyEvent* event) {
    if (model_.recordingTarget()) {
        RawKeyEvent key;
        key.isModifierKey = isModifierKey(event->key());
        const std::string token = QtKeyTokens::token(event->key());
        if (!token.empty()) {
            key.token = token;
        }
        key.modifiers.rawValue = QtKeyTokens::modifierBits(event->modifiers());
        key.keyCode = event->nativeScanCode();
        model_.recordKey(key);
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        if (!search_->text().isEmpty()) {
            search_->clear();
        } else {
            close();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void SettingsWindow::showEvent(QShowEvent* event) {
    model_.refresh();
    RuntimeLogger::log("settings window shown category=" + settingsCategoryName(model_.selectedCategory()));
    QWidget::showEvent(event);
}

void SettingsWindow::hideEvent(QHideEvent* event) {
    model_.stopRecording();
    QWidget::hideEvent(event);
    if (onHidden) {
        onHidden();
    }
}

} // namespace brisklet
