#include "Shell/Recording/RecordingOptionsBarWindow.h"

#include "Shell/QtDesktopGeometry.h"
#include "Shell/QtKeyTokens.h"
#include "Shell/QtStrings.h"
#include "Shell/Recording/RecordingBarStyle.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QToolButton>

namespace brisklet {

namespace {

QFrame* separator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setObjectName(QStringLiteral("barSeparator"));
    line->setFixedSize(1, 24);
    return line;
}

} // namespace

RecordingOptionsBarWindow::RecordingOptionsBarWindow(RecordingOptionsBarController controller,
                                                     const LocalizationStore& localization)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      controller_(std::move(controller)), localization_(localization),
      appearance_(ShellAppearance::resolve(controller_.appearanceMode())) {
    setProperty("briskletWindowRole", QStringLiteral("recordingOptions"));
    setObjectName(QStringLiteral("recordingOptionsBar"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(qt(localization_.text(L10nKey::recordingOptionsTitle)));
    setStyleSheet(RecordingBarStyle::styleSheet(appearance_));
    setCursor(Qt::ArrowCursor);
    build();
    refresh();
    setGeometry(QtDesktopGeometry::globalRect(controller_.windowRect()));
}

void RecordingOptionsBarWindow::build() {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(8, 6, 8, 6);
    row->setSpacing(2);
    row->addWidget(formatButton(RecordingOutputFormat::gif, "photo", L10nKey::recordingFormatGif));
    row->addWidget(formatButton(RecordingOutputFormat::mp4, "video", L10nKey::recordingFormatMp4));
    row->addWidget(formatButton(RecordingOutputFormat::mov, "film", L10nKey::recordingFormatMov));
    row->addWidget(separator(this));

    const RecordingOptions& options = controller_.model().options();
    quality_ = new QComboBox(this);
    quality_->setObjectName(QStringLiteral("recordingQuality"));
    quality_->setToolTip(qt(localization_.text(L10nKey::recordingQualityLabel)));
    quality_->setFocusPolicy(Qt::NoFocus);
    quality_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (const L10nKey key : {L10nKey::recordingQualityLow, L10nKey::recordingQualityMedium,
                              L10nKey::recordingQualityHigh}) {
        quality_->addItem(qt(localization_.text(key)));
    }
    quality_->setCurrentIndex(static_cast<int>(options.quality));
    connect(quality_, &QComboBox::activated, this, [this](int index) {
        controller_.model().setQuality(static_cast<RecordingQuality>(index));
    });
    row->addWidget(quality_);

    audio_ = new QComboBox(this);
    audio_->setObjectName(QStringLiteral("recordingAudio"));
    audio_->setToolTip(qt(localization_.text(L10nKey::recordingAudioLabel)));
    audio_->setFocusPolicy(Qt::NoFocus);
    audio_->addItem(qt(localization_.text(L10nKey::recordingAudioNone)));
    audio_->addItem(qt(localization_.text(L10nKey::recordingAudioSystem)));
    audio_->setCurrentIndex(static_cast<int>(options.audioMode));
    connect(audio_, &QComboBox::activated, this, [this](int index) {
        controller_.model().setAudioMode(static_cast<RecordingAudioMode>(index));
    });
    row->addWidget(audio_);

    row->addWidget(separator(this));
    auto* cursor = toggleButton("cursorarrow", L10nKey::recordingShowCursor, options.showsCursor,
                                &RecordingOptionsBarModel::setShowsCursor);
    cursor->setObjectName(QStringLiteral("recordingShowsCursor"));
    row->addWidget(cursor);
    auto* clicks = toggleButton("cursorarrow.rays", L10nKey::recordingShowClickEffects, options.showsClickEffects,
                                &RecordingOptionsBarModel::setShowsClickEffects);
    clicks->setObjectName(QStringLiteral("recordingShowsClicks"));
    row->addWidget(clicks);
    row->addStretch(1);

    const QString cancelText = qt(localization_.text(L10nKey::genericCancel));
    auto* cancel = RecordingBarStyle::button(this, "xmark", cancelText, cancelText + QStringLiteral(" (Esc)"),
                                             appearance_, false);
    cancel->setObjectName(QStringLiteral("recordingCancel"));
    connect(cancel, &QToolButton::clicked, this, [this] { controller_.cancel(); });
    row->addWidget(cancel);
    const QString startText = qt(localization_.text(L10nKey::recordingStart));
    auto* start = RecordingBarStyle::button(this, "record.circle", startText, startText + QStringLiteral(" (Return)"),
                                            appearance_, true, true);
    start->setObjectName(QStringLiteral("recordingStart"));
    connect(start, &QToolButton::clicked, this, [this] { controller_.start(); });
    row->addWidget(start);
}

QToolButton* RecordingOptionsBarWindow::formatButton(RecordingOutputFormat format, const std::string& symbol,
                                                     L10nKey label) {
    const QString text = qt(localization_.text(label));
    auto* button = RecordingBarStyle::button(this, symbol, text, qt(localization_.text(L10nKey::recordingFormatLabel)) +
                                                                     QStringLiteral(": ") + text,
                                             appearance_, true);
    button->setObjectName(QStringLiteral("recordingFormat-") + QString::fromUtf8(toString(format).data()));
    button->setCheckable(true);
    connect(button, &QToolButton::clicked, this, [this, format] {
        controller_.model().selectFormat(format);
        refresh();
    });
    formatButtons_.emplace_back(format, button);
    return button;
}

QToolButton* RecordingOptionsBarWindow::toggleButton(const std::string& symbol, L10nKey label, bool checked,
                                                     void (RecordingOptionsBarModel::*set)(bool)) {
    const QString text = qt(localization_.text(label));
    auto* button = RecordingBarStyle::button(this, symbol, text, text, appearance_, false);
    button->setCheckable(true);
    button->setChecked(checked);
    const auto tint = [this, button, symbol](bool on) {
        button->setIcon(ShellIcons::ownIcon(symbol, on ? appearance_.accentText : appearance_.text));
    };
    tint(checked);
    connect(button, &QToolButton::toggled, this, [this, set, tint](bool on) {
        (controller_.model().*set)(on);
        tint(on);
    });
    return button;
}

void RecordingOptionsBarWindow::refresh() {
    const RecordingOutputFormat chosen = controller_.model().options().outputFormat;
    for (auto& [format, button] : formatButtons_) {
        button->setChecked(format == chosen);
    }
    // GIFs have no sound.
    audio_->setEnabled(chosen != RecordingOutputFormat::gif);
}

void RecordingOptionsBarWindow::present() {
    controller_.presented();
    show();
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    QApplication::restoreOverrideCursor();
    setCursor(Qt::ArrowCursor);
}

void RecordingOptionsBarWindow::dismissAndRestoreCursor() {
    unsetCursor();
    close();
}

void RecordingOptionsBarWindow::keyPressEvent(QKeyEvent* event) {
    if (controller_.handleKey(QtKeyTokens::token(event->key()))) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void RecordingOptionsBarWindow::paintEvent(QPaintEvent*) {
    RecordingBarStyle::paintPanel(*this, appearance_);
}

} // namespace brisklet
