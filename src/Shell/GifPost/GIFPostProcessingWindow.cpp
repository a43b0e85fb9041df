#include "Shell/GifPost/GIFPostProcessingWindow.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Shell/Editor/BackgroundPresetChip.h"
#include "Shell/GifPost/GIFPreviewView.h"
#include "Shell/GifPost/GIFTimelineView.h"
#include "Shell/QtStrings.h"
#include "Shell/Recording/RecordingEditStyle.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Recording/GIFPostProcessingModel.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace brisklet {

namespace {

constexpr int margin = 16;
constexpr int windowWidth = 800;

/// "Play (Space)": the action and its key, in the desktop's words for the key.
QString withKey(const QString& action, Qt::Key key) {
    return QStringLiteral("%1 (%2)").arg(action, QKeySequence(key).toString(QKeySequence::NativeText));
}

QLabel* secondaryLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setProperty("secondary", true);
    return label;
}

} // namespace

GIFPostProcessingWindow::GIFPostProcessingWindow(GIFPostProcessingModel& model, const LocalizationStore& localization,
                                                 ShellAppearance appearance, Renderers renderers)
    : model_(model),
      localization_(localization), appearance_(std::move(appearance)), renderers_(renderers) {
    setObjectName(QStringLiteral("gifPostProcessing"));
    setProperty("briskletWindowRole", QStringLiteral("gifPostProcessing"));
    setWindowTitle(text(L10nKey::recordingPostProcessingTitle));
    setWindowIcon(QIcon(QStringLiteral(":/icons/brisklet.svg")));
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(styleSheet());

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin, margin, margin, margin);
    column->setSpacing(10);
    preview_ = new GIFPreviewView(appearance_, this);
    column->addWidget(preview_, 1);
    column->addWidget(buildPlaybackRow());
    timeline_ = new GIFTimelineView(model_, appearance_, this);
    column->addWidget(timeline_);
    column->addWidget(buildHintRow());
    column->addWidget(separator());
    column->addWidget(buildBackgroundRow());
    column->addWidget(separator());
    column->addWidget(buildFooter());

    model_.onChange = [this] { refresh(); };
    refresh();
}

GIFPostProcessingWindow::~GIFPostProcessingWindow() {
    model_.onChange = nullptr;
}

QWidget* GIFPostProcessingWindow::buildPlaybackRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    play_ = new QToolButton(row);
    play_->setObjectName(QStringLiteral("gifPlay"));
    play_->setFocusPolicy(Qt::NoFocus);
    play_->setIconSize(QSize(18, 18));
    play_->setProperty("round", true);
    connect(play_, &QToolButton::clicked, this, [this] { model_.togglePlayback(); });
    layout->addWidget(play_);
    playhead_ = new QLabel(row);
    playhead_->setObjectName(QStringLiteral("gifPlayhead"));
    playhead_->setProperty("timestamp", true);
    layout->addWidget(playhead_);
    layout->addStretch(1);
    start_ = secondaryLabel(row);
    start_->setObjectName(QStringLiteral("gifSelectionStart"));
    layout->addWidget(start_);
    end_ = secondaryLabel(row);
    end_->setObjectName(QStringLiteral("gifSelectionEnd"));
    layout->addWidget(end_);
    return row;
}

QWidget* GIFPostProcessingWindow::buildHintRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    hint_ = secondaryLabel(row);
    hint_->setObjectName(QStringLiteral("gifTrimHint"));
    hint_->setWordWrap(true);
    hint_->setText(text(L10nKey::recordingTrimHint));
    layout->addWidget(hint_, 1);
    summary_ = new QLabel(row);
    summary_->setObjectName(QStringLiteral("gifSelectionSummary"));
    summary_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    layout->addWidget(summary_, 0, Qt::AlignTop);
    return row;
}

