#include "Shell/Pinned/PinnedTextWindow.h"

#include "Shell/QtStrings.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QSizeGrip>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace brisklet {

namespace {

/// Wide enough for the longest line up to a reading width, tall enough for the lines up to half
/// a screen.
QSize preferredSize(const QString& text, const QFont& font, const QRect& screen) {
    const QFontMetrics metrics(font);
    int widest = 0;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        widest = std::max(widest, metrics.horizontalAdvance(line));
    }
    const int width = std::clamp(widest + 48, 240, std::min(640, screen.width() - 40));
    const int height = std::clamp(static_cast<int>(lines.size()) * metrics.lineSpacing() + 80, 120,
                                  std::max(120, screen.height() / 2));
    return {width, height};
}

} // namespace

PinnedTextWindow::PinnedTextWindow(const std::string& text, const QRect& screen, const AppPreferences& preferences,
                                   const LocalizationStore& localization)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), preferences_(preferences),
      localization_(localization),
      appearance_(ShellAppearance::resolve(preferences.visualAppearanceMode)) {
    setProperty("briskletWindowRole", QStringLiteral("pinnedText"));
    setWindowTitle(qt(localization_.text(L10nKey::pinnedTextTitle)));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->setSpacing(0);
    header_ = buildHeader();
    layout->addWidget(header_);

    body_ = new QPlainTextEdit(this);
    body_->setObjectName(QStringLiteral("pinnedTextBody"));
    body_->setReadOnly(true);
    body_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    body_->setFrameShape(QFrame::NoFrame);
    body_->setPlainText(qt(text));
    body_->setStyleSheet(QStringLiteral("QPlainTextEdit { background: %1; color: %2; padding: 6px 12px; "
                                        "selection-background-color: %3; selection-color: white; }")
                             .arg(appearance_.surface.name(), appearance_.text.name(), appearance_.accent.name()));
    layout->addWidget(body_, 1);

    auto* grip = new QSizeGrip(this);
    grip->setObjectName(QStringLiteral("pinnedTextGrip"));
    layout->addWidget(grip, 0, Qt::AlignBottom | Qt::AlignRight);

    const QSize size = preferredSize(body_->toPlainText(), body_->font(), screen);
    setGeometry(QRect(screen.center() - QPoint(size.width() / 2, size.height() / 2), size));
    setMinimumSize(180, 100);
    RuntimeLogger::log("pinned text shown length=" + std::to_string(text.size()) + " frame=" +
                       std::to_string(x()) + "," + std::to_string(y()) + "," + std::to_string(width()) + "x" +
                       std::to_string(height()));
}

QWidget* PinnedTextWindow::buildHeader() {
    auto* header = new QWidget(this);
    header->setObjectName(QStringLiteral("pinnedTextHeader"));
    header->setCursor(Qt::OpenHandCursor);
    header->installEventFilter(this);
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(12, 6, 6, 6);
    row->setSpacing(4);
    auto* title = new QLabel(qt(localization_.text(L10nKey::pinnedTextTitle)), header);
    title->setStyleSheet(QStringLiteral("color: %1; font-weight: 600;").arg(appearance_.secondaryText.name()));
    row->addWidget(title, 1);
    const QString buttonStyle = QStringLiteral("QToolButton { border: none; border-radius: 6px; padding: 3px; } "
                                               "QToolButton:hover { background: %1; }")
                                    .arg(appearance_.hover.name());
    auto* copy = new QToolButton(header);
    copy->setObjectName(QStringLiteral("pinnedTextCopy"));
    copy->setIcon(ShellIcons::icon("doc.on.doc", appearance_.text));
    copy->setToolTip(qt(localization_.text(L10nKey::genericCopy)));
    copy->setStyleSheet(buttonStyle);
    connect(copy, &QToolButton::clicked, this, [this] { copyText(); });
    row->addWidget(copy);
    auto* close = new QToolButton(header);
    close->setObjectName(QStringLiteral("pinnedTextClose"));
    close->setIcon(ShellIcons::icon("xmark", appearance_.text));
    close->setToolTip(qt(localization_.text(L10nKey::genericClose)));
    close->setStyleSheet(buttonStyle);
    connect(close, &QToolButton::clicked, this, [this] { closePin("closeButton"); });
    row->addWidget(close);
    return header;
}

QString PinnedTextWindow::text() const {
    return body_->toPlainText();
}

void PinnedTextWindow::copyText() {
    // What is selected, else all of it.
    const QString selected = body_->textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    const QString chosen = selected.isEmpty() ? body_->toPlainText() : selected;
    if (callbacks_.copy) {
        callbacks_.copy(chosen.toStdString());
    }
    RuntimeLogger::log("pinned text copied length=" + std::to_string(chosen.toStdString().size()));
}

void PinnedTextWindow::closePin(const char* reason) {
    if (closing_) {
        return;
    }
    closing_ = true;
    RuntimeLogger::log(std::string("pinned text closed reason=") + reason);
    hide();
    if (callbacks_.closed) {
        callbacks_.closed();
    }
}

bool PinnedTextWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched != header_) {
        return QWidget::eventFilter(watched, event);
    }
    auto* mouse = static_cast<QMouseEvent*>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (mouse->button() == Qt::LeftButton) {
            dragOffset_ = mouse->globalPosition().toPoint() - frameGeometry().topLeft();
            header_->setCursor(Qt::ClosedHandCursor);
        }
        return true;
    case QEvent::MouseMove:
        if (dragOffset_ && (mouse->buttons() & Qt::LeftButton)) {
            move(mouse->globalPosition().toPoint() - *dragOffset_);
        }
        return true;
    case QEvent::MouseButtonRelease:
        dragOffset_.reset();
        header_->setCursor(Qt::OpenHandCursor);
        return true;
    case QEvent::MouseButtonDblClick: {
        const PinnedMouseDoubleClickAction action = mouse->button() == Qt::RightButton
                                                        ? preferences_.pinnedRightDoubleClickAction
                                                        : preferences_.pinnedLeftDoubleClickAction;
        if (action == PinnedMouseDoubleClickAction::copyAndClose) {
            copyText();
        }
        if (action != PinnedMouseDoubleClickAction::none) {
            closePin("doubleClick");
        }
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void PinnedTextWindow::paintEvent(QPaintEvent*) {
    // Square, since without a compositor rounded corners would show black behind them.
    QPainter painter(this);
    painter.fillRect(rect(), appearance_.window);
    painter.setPen(QPen(appearance_.accent, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace brisklet
