#include "Shell/Editor/EditorTextPanel.h"

#include "Shell/QtStrings.h"
#include "Shell/Editor/EditorToolbar.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace brisklet {

namespace {

constexpr int panelWidth = 340;
constexpr int padding = 14;
/// Room between the selection and the panel.
constexpr int gap = 10;

constexpr TranslationTargetLanguage targets[] = {
    TranslationTargetLanguage::automatic, TranslationTargetLanguage::simplifiedChinese,
    TranslationTargetLanguage::english,   TranslationTargetLanguage::japanese,
    TranslationTargetLanguage::korean,    TranslationTargetLanguage::french,
    TranslationTargetLanguage::german,    TranslationTargetLanguage::spanish,
};

QString extraStyle(const ShellAppearance& a) {
    const QColor field = a.dark ? a.window : QColor(0xf6, 0xf7, 0xf9);
    return QStringLiteral(R"(
QLabel#editorTextPanelTitle { color: %1; font-size: 13px; font-weight: 600; }
QLabel#editorTextPanelStatus { color: %2; font-size: 12px; }
QLabel#editorTextPanelTranslationMessage { color: %1; font-size: 12px; }
QPlainTextEdit { color: %1; background: %3; border: 1px solid %4; border-radius: 7px; padding: 4px;
    font-size: 13px; selection-background-color: %5; selection-color: %6; }
QToolButton[panelButton="true"] { background: %7; padding: 4px 12px; font-size: 12px; color: %1; }
QToolButton[panelButton="true"]:hover { background: %8; }
QToolButton[panelButton="true"]:disabled { color: %2; }
QFrame#editorTextPanelRule { background: %4; border: none; }
)")
        .arg(a.text.name(), a.secondaryText.name(), field.name(), a.border.name(), a.accent.name(), a.accentText.name(),
             a.hover.name(), a.dark ? a.hover.lighter(125).name() : a.hover.darker(108).name());
}

constexpr int textViewMaximumHeight = 200;

QPlainTextEdit* makeTextView(QWidget* parent) {
    auto* view = new QPlainTextEdit(parent);
    view->setReadOnly(true);
    view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    view->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    // The editor keeps the keyboard (Esc, Ctrl+C on the selected words); the text can still be
    // selected with the mouse.
    view->setFocusPolicy(Qt::ClickFocus);
    return view;
}

/// Shows `text` in `view`, as tall as the text needs (up to a limit, then it scrolls).
void showText(QPlainTextEdit* view, const QString& text) {
    if (view->toPlainText() != text) {
        view->setPlainText(text);
    }
    const QFontMetrics metrics(view->font());
    // The frame, the padding and the document's margin on each side.
    const int chrome = 2 * (1 + 4 + static_cast<int>(view->document()->documentMargin()));
    const QRect needed = metrics.boundingRect(QRect(0, 0, panelWidth - 2 * padding - chrome, 100000), Qt::TextWordWrap,
                                              text.isEmpty() ? QStringLiteral(" ") : text);
    view->setFixedHeight(std::min(textViewMaximumHeight, needed.height() + chrome + 2));
}

} // namespace

EditorTextPanel::EditorTextPanel(const LocalizationStore& localization, bool dark, QWidget* parent)
    : QWidget(parent), localization_(localization),
      appearance_(dark ? ShellAppearance::darkAppearance() : ShellAppearance::light()) {
    setObjectName(QStringLiteral("editorTextPanel"));
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::ArrowCursor);
    setStyleSheet(EditorToolbarChrome::styleSheet(appearance_) + extraStyle(appearance_));
    build();
}

QToolButton* EditorTextPanel::makeButton(const std::string& title) {
    auto* button = new QToolButton(this);
    button->setText(qt(title));
    button->setProperty("panelButton", true);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    return button;
}