QWidget* GIFPostProcessingWindow::buildBackgroundRow() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* title = new QLabel(text(L10nKey::backgroundPanelTitle), row);
    title->setProperty("heading", true);
    layout->addWidget(title);
    layout->addSpacing(8);
    auto* none = new QToolButton(row);
    none->setObjectName(QStringLiteral("gifNoBackground"));
    none->setCheckable(true);
    none->setFocusPolicy(Qt::NoFocus);
    none->setProperty("chip", true);
    none->setText(text(L10nKey::recordingBackgroundNone));
    none->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(none, &QToolButton::clicked, this, [this] { model_.setBackgroundChoice(GIFBackgroundChoice::none()); });
    none_ = none;
    layout->addWidget(none);
    layout->addSpacing(6);
    for (const BackgroundPreset& preset : BackgroundPreset::all()) {
        auto* chip = new BackgroundPresetChip(preset.style, appearance_, row);
        chip->setToolTip(qt(preset.nameKey ? localization_.text(*preset.nameKey) : preset.name));
        chip->setProperty("presetID", qt(preset.id));
        const std::string id = preset.id;
        connect(chip, &QAbstractButton::clicked, this,
                [this, id] { model_.setBackgroundChoice(GIFBackgroundChoice::preset(id)); });
        layout->addWidget(chip);
        presets_.append(chip);
    }
    layout->addStretch(1);
    return row;
}

