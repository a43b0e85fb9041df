#include "Shell/VideoPost/VideoPostProcessingWindow.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Shell/QtStrings.h"
#include "Shell/Recording/RecordingEditStyle.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/RecordingControlTimeFormatter.h"
#include "ZelvorApp/Video/VideoPostProcessingModel.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

constexpr int margin = 16;

QString withKey(const QString& action, Qt::Key key) {
    return QStringLiteral("%1 (%2)").arg(action, QKeySequence(key).toString(QKeySequence::NativeText));
}

} // namespace

VideoPostProcessingWindow::VideoPostProcessingWindow(const VideoPostProcessingModel& model,
                                                     const VideoRecordingSummary& summary,
                                                     const LocalizationStore& localization, ShellAppearance appearance)
    : model_(model), summary_(summary),
      localization_(localization), appearance_(std::move(appearance)) {
    setObjectName(QStringLiteral("videoPostProcessing"));
    setProperty("briskletWindowRole", QStringLiteral("videoPostProcessing"));
    setWindowTitle(text(L10nKey::videoPostProcessingTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brisklet.svg")));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(styleSheet());

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(10);
    preview_ = new QLabel(this);
    preview_->setObjectName(QStringLiteral("videoPreview"));
    preview_->setAlignment(Qt::AlignCenter);
    preview_->setWordWrap(true);
    preview_->setMinimumSize(320, 180);
    column->addWidget(preview_, 1);
    details_ = new QLabel(qt(detailsText(summary_, model_.draft().outputFormat, localization_)), this);
    details_->setObjectName(QStringLiteral("videoDetails"));
    details_->setProperty("heading", true);
    column->addWidget(details_);
    note_ = new QLabel(this);
    note_->setObjectName(QStringLiteral("videoNote"));
    note_->setProperty("secondary", true);
    note_->setWordWrap(true);
    column->addWidget(note_);
    column->addWidget(buildFooter());
    refresh();
}

QWidget* VideoPostProcessingWindow::buildFooter() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    progress_ = new QProgressBar(row);
    progress_->setObjectName(QStringLiteral("videoExportProgress"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->setFixedSize(160, 6);
    layout->addWidget(progress_, 0, Qt::AlignVCenter);
    error_ = new QLabel(row);
    error_->setObjectName(QStringLiteral("videoExportError"));
    error_->setProperty("error", true);
    error_->setWordWrap(true);
    layout->addWidget(error_, 1);
    layout->addStretch(0);
    cancel_ = new QPushButton(ShellIcons::icon("xmark", appearance_.text), text(L10nKey::genericCancel), row);
    cancel_->setObjectName(QStringLiteral("videoCancel"));
    cancel_->setFocusPolicy(Qt::NoFocus);
    cancel_->setToolTip(withKey(text(L10nKey::genericCancel), Qt::Key_Escape));
    connect(cancel_, &QPushButton::clicked, this, [this] { requestCancel(); });
    layout->addWidget(cancel_);
    export_ = new QPushButton(ShellIcons::icon("square.and.arrow.down", appearance_.accentText),
                              text(L10nKey::recordingExport), row);
    export_->setObjectName(QStringLiteral("videoExport"));
    export_->setProperty("primary", true);
    export_->setFocusPolicy(Qt::NoFocus);
    connect(export_, &QPushButton::clicked, this, [this] { requestExport(); });
    layout->addWidget(export_);
    return row;
}

std::string VideoPostProcessingWindow::detailsText(const VideoRecordingSummary& summary, RecordingOutputFormat format,
                                                   const LocalizationStore& localization) {
    const std::string name = format == RecordingOutputFormat::mov ? "MOV" : "MP4";
    return localization.format(
        L10nKey::videoPostProcessingDetails,
        {name, RecordingControlTimeFormatter::videoElapsed(summary.duration), summary.pixelWidth, summary.pixelHeight});
}

void VideoPostProcessingWindow::refresh() {
    const bool exporting = model_.isExporting();
    const auto& image = model_.previewImage();
    if (image && !image->isEmpty()) {
        preview_->setPixmap(QPixmap::fromImage(toQImage(*image)));
    } else {
        preview_->setText(text(L10nKey::videoPostProcessingNoPreview));
    }
    const auto& silent = model_.draft().audioUnavailableReason;
    note_->setVisible(silent.has_value());
    note_->setText(silent ? qt(localization_.format(L10nKey::videoPostProcessingSilent, {*silent})) : QString());
    progress_->setVisible(exporting);
    progress_->setValue(static_cast<int>(std::lround(model_.exportProgress().value_or(0) * 1000)));
    const auto& failure = model_.exportErrorMessage();
    error_->setVisible(failure.has_value() && !exporting);
    error_->setText(failure ? qt(*failure) : QString());
    const QString action = text(failure ? L10nKey::videoPostProcessingRetry : L10nKey::recordingExport);
    export_->setText(action);
    export_->setToolTip(withKey(action, Qt::Key_Return));
    export_->setEnabled(!exporting);
}

void VideoPostProcessingWindow::presentCentered(QScreen* screen) {
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    adjustSize();
    const QSize size(std::min(std::max(width(), 520), available.width() - 40),
                     std::min(height(), available.height() - 60));
    resize(size);
    move(available.center() - QPoint(size.width() / 2, size.height() / 2));
    show();
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    RuntimeLogger::log("video post-processing window shown duration=" + formatNumber(summary_.duration) + " frame={" +
                       std::to_string(x()) + ", " + std::to_string(y()) + ", " + std::to_string(size.width()) + ", " +
                       std::to_string(size.height()) + "}");
}

bool VideoPostProcessingWindow::canExport() const {
    return !model_.isExporting();
}

QString VideoPostProcessingWindow::text(L10nKey key) const {
    return qt(localization_.text(key));
}

QString VideoPostProcessingWindow::styleSheet() const {
    return RecordingEditStyle::styleSheet(appearance_, QStringLiteral("videoPostProcessing"), QStringLiteral(R"(
#ROOT QLabel#videoPreview { background: %2; border: 1px solid %4; border-radius: 8px; padding: 8px; color: %6; }
)"));
}

} // namespace brisklet