void EditorTextPanel::build() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(EditorToolbarChrome::shadowMargins() + QMargins(padding, padding, padding, padding));
    column->setSpacing(8);

    auto* title = new QLabel(qt(localization_.text(L10nKey::editorTextPanelTitle)), this);
    title->setObjectName(QStringLiteral("editorTextPanelTitle"));
    column->addWidget(title);

    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("editorTextPanelStatus"));
    status_->setWordWrap(true);
    column->addWidget(status_);

    source_ = makeTextView(this);
    source_->setObjectName(QStringLiteral("editorTextPanelSource"));
    column->addWidget(source_);

    auto* actions = new QHBoxLayout;
    actions->setSpacing(8);
    copy_ = makeButton(localization_.text(L10nKey::editorCopyAllText));
    copy_->setObjectName(QStringLiteral("editorTextPanelCopy"));
    translate_ = makeButton(localization_.text(L10nKey::toolbarTranslate));
    translate_->setObjectName(QStringLiteral("editorTextPanelTranslate"));
    actions->addWidget(copy_);
    actions->addWidget(translate_);
    actions->addStretch(1);
    column->addLayout(actions);
    connect(copy_, &QToolButton::clicked, this, [this] {
        if (onCopy) {
            onCopy();
        }
    });
    connect(translate_, &QToolButton::clicked, this, [this] {
        if (onTranslate) {
            onTranslate();
        }
    });

    translationSection_ = new QFrame(this);
    auto* section = new QVBoxLayout(translationSection_);
    section->setContentsMargins(0, 4, 0, 0);
    section->setSpacing(8);
    auto* rule = new QFrame(translationSection_);
    rule->setObjectName(QStringLiteral("editorTextPanelRule"));
    rule->setFixedHeight(1);
    section->addWidget(rule);
    auto* header = new QHBoxLayout;
    auto* heading = new QLabel(qt(localization_.text(L10nKey::translationResultHeading)), translationSection_);
    heading->setObjectName(QStringLiteral("editorTextPanelTitle"));
    header->addWidget(heading);
    header->addStretch(1);
    auto* targetLabel = new QLabel(qt(localization_.text(L10nKey::translationTargetLabel)), translationSection_);
    header->addWidget(targetLabel);
    target_ = new QComboBox(translationSection_);
    target_->setObjectName(QStringLiteral("editorTextPanelTarget"));
    target_->setFocusPolicy(Qt::NoFocus);
    target_->setCursor(Qt::PointingHandCursor);
    target_->setAccessibleName(targetLabel->text());
    for (const TranslationTargetLanguage language : targets) {
        target_->addItem(qt(localization_.translationLanguageDisplayName(language)),
                         QString::fromUtf8(toString(language).data(), static_cast<int>(toString(language).size())));
    }
    header->addWidget(target_);
    section->addLayout(header);
    connect(target_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!updatingTarget_ && index >= 0 && index < static_cast<int>(std::size(targets)) && onTargetChanged) {
            onTargetChanged(targets[index]);
        }
    });

    translated_ = makeTextView(translationSection_);
    translated_->setObjectName(QStringLiteral("editorTextPanelTranslation"));
    section->addWidget(translated_);
    translationMessage_ = new QLabel(translationSection_);
    translationMessage_->setObjectName(QStringLiteral("editorTextPanelTranslationMessage"));
    translationMessage_->setWordWrap(true);
    // The message may name a package to install; it can be selected and copied.
    translationMessage_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    section->addWidget(translationMessage_);
    copyTranslation_ = makeButton(localization_.text(L10nKey::translationCopyResult));
    copyTranslation_->setObjectName(QStringLiteral("editorTextPanelCopyTranslation"));
    connect(copyTranslation_, &QToolButton::clicked, this, [this] {
        if (onCopyTranslation) {
            onCopyTranslation();
        }
    });
    auto* translationActions = new QHBoxLayout;
    translationActions->addWidget(copyTranslation_);
    translationActions->addStretch(1);
    section->addLayout(translationActions);
    column->addWidget(translationSection_);
    translationSection_->hide();
}

void EditorTextPanel::setContent(const Content& content) {
    status_->setText(qt(content.status));
    status_->setVisible(!content.status.empty());
    showText(source_, qt(content.sourceText));
    copy_->setText(qt(localization_.text(content.hasSelection ? L10nKey::toolbarCopy : L10nKey::editorCopyAllText)));
    copy_->setEnabled(!content.sourceText.empty());
    translate_->setEnabled(content.canTranslate && !content.sourceText.empty() &&
                           content.translation != Content::Translation::translating);
    showTranslation(content);
    adjustSize();
}

void EditorTextPanel::showTranslation(const Content& content) {
    using Translation = Content::Translation;
    translationSection_->setVisible(content.translation != Translation::none);
    const auto* position = std::find(std::begin(targets), std::end(targets), content.target);
    updatingTarget_ = true;
    target_->setCurrentIndex(static_cast<int>(position - std::begin(targets)));
    updatingTarget_ = false;
    const bool success = content.translation == Translation::success;
    translated_->setVisible(success);
    if (success) {
        showText(translated_, qt(content.translatedText));
    }
    copyTranslation_->setVisible(success);
    const std::string message = content.translation == Translation::translating
                                    ? localization_.text(L10nKey::translationTranslating)
                                : content.translation == Translation::failed ? content.translationMessage
                                                                             : "";
    translationMessage_->setText(qt(message));
    translationMessage_->setVisible(!message.empty());
}

QSize EditorTextPanel::sizeHint() const {
    const QMargins shadow = EditorToolbarChrome::shadowMargins();
    const int width = panelWidth + shadow.left() + shadow.right();
    return {width, layout() ? layout()->heightForWidth(width) : QWidget::sizeHint().height()};
}

void EditorTextPanel::place(const QRect& selection, const QRect& bounds) {
    const QSize size = sizeHint().expandedTo(QSize(0, layout()->minimumSize().height()));
    resize(size);
    const QMargins shadow = EditorToolbarChrome::shadowMargins();
    const int surfaceWidth = size.width() - shadow.left() - shadow.right();
    int x = 0;
    if (selection.right() + gap + surfaceWidth <= bounds.right()) {
        x = selection.right() + gap - shadow.left();
    } else if (selection.left() - gap - surfaceWidth >= bounds.left()) {
        x = selection.left() - gap - surfaceWidth - shadow.left();
    } else {
        // No room beside it: over the selection's right edge, where text is least often.
        x = std::max(bounds.left(), selection.right() - gap - surfaceWidth) - shadow.left();
    }
    const int y = std::clamp(selection.top() - shadow.top(), bounds.top(),
                             std::max(bounds.top(), bounds.bottom() - size.height()));
    move(x, y);
}

void EditorTextPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    EditorToolbarChrome::paintSurface(painter, rect().marginsRemoved(EditorToolbarChrome::shadowMargins()),
                                      appearance_);
}

} // namespace brisklet
