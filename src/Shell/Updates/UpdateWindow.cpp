#include "Shell/Updates/UpdateWindow.h"

#include "Shell/QtStrings.h"
#include "Shell/Recording/RecordingEditStyle.h"
#include "ZelvorApp/Updater/UpdateWindowModel.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QVBoxLayout>

#include <cmath>

namespace brisklet {

namespace {

constexpr int margin = 18;

QString updateStyleSheet(const ShellAppearance& appearance) {
    return RecordingEditStyle::styleSheet(appearance, QStringLiteral("updateWindow"), QStringLiteral(R"(
#ROOT QLabel[title="true"] { font-size: 16px; font-weight: 600; }
#ROOT QTextBrowser { background: %2; color: %5; border: 1px solid %4; border-radius: 8px; padding: 6px; }
)"));
}

QLabel* label(QWidget* parent, const char* name, bool secondary = false) {
    auto* result = new QLabel(parent);
    result->setObjectName(QString::fromLatin1(name));
    result->setWordWrap(true);
    result->setProperty("secondary", secondary);
    return result;
}

} // namespace

UpdateWindow::UpdateWindow(UpdateWindowModel& model, ShellAppearance appearance, QWidget* parent)
    : QWidget(parent), model_(model), appearance_(std::move(appearance)) {
    setObjectName(QStringLiteral("updateWindow"));
    setProperty("briskletWindowRole", QStringLiteral("update"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brisklet.svg")));
    setAttribute(Qt::WA_StyledBackground);
    setFixedSize(560, 460);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(10);
    auto* header = new QHBoxLayout;
    header->setSpacing(14);
    auto* icon = new QLabel(this);
    icon->setPixmap(QIcon(QStringLiteral(":/icons/brisklet.svg")).pixmap(56, 56));
    icon->setAlignment(Qt::AlignTop);
    header->addWidget(icon);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(4);
    title_ = label(this, "updateTitle");
    title_->setProperty("title", true);
    message_ = label(this, "updateMessage", true);
    texts->addWidget(title_);
    texts->addWidget(message_);
    texts->addStretch(1);
    header->addLayout(texts, 1);
    column->addLayout(header);
    notesTitle_ = label(this, "updateNotesTitle");
    notesTitle_->setProperty("heading", true);
    column->addWidget(notesTitle_);
    notes_ = new QTextBrowser(this);
    notes_->setObjectName(QStringLiteral("updateReleaseNotes"));
    notes_->setOpenExternalLinks(true);
    notes_->setReadOnly(true);
    column->addWidget(notes_, 1);
    hint_ = label(this, "updateHint", true);
    column->addWidget(hint_);
    status_ = label(this, "updateStatus");
    column->addWidget(status_);
    progress_ = new QProgressBar(this);
    progress_->setObjectName(QStringLiteral("updateProgress"));
    progress_->setTextVisible(false);
    progress_->setFixedHeight(6);
    column->addWidget(progress_);
    progressText_ = label(this, "updateProgressText", true);
    column->addWidget(progressText_);
    column->addWidget(buildButtons());
    setStyleSheet(updateStyleSheet(appearance_));
    refresh();
}

QWidget* UpdateWindow::buildButtons() {
    auto* row = new QWidget(this);
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 4, 0, 0);
    line->setSpacing(10);
    const auto button = [row](const char* name) {
        auto* result = new QPushButton(row);
        result->setObjectName(QString::fromLatin1(name));
        return result;
    };
    skip_ = button("updateSkip");
    later_ = button("updateRemindLater");
    install_ = button("updateInstall");
    install_->setProperty("primary", true);
    install_->setDefault(true);
    cancel_ = button("updateCancel");
    close_ = button("updateClose");
    close_->setProperty("primary", true);
    connect(skip_, &QPushButton::clicked, this, [this] { answer(static_cast<int>(UpdatePromptDecision::skip)); });
    connect(later_, &QPushButton::clicked, this,
            [this] { answer(static_cast<int>(UpdatePromptDecision::remindLater)); });
    connect(install_, &QPushButton::clicked, this, [this] { answer(static_cast<int>(UpdatePromptDecision::install)); });
    connect(cancel_, &QPushButton::clicked, this, [this] {
        if (onCancel) {
            onCancel();
        }
    });
    connect(close_, &QPushButton::clicked, this, &QWidget::close);
    line->addWidget(skip_);
    line->addStretch(1);
    line->addWidget(later_);
    line->addWidget(cancel_);
    line->addWidget(close_);
    line->addWidget(install_);
    return row;
}

void UpdateWindow::answer(int decision) {
    if (model_.choose(static_cast<UpdatePromptDecision>(decision))) {
        refresh();
    } else {
        close();
    }
}

void UpdateWindow::refresh() {
    setWindowTitle(qt(model_.windowTitle()));
    title_->setText(qt(model_.title()));
    message_->setText(qt(model_.message()));
    notesTitle_->setText(qt(model_.releaseNotesTitle()));
    if (model_.hasReleaseNotes()) {
        notes_->setMarkdown(qt(model_.releaseNotes()));
    } else {
        notes_->setPlainText(qt(model_.releaseNotes()));
    }
    hint_->setText(qt(model_.adminHint()));
    skip_->setText(qt(model_.buttonText(UpdatePromptDecision::skip)));
    later_->setText(qt(model_.buttonText(UpdatePromptDecision::remindLater)));
    install_->setText(qt(model_.buttonText(UpdatePromptDecision::install)));
    cancel_->setText(qt(model_.cancelText()));
    close_->setText(qt(model_.closeText()));

    const UpdateWindowStage stage = model_.stage();
    const bool offer = stage == UpdateWindowStage::offer;
    const bool failed = stage == UpdateWindowStage::failed;
    skip_->setVisible(offer);
    later_->setVisible(offer);
    install_->setVisible(offer);
    hint_->setVisible(offer);
    cancel_->setVisible(model_.canCancel());
    close_->setVisible(failed);
    status_->setVisible(!offer);
    status_->setText(qt(model_.statusText()));
    status_->setProperty("error", failed);
    status_->style()->unpolish(status_);
    status_->style()->polish(status_);
    const bool showsProgress = stage == UpdateWindowStage::downloading || stage == UpdateWindowStage::installing;
    progress_->setVisible(showsProgress);
    if (const auto fraction = model_.progress()) {
        progress_->setRange(0, 1000);
        progress_->setValue(static_cast<int>(std::lround(*fraction * 1000.0)));
    } else {
        // Busy bar until the size is known.
        progress_->setRange(0, 0);
    }
    progressText_->setText(qt(model_.progressText()));
    progressText_->setVisible(showsProgress && !model_.progressText().empty());
    if (failed) {
        close_->setFocus();
    }
}

void UpdateWindow::setAppearance(const ShellAppearance& appearance) {
    appearance_ = appearance;
    setStyleSheet(updateStyleSheet(appearance_));
}

void UpdateWindow::closeEvent(QCloseEvent* event) {
    model_.closed();
    QWidget::closeEvent(event);
    if (onFinished) {
        onFinished();
    }
}

void UpdateWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && install_->isVisible()) {
        install_->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace brisklet
