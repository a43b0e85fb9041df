#include "Shell/Longshot/LongshotControlBar.h"

#include "Shell/QtStrings.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

namespace brisklet {

LongshotControlBar::LongshotControlBar(const LocalizationStore& localization, VisualAppearanceMode appearance,
                                       Actions actions)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      localization_(localization), appearance_(ShellAppearance::resolve(appearance)), actions_(std::move(actions)) {
    setProperty("briskletWindowRole", QStringLiteral("longshotControlBar"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setWindowTitle(qt(localization_.text(L10nKey::actionLongshot)));
    setFixedSize(fixedSize());

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 6, 10, 6);
    row->setSpacing(6);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(1);
    title_ = new QLabel(this);
    title_->setObjectName(QStringLiteral("longshotStatusTitle"));
    title_->setStyleSheet(QStringLiteral("color: %1; font-weight: 600;").arg(appearance_.text.name()));
    detail_ = new QLabel(this);
    detail_->setObjectName(QStringLiteral("longshotStatusDetail"));
    detail_->setStyleSheet(QStringLiteral("color: %1;").arg(appearance_.secondaryText.name()));
    texts->addWidget(title_);
    texts->addWidget(detail_);
    row->addLayout(texts, 1);

    toggle_ = addButton("longshotToggleAutoScroll", "pause.fill", L10nKey::longshotPauseAutoScroll,
                        [this] { actions_.toggleAutoScroll ? actions_.toggleAutoScroll() : void(); });
    toggleSymbol_ = "pause.fill";
    row->addWidget(toggle_);
    finish_ = addButton("longshotFinish", "stop.fill", L10nKey::longshotFinish,
                        [this] { actions_.finish ? actions_.finish() : void(); });
    row->addWidget(finish_);
    cancel_ = addButton("longshotCancel", "xmark", L10nKey::controlCancel,
                        [this] { actions_.cancel ? actions_.cancel() : void(); });
    row->addWidget(cancel_);
}

QToolButton* LongshotControlBar::addButton(const char* objectName, const std::string& symbol, L10nKey tooltip,
                                           std::function<void()> action) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(objectName));
    button->setIcon(ShellIcons::icon(symbol, appearance_.text));
    button->setIconSize(QSize(18, 18));
    button->setFixedSize(34, 34);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(qt(localization_.text(tooltip)));
    button->setStyleSheet(QStringLiteral("QToolButton { border: 1px solid %1; border-radius: 8px; background: %2; } "
                                         "QToolButton:hover { background: %3; } "
                                         "QToolButton:disabled { background: %4; }")
                              .arg(appearance_.border.name(), appearance_.surface.name(), appearance_.hover.name(),
                                   appearance_.window.name()));
    connect(button, &QToolButton::clicked, this, std::move(action));
    return button;
}

void LongshotControlBar::render(const LongshotControlBarModel& model) {
    title_->setText(qt(model.title(localization_)));
    const QString detail = qt(model.frames(localization_) + "  ·  " + model.detail(localization_));
    detail_->setToolTip(detail);
    detail_->setText(detail_->fontMetrics().elidedText(detail, Qt::ElideRight, fixedSize().width() - 160));
    if (model.toggleSymbol() != toggleSymbol_) {
        toggleSymbol_ = model.toggleSymbol();
        toggle_->setIcon(ShellIcons::icon(toggleSymbol_, appearance_.text));
    }
    toggle_->setToolTip(qt(localization_.text(model.toggleTooltip())));
    toggle_->setEnabled(model.controlsEnabled());
    finish_->setEnabled(model.controlsEnabled());
    cancel_->setEnabled(model.controlsEnabled());
}

void LongshotControlBar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), appearance_.window);
    painter.setPen(QPen(appearance_.border, 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // The accent edge says which bar belongs to the capture in progress.
    painter.fillRect(QRect(0, 0, 4, height()), appearance_.accent);
}

} // namespace brisklet
