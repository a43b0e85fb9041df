#include "Shell/Recording/GIFControlBarWindow.h"

#include "Shell/QtDesktopGeometry.h"
#include "Shell/QtStrings.h"
#include "Shell/Recording/RecordingBarStyle.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Recording/GIFAnnotationCanvasModel.h"
#include "ZelvorApp/Recording/RecordingControlTimeFormatter.h"
#include "ZelvorApp/Recording/RecordingOptionsBarLayout.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPainter>
#include <QToolButton>

namespace brisklet {

namespace {

QColor qtColor(const GIFPrototypeColor& c) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green), static_cast<float>(c.blue),
                            static_cast<float>(c.alpha));
}

QIcon swatch(const GIFPrototypeColor& color, const QColor& border) {
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(border, 1));
    painter.setBrush(qtColor(color));
    painter.drawEllipse(QRectF(1.5, 1.5, 13, 13));
    return QIcon(pixmap);
}

} // namespace

GIFControlBarWindow::GIFControlBarWindow(AppModel& model, const LocalizationStore& localization, Actions actions,
                                         GIFAnnotationCanvasModel* canvas, TimeDisplay timeDisplay)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::WindowDoesNotAcceptFocus),
      model_(model), localization_(localization), actions_(std::move(actions)), canvas_(canvas),
      timeDisplay_(timeDisplay), appearance_(ShellAppearance::resolve(model.preferences().visualAppearanceMode)) {
    const bool video = timeDisplay_ == TimeDisplay::videoElapsed;
    setProperty("briskletWindowRole", video ? QStringLiteral("videoControlBar") : QStringLiteral("gifControlBar"));
    setObjectName(QStringLiteral("gifControlBar"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(RecordingBarStyle::styleSheet(appearance_));
    setCursor(Qt::ArrowCursor);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(10, 4, 10, 4);
    row->setSpacing(2);

    auto* dot = new QLabel(this);
    dot->setPixmap(ShellIcons::ownIcon("record.circle", QColor(0xe0, 0x1b, 0x24)).pixmap(16, 16));
    row->addWidget(dot);
    time_ = new QLabel(this);
    time_->setObjectName(QStringLiteral("gifControlTime"));
    QFont mono = time_->font();
    mono.setFamily(QStringLiteral("monospace"));
    mono.setStyleHint(QFont::Monospace);
    time_->setFont(mono);
    const QString widest = video ? QStringLiteral("00:00:00") : QStringLiteral("00:00/00:00");
    time_->setMinimumWidth(QFontMetrics(mono).horizontalAdvance(widest) + 8);
    row->addWidget(time_);

    pauseResume_ = addButton("pause.fill", L10nKey::controlPause, QStringLiteral("gifControlPause"));
    connect(pauseResume_, &QToolButton::clicked, this, [this] {
        const auto& act = showsPaused_ ? actions_.resume : actions_.pause;
        if (act) {
            act();
        }
    });
    auto* stop = addButton("stop.fill", L10nKey::controlStop, QStringLiteral("gifControlStop"));
    connect(stop, &QToolButton::clicked, this, [this] {
        if (actions_.stop) {
            actions_.stop();
        }
    });
    auto* cancel = addButton("xmark", L10nKey::controlCancel, QStringLiteral("gifControlCancel"));
    connect(cancel, &QToolButton::clicked, this, [this] {
        if (actions_.cancel) {
            actions_.cancel();
        }
    });

    if (canvas_) {
        auto* line = new QFrame(this);
        line->setObjectName(QStringLiteral("barSeparator"));
        line->setFixedSize(1, 22);
        row->addSpacing(4);
        row->addWidget(line);
        row->addSpacing(4);
        annotate_ = addButton("pencil.tip", L10nKey::controlAnnotate, QStringLiteral("gifControlAnnotate"));
        annotate_->setCheckable(true);
        connect(annotate_, &QToolButton::clicked, this, [this] { canvas_->toggleAnnotationMode(); });
        addToolButton(GIFPrototypeTool::arrow, "arrow.up.right", L10nKey::toolArrow);
        addToolButton(GIFPrototypeTool::rectangle, "square", L10nKey::editorShapeRectangle);
        addToolButton(GIFPrototypeTool::ellipse, "circle", L10nKey::editorShapeEllipse);
        addToolButton(GIFPrototypeTool::line, "line.diagonal", L10nKey::toolLine);
        addToolButton(GIFPrototypeTool::brush, "paintbrush", L10nKey::toolBrush);
        addToolButton(GIFPrototypeTool::highlighter, "highlighter", L10nKey::toolHighlighter);
        addToolButton(GIFPrototypeTool::redaction, "eye.slash", L10nKey::toolRedaction);
        addToolButton(GIFPrototypeTool::text, "textformat", L10nKey::toolText);
        addToolButton(GIFPrototypeTool::number, "1.circle", L10nKey::toolNumber);
        color_ = addButton("paintpalette", L10nKey::toolColor, QStringLiteral("gifControlColor"));
        color_->setPopupMode(QToolButton::InstantPopup);
        auto* colors = new QMenu(color_);
        for (const GIFPrototypeColor& preset : GIFPrototypeColor::presets()) {
            colors->addAction(swatch(preset, appearance_.border), QString(),
                              [this, preset] { canvas_->chooseColor(preset); });
        }
        color_->setMenu(colors);
        undo_ = addButton("arrow.uturn.backward", L10nKey::toolbarUndo, QStringLiteral("gifControlUndo"));
        connect(undo_, &QToolButton::clicked, this, [this] { canvas_->session().undo(); });
        redo_ = addButton("arrow.uturn.forward", L10nKey::controlRedo, QStringLiteral("gifControlRedo"));
        connect(redo_, &QToolButton::clicked, this, [this] { canvas_->session().redo(); });
    }
    layout()->activate();
    adjustSize();
    observer_ = model_.addObserver([this](const AppModel&) { modelChanged(); });
    modelChanged();
    canvasChanged();
}

GIFControlBarWindow::~GIFControlBarWindow() {
    model_.removeObserver(observer_);
}

QToolButton* GIFControlBarWindow::addButton(const std::string& symbol, L10nKey label, const QString& name) {
    const QString text = qt(localization_.text(label));
    auto* button = RecordingBarStyle::button(this, symbol, text, text, appearance_, false);
    button->setObjectName(name);
    layout()->addWidget(button);
    return button;
}

void GIFControlBarWindow::addToolButton(GIFPrototypeTool tool, const std::string& symbol, L10nKey label) {
    auto* button = addButton(symbol, label, QStringLiteral("gifTool-") + QString::fromUtf8(toString(tool).data()));
    button->setCheckable(true);
    connect(button, &QToolButton::clicked, this, [this, tool] { canvas_->chooseTool(tool); });
    tools_.push_back({tool, button, symbol});
}

void GIFControlBarWindow::placeBeside(const Rect& region, const Rect& screenFrame) {
    adjustSize();
    const Rect bar = RecordingOptionsBarLayout::barRect(region, screenFrame, Size{double(width()), double(height())});
    setGeometry(QtDesktopGeometry::globalRect(bar));
}

std::string GIFControlBarWindow::buttonCentres() const {
    std::string text;
    for (const QToolButton* button : findChildren<QToolButton*>()) {
        const QPoint centre = button->mapToGlobal(button->rect().center());
        const std::string name = button->objectName().toStdString();
        const std::string prefix = "gifControl";
        const std::string shortName = name.rfind(prefix, 0) == 0 ? name.substr(prefix.size()) : name;
        text += (text.empty() ? "" : " ") + shortName + "=" + std::to_string(centre.x()) + "," +
                std::to_string(centre.y());
    }
    return text;
}

QString GIFControlBarWindow::timeText() const {
    return time_->text();
}

void GIFControlBarWindow::modelChanged() {
    const double elapsed = model_.gifRecordingElapsed();
    time_->setText(qt(timeDisplay_ == TimeDisplay::videoElapsed
                          ? RecordingControlTimeFormatter::videoElapsed(elapsed)
                          : RecordingControlTimeFormatter::gifProgress(elapsed, model_.gifRecordingMaxDuration())));
    const bool paused = model_.state() == AppViewState::pausedGif;
    if (paused != showsPaused_ || pauseResume_->toolTip().isEmpty()) {
        showsPaused_ = paused;
        const QString text = qt(localization_.text(paused ? L10nKey::controlResume : L10nKey::controlPause));
        pauseResume_->setIcon(ShellIcons::ownIcon(paused ? "play.fill" : "pause.fill", appearance_.text));
        pauseResume_->setToolTip(text);
        pauseResume_->setAccessibleName(text);
    }
    setEnabled(model_.state() == AppViewState::recordingGif || paused);
}

void GIFControlBarWindow::canvasChanged() {
    if (!canvas_) {
        return;
    }
    const bool drawing = !canvas_->passesInputThrough();
    annotate_->setChecked(drawing);
    annotate_->setIcon(ShellIcons::ownIcon("pencil.tip", drawing ? appearance_.accentText : appearance_.text));
    for (const ToolButton& entry : tools_) {
        const bool on = drawing && canvas_->session().selectedTool() == entry.tool;
        entry.button->setChecked(on);
        entry.button->setIcon(ShellIcons::ownIcon(entry.symbol, on ? appearance_.accentText : appearance_.text));
    }
    undo_->setEnabled(canvas_->session().canUndo());
    redo_->setEnabled(canvas_->session().canRedo());
    color_->setIcon(swatch(canvas_->session().selectedColor(), appearance_.border));
}

void GIFControlBarWindow::paintEvent(QPaintEvent*) {
    RecordingBarStyle::paintPanel(*this, appearance_);
}

} // namespace brisklet