QWidget* GIFPostProcessingWindow::buildFooter() {
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(10);
    progress_ = new QProgressBar(row);
    progress_->setObjectName(QStringLiteral("gifExportProgress"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(false);
    progress_->setFixedSize(180, 6);
    layout->addWidget(progress_, 0, Qt::AlignVCenter);
    status_ = secondaryLabel(row);
    status_->setObjectName(QStringLiteral("gifExportStatus"));
    layout->addWidget(status_);
    error_ = new QLabel(row);
    error_->setObjectName(QStringLiteral("gifExportError"));
    error_->setProperty("error", true);
    error_->setWordWrap(true);
    layout->addWidget(error_, 1);
    layout->addStretch(0);
    cancel_ = new QPushButton(ShellIcons::icon("xmark", appearance_.text), text(L10nKey::genericCancel), row);
    cancel_->setObjectName(QStringLiteral("gifCancel"));
    cancel_->setFocusPolicy(Qt::NoFocus);
    cancel_->setToolTip(withKey(text(L10nKey::genericCancel), Qt::Key_Escape));
    connect(cancel_, &QPushButton::clicked, this, [this] { requestCancel(); });
    layout->addWidget(cancel_);
    export_ = new QPushButton(ShellIcons::icon("square.and.arrow.down", appearance_.accentText),
                              text(L10nKey::recordingExport), row);
    export_->setObjectName(QStringLiteral("gifExport"));
    export_->setProperty("primary", true);
    export_->setFocusPolicy(Qt::NoFocus);
    export_->setToolTip(withKey(text(L10nKey::recordingExport), Qt::Key_Return));
    connect(export_, &QPushButton::clicked, this, [this] { requestExport(); });
    layout->addWidget(export_);
    return row;
}

QWidget* GIFPostProcessingWindow::separator() {
    auto* line = new QWidget(this);
    line->setProperty("separator", true);
    line->setFixedHeight(1);
    line->setAttribute(Qt::WA_StyledBackground);
    return line;
}

void GIFPostProcessingWindow::refresh() {
    const bool playing = model_.isPlaying();
    const bool exporting = model_.isExporting();
    const QString playText = text(playing ? L10nKey::recordingPausePlayback : L10nKey::recordingPlay);
    play_->setIcon(ShellIcons::icon(playing ? "pause.fill" : "play.fill", appearance_.text));
    play_->setToolTip(withKey(playText, Qt::Key_Space));
    play_->setAccessibleName(playText);
    play_->setEnabled(!exporting && !model_.frames().empty());
    playhead_->setText(qt(model_.playheadTimestamp()));
    start_->setText(qt(localization_.format(L10nKey::recordingSelectionStart,
                                            {GIFPostProcessingModel::formatTimestamp(model_.startTime())})));
    end_->setText(qt(localization_.format(L10nKey::recordingSelectionEnd,
                                          {GIFPostProcessingModel::formatTimestamp(model_.endTime())})));
    summary_->setText(qt(model_.selectionSummary()));
    timeline_->setEnabled(!exporting);
    timeline_->update();

    const auto& presetID = model_.backgroundChoice().presetID;
    none_->setChecked(!presetID);
    none_->setIcon(ShellIcons::icon("eye.slash", presetID ? appearance_.text : appearance_.accentText));
    none_->setEnabled(!exporting);
    for (QAbstractButton* chip : presets_) {
        chip->setChecked(presetID && chip->property("presetID").toString().toStdString() == *presetID);
        chip->setEnabled(!exporting);
    }

    const auto status = model_.exportStatusText();
    progress_->setVisible(exporting);
    progress_->setValue(static_cast<int>(std::lround(model_.exportProgress().value_or(0) * 1000)));
    status_->setVisible(status.has_value());
    status_->setText(status ? qt(*status) : QString());
    const auto& failure = model_.exportErrorMessage();
    error_->setVisible(failure.has_value() && !exporting);
    error_->setText(failure ? qt(*failure) : QString());
    export_->setEnabled(model_.canExport());
    refreshPreview();
}

void GIFPostProcessingWindow::refreshPreview() {
    PreviewKey key;
    const auto frame = model_.playheadFrame();
    key.frame = frame ? frame->image.get() : nullptr;
    key.presetID = model_.backgroundChoice().presetID;
    if (const auto& plan = model_.annotationExportPlan(); plan && renderers_.annotations) {
        for (const auto& annotation : plan->timeline.activeAnnotations(model_.playheadTime()))
            key.annotations.push_back(annotation.id);
    }
    // Playback ticks faster than most recordings' frames change; the same picture is not drawn twice.
    if (shownPreview_ == key)
        return;
    shownPreview_ = key;
    ++previewRenders_;
    const Image image = model_.renderedPreviewImage(renderers_.annotations, renderers_.background);
    preview_->setImage(image.isEmpty() ? QImage() : toQImage(image));
}

void GIFPostProcessingWindow::presentCentered(QScreen* screen) {
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 800);
    // The preview gets what the rest leaves, up to the recording's own size.
    const QSize content(static_cast<int>(model_.contentSize().width), static_cast<int>(model_.contentSize().height));
    const int width = std::min(windowWidth, available.width() - 40);
    const int chrome = sizeHint().height() - preview_->sizeHint().height();
    const int previewHeight = std::clamp(content.height() + 2 * 14 + 2 * 76, 260, 420);
    const int height = std::min(chrome + previewHeight, available.height() - 60);
    resize(width, height);
    move(available.center() - QPoint(width / 2, height / 2));
    show();
    raise();
    activateWindow();
    setFocus(Qt::ActiveWindowFocusReason);
    RuntimeLogger::log("gif post-processing window shown frames=" + std::to_string(model_.frames().size()) +
                       " duration=" + formatNumber(model_.duration()) + " frame={" + std::to_string(x()) + ", " +
                       std::to_string(y()) + ", " + std::to_string(width) + ", " + std::to_string(height) + "}");
}

void GIFPostProcessingWindow::dismiss() {
    model_.stopPlayback();
    RecordingEditWindow::dismiss();
}

bool GIFPostProcessingWindow::canExport() const {
    return model_.canExport();
}

void GIFPostProcessingWindow::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Space:
        if (!model_.isExporting())
            model_.togglePlayback();
        return;
    case Qt::Key_Left:
    case Qt::Key_Right:
        if (!model_.isExporting())
            model_.stepPlayhead(event->key() == Qt::Key_Right ? 1 : -1);
        return;
    default:
        RecordingEditWindow::keyPressEvent(event);
    }
}

QString GIFPostProcessingWindow::text(L10nKey key) const {
    return qt(localization_.text(key));
}

QString GIFPostProcessingWindow::styleSheet() const {
    // The timeline's labels, the separators and the round and chip buttons are this window's own.
    return RecordingEditStyle::styleSheet(appearance_, QStringLiteral("gifPostProcessing"), QStringLiteral(R"(
#ROOT QLabel[heading="true"] { color: %6; }
#ROOT QLabel[timestamp="true"] { font-weight: 600; }
#ROOT QWidget[separator="true"] { background: %4; }
#ROOT QToolButton { color: %5; background: transparent; border: none; border-radius: 8px; padding: 4px; }
#ROOT QToolButton:hover { background: %3; }
#ROOT QToolButton[round="true"] { background: %2; border: 1px solid %4; border-radius: 17px;
    min-width: 24px; min-height: 24px; }
#ROOT QToolButton[round="true"]:hover { background: %3; }
#ROOT QToolButton[chip="true"] { border: 1px solid %4; border-radius: 12px; padding: 3px 8px; }
#ROOT QToolButton[chip="true"]:checked { background: %7; color: %8; border: 1px solid %7; }
)"));
}

} // namespace brisklet
