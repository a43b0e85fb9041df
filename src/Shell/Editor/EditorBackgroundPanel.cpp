#include "Shell/Editor/EditorBackgroundPanel.h"

#include "Shell/QtStrings.h"
#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "Shell/Editor/BackgroundPresetChip.h"
#include "Shell/Editor/ColorWheelPopover.h"
#include "Shell/Editor/EditorToolbar.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Background/BackgroundTemplate.h"
#include "ZelvorApp/Editor/EditorBackgroundPanelModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

using AnnotationPaintStyle::toQColor;

constexpr int padding = 12;
constexpr int presetSide = BackgroundPresetChip::side;
constexpr int presetsPerRow = 7;

bool sourceIs(const std::optional<BackgroundComposition>& composition, std::size_t index) {
    return composition && composition->source.value.index() == index;
}

/// A desktop picture's preview; ringed when it is the background.
class WallpaperChip final : public QAbstractButton {
public:
    WallpaperChip(QImage thumbnail, const ShellAppearance& appearance, QWidget* parent)
        : QAbstractButton(parent), thumbnail_(std::move(thumbnail)), appearance_(appearance) {
        setCheckable(true);
        setFixedSize(64, 42);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF inner = QRectF(rect()).adjusted(3, 3, -3, -3);
        QPainterPath clip;
        clip.addRoundedRect(inner, 5, 5);
        painter.save();
        painter.setClipPath(clip);
        if (thumbnail_.isNull()) {
            painter.fillRect(inner, appearance_.hover);
        } else {
            // Fills the chip the way the picture fills a canvas.
            const QSizeF scaled = QSizeF(thumbnail_.size()).scaled(inner.size(), Qt::KeepAspectRatioByExpanding);
            painter.drawImage(QRectF(inner.center() - QPointF(scaled.width() / 2, scaled.height() / 2), scaled),
                              thumbnail_);
        }
        painter.restore();
        if (isChecked()) {
            painter.setPen(QPen(appearance_.accent, 2));
            painter.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 7, 7);
        }
    }

private:
    QImage thumbnail_;
    const ShellAppearance& appearance_;
};

/// The 3 × 3 alignment grid's cells in reading order.
constexpr CanvasAlignment alignmentOrder[] = {
    CanvasAlignment::topLeading,    CanvasAlignment::top,    CanvasAlignment::topTrailing,
    CanvasAlignment::leading,       CanvasAlignment::center, CanvasAlignment::trailing,
    CanvasAlignment::bottomLeading, CanvasAlignment::bottom, CanvasAlignment::bottomTrailing,
};
constexpr L10nKey alignmentKeys[] = {
    L10nKey::backgroundAlignTopLeading,    L10nKey::backgroundAlignTop,    L10nKey::backgroundAlignTopTrailing,
    L10nKey::backgroundAlignLeading,       L10nKey::backgroundAlignCenter, L10nKey::backgroundAlignTrailing,
    L10nKey::backgroundAlignBottomLeading, L10nKey::backgroundAlignBottom, L10nKey::backgroundAlignBottomTrailing,
};

using AspectKind = CanvasAspectPreset::Kind;
constexpr AspectKind aspectOrder[] = {AspectKind::automatic, AspectKind::square, AspectKind::portrait,
                                      AspectKind::landscape, AspectKind::story};
constexpr L10nKey aspectKeys[] = {L10nKey::backgroundAspectAuto, L10nKey::backgroundAspectSquare,
                                  L10nKey::backgroundAspectPortrait, L10nKey::backgroundAspectLandscape,
                                  L10nKey::backgroundAspectStory};

constexpr BackgroundFrameStyle frameOrder[] = {
    BackgroundFrameStyle::none,        BackgroundFrameStyle::browserLight, BackgroundFrameStyle::browserDark,
    BackgroundFrameStyle::iphoneLight, BackgroundFrameStyle::iphoneDark,   BackgroundFrameStyle::macbookLight,
    BackgroundFrameStyle::macbookDark,
};
constexpr L10nKey frameKeys[] = {
    L10nKey::backgroundFrameNone,      L10nKey::backgroundFrameBrowserLight, L10nKey::backgroundFrameBrowserDark,
    L10nKey::backgroundFramePhoneLight, L10nKey::backgroundFramePhoneDark,   L10nKey::backgroundFrameLaptopLight,
    L10nKey::backgroundFrameLaptopDark,
};

constexpr WindowPresentationMode presentationOrder[] = {WindowPresentationMode::transparent,
                                                        WindowPresentationMode::solid,
                                                        WindowPresentationMode::wallpaper};
constexpr L10nKey presentationKeys[] = {L10nKey::backgroundWindowTransparent, L10nKey::backgroundWindowSolid,
                                        L10nKey::backgroundWindowWallpaper};
constexpr BackgroundWindowQuickMode quickOrder[] = {BackgroundWindowQuickMode::clean,
                                                    BackgroundWindowQuickMode::elevated,
                                                    BackgroundWindowQuickMode::showcase};
constexpr L10nKey quickKeys[] = {L10nKey::backgroundQuickClean, L10nKey::backgroundQuickElevated,
                                 L10nKey::backgroundQuickShowcase};

std::optional<std::string> askWithDialog(QWidget* owner, const QString& title, const QString& prompt,
                                         const QString& initial) {
    bool accepted = false;
    const QString name = QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, initial, &accepted);
    return accepted ? std::optional(name.toStdString()) : std::nullopt;
}

std::optional<std::string> chooseWithDialog(QWidget* owner) {
    const QString file = QFileDialog::getOpenFileName(owner, QString(), QString(),
                                                      QStringLiteral("*.png *.jpg *.jpeg *.webp *.bmp *.tif *.tiff"));
    return file.isEmpty() ? std::nullopt : std::optional(file.toStdString());
}

} // namespace

EditorBackgroundPanel::EditorBackgroundPanel(EditorBackgroundPanelModel& model, const LocalizationStore& localization,
                                             bool dark, QWidget* parent)
    : QWidget(parent), model_(model), localization_(localization),
      appearance_(dark ? ShellAppearance::darkAppearance() : ShellAppearance::light()), namePrompt_(&askWithDialog),
      imageChooser_(&chooseWithDialog) {
    setObjectName(QStringLiteral("editorBackgroundPanel"));
    setAttribute(Qt::WA_TranslucentBackground);
    if (!parent) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    }
    setStyleSheet(EditorToolbarChrome::styleSheet(appearance_) +
                  QStringLiteral("QScrollArea, QScrollArea > QWidget > QWidget { background: transparent; border: none; }"
                                 "QLabel[title=\"true\"] { color: %1; font-weight: 600; font-size: 12px; }"
                                 "QLabel#panelTitle { color: %1; font-weight: 700; font-size: 14px; }"
                                 "QToolButton[wide=\"true\"] { padding: 3px 8px; font-size: 12px; background: %2; }"
                                 "QToolButton[wide=\"true\"]:hover { background: %3; }"
                                 "QToolButton[wide=\"true\"]:checked { background: %4; color: %5; }"
                                 "QScrollBar:vertical { width: 6px; background: transparent; }"
                                 "QScrollBar::handle:vertical { background: %6; border-radius: 3px; min-height: 24px; }"
                                 "QScrollBar::add-line, QScrollBar::sub-line { height: 0px; }")
                      .arg(appearance_.text.name(), appearance_.dark ? appearance_.window.name() : appearance_.hover.name(),
                           appearance_.dark ? appearance_.hover.name() : appearance_.hover.darker(106).name(),
                           appearance_.accent.name(), appearance_.accentText.name(), appearance_.border.name()));
    build();
    popover_ = new ColorWheelPopover(localization_, dark, parent);
    popover_->onColorChanged = [this](const StoredColor& color) { model_.applySolidColor(color); };
    popover_->onEyedropper = [this] {
        if (onEyedropper) {
            onEyedropper();
        }
    };
    refresh();
}

EditorBackgroundPanel::~EditorBackgroundPanel() = default;

std::string EditorBackgroundPanel::text(L10nKey key) const {
    return localization_.text(key);
}

QToolButton* EditorBackgroundPanel::textButton(const QString& label, QWidget* parent, bool segment) {
    auto* button = new QToolButton(parent);
    button->setText(label);
    button->setCheckable(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setProperty(segment ? "segment" : "wide", true);
    button->setFixedHeight(26);
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    return button;
}

QToolButton* EditorBackgroundPanel::iconButton(const std::string& symbol, const QString& tooltip, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setIcon(EditorToolbarChrome::icon(symbol, appearance_));
    button->setIconSize(QSize(16, 16));
    button->setFixedSize(28, 28);
    button->setFocusPolicy(Qt::NoFocus);
    button->setToolTip(tooltip);
    button->setAccessibleName(tooltip);
    return button;
}

void EditorBackgroundPanel::build() {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(EditorToolbarChrome::shadowMargins() + QMargins(4, padding, 4, padding));
    outer->setSpacing(6);

    auto* header = new QHBoxLayout;
    header->setContentsMargins(padding - 4, 0, padding - 4, 0);
    auto* title = new QLabel(qt(text(L10nKey::backgroundPanelTitle)), this);
    title->setObjectName(QStringLiteral("panelTitle"));
    header->addWidget(title, 1);
    QToolButton* off = iconButton("xmark", qt(text(L10nKey::backgroundTurnOff)), this);
    off->setObjectName(QStringLiteral("backgroundOff"));
    connect(off, &QToolButton::clicked, this, [this] { model_.turnOff(); });
    header->addWidget(off);
    outer->addLayout(header);

    scroll_ = new QScrollArea(this);
    scroll_->setFrameShape(QFrame::NoFrame);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setWidgetResizable(true);
    content_ = new QWidget(scroll_);
    auto* column = new QVBoxLayout(content_);
    column->setContentsMargins(padding - 4, 0, padding - 4, 0);
    column->setSpacing(10);
    buildSources(column);
    buildCanvas(column);
    buildImageAdjustments(column);
    buildLooks(column);
    buildSavedPresets(column);
    column->addStretch(1);
    scroll_->setWidget(content_);
    outer->addWidget(scroll_, 1);
    setFixedWidth(panelWidth + EditorToolbarChrome::shadowMargins().left() + EditorToolbarChrome::shadowMargins().right());
}

QVBoxLayout* EditorBackgroundPanel::section(QVBoxLayout* column, L10nKey title) {
    auto* label = new QLabel(qt(text(title)), content_);
    label->setProperty("title", true);
    column->addWidget(label);
    auto* body = new QVBoxLayout;
    body->setSpacing(6);
    column->addLayout(body);
    return body;
}

void EditorBackgroundPanel::buildSources(QVBoxLayout* column) {
    QVBoxLayout* body = section(column, L10nKey::backgroundSourcePresets);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    const auto& all = BackgroundPreset::all();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const BackgroundPreset& preset = all[i];
        auto* chip = new BackgroundPresetChip(preset.style, appearance_, content_);
        chip->setToolTip(qt(preset.nameKey ? text(*preset.nameKey) : preset.name));
        chip->setAccessibleName(chip->toolTip());
        chip->setProperty("presetID", qt(preset.id));
        const std::string id = preset.id;
        connect(chip, &QAbstractButton::clicked, this, [this, id] { model_.applyPreset(id); });
        grid->addWidget(chip, static_cast<int>(i) / presetsPerRow, static_cast<int>(i) % presetsPerRow);
        presets_.append(chip);
    }
    // The random gradient is the last cell: a shuffle button that makes a new one each click.
    QToolButton* random = iconButton("shuffle", qt(text(L10nKey::backgroundRandomGradient)), content_);
    random->setObjectName(QStringLiteral("randomGradient"));
    random->setFixedSize(presetSide, presetSide);
    connect(random, &QToolButton::clicked, this,
            [this] { model_.applyRandomGradient(QRandomGenerator::global()->generate64()); });
    grid->addWidget(random, static_cast<int>(all.size()) / presetsPerRow, static_cast<int>(all.size()) % presetsPerRow);
    body->addLayout(grid);

    auto* sources = new QGridLayout;
    sources->setSpacing(4);
    solid_ = textButton(qt(text(L10nKey::backgroundSourceSolidColor)), content_, false);
    solid_->setObjectName(QStringLiteral("solidColor"));
    solid_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(solid_, &QToolButton::clicked, this, [this] { openColorPopover(); });
    image_ = textButton(qt(text(L10nKey::backgroundChooseImage)), content_, false);
    image_->setObjectName(QStringLiteral("customImage"));
    connect(image_, &QToolButton::clicked, this, [this] { chooseImage(); });
    wallpaper_ = textButton(qt(text(L10nKey::backgroundCurrentWallpaper)), content_, false);
    wallpaper_->setObjectName(QStringLiteral("desktopWallpaper"));
    connect(wallpaper_, &QToolButton::clicked, this, [this] { model_.applyDesktopWallpaper(); });
    transparent_ = textButton(qt(text(L10nKey::backgroundSourceTransparent)), content_, false);
    transparent_->setObjectName(QStringLiteral("transparent"));
    connect(transparent_, &QToolButton::clicked, this, [this] { model_.applyTransparent(); });
    sources->addWidget(solid_, 0, 0);
    sources->addWidget(image_, 0, 1);
    sources->addWidget(wallpaper_, 1, 0);
    sources->addWidget(transparent_, 1, 1);
    body->addLayout(sources);

    auto* wallpapers = new QLabel(qt(text(L10nKey::backgroundSystemWallpapers)), content_);
    body->addWidget(wallpapers);
    wallpaperGrid_ = new QGridLayout;
    wallpaperGrid_->setSpacing(2);
    wallpaperGrid_->setAlignment(Qt::AlignLeft);
    body->addLayout(wallpaperGrid_);
    noWallpapers_ = new QLabel(qt(text(L10nKey::backgroundNoWallpapers)), content_);
    noWallpapers_->setWordWrap(true);
    body->addWidget(noWallpapers_);
}

QSlider* EditorBackgroundPanel::slider(QVBoxLayout* column, L10nKey title, int minimum, int maximum,
                                       std::function<void(int)> changed, QLabel** valueLabel) {
    auto* row = new QHBoxLayout;
    auto* label = new QLabel(qt(text(title)), content_);
    label->setFixedWidth(92);
    row->addWidget(label);
    auto* control = new QSlider(Qt::Horizontal, content_);
    control->setRange(minimum, maximum);
    control->setFocusPolicy(Qt::NoFocus);
    control->setAccessibleName(label->text());
    row->addWidget(control, 1);
    auto* value = new QLabel(content_);
    value->setProperty("value", true);
    value->setFixedWidth(34);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(value);
    *valueLabel = value;
    connect(control, &QSlider::valueChanged, this, [this, changed](int v) {
        if (!refreshing()) {
            changed(v);
        }
    });
    column->addLayout(row);
    return control;
}

void EditorBackgroundPanel::buildCanvas(QVBoxLayout* column) {
    QVBoxLayout* aspect = section(column, L10nKey::backgroundAspect);
    auto* track = new QFrame(content_);
    track->setProperty("segments", true);
    auto* segments = new QHBoxLayout(track);
    segments->setContentsMargins(2, 2, 2, 2);
    segments->setSpacing(2);
    for (std::size_t i = 0; i < std::size(aspectOrder); ++i) {
        const CanvasAspectPreset preset{aspectOrder[i]};
        QToolButton* button = textButton(qt(i == 0 ? text(L10nKey::backgroundAspectAuto) : preset.displayName()), track, true);
        button->setToolTip(qt(text(aspectKeys[i])));
        button->setAccessibleName(button->toolTip());
        button->setFixedHeight(24);
        button->setMinimumWidth(10);
        connect(button, &QToolButton::clicked, this, [this, preset] { model_.applyAspect(preset); });
        segments->addWidget(button);
        aspects_.append(button);
    }
    aspect->addWidget(track);

    auto* row = new QHBoxLayout;
    row->setSpacing(12);
    auto* alignColumn = new QVBoxLayout;
    auto* alignLabel = new QLabel(qt(text(L10nKey::backgroundAlignment)), content_);
    alignLabel->setProperty("title", true);
    alignColumn->addWidget(alignLabel);
    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    for (std::size_t i = 0; i < std::size(alignmentOrder); ++i) {
        auto* cell = new QToolButton(content_);
        cell->setCheckable(true);
        cell->setFixedSize(22, 22);
        cell->setFocusPolicy(Qt::NoFocus);
        cell->setText(QStringLiteral("•"));
        cell->setToolTip(qt(text(alignmentKeys[i])));
        cell->setAccessibleName(cell->toolTip());
        const CanvasAlignment alignment = alignmentOrder[i];
        connect(cell, &QToolButton::clicked, this, [this, alignment] { model_.applyAlignment(alignment); });
        grid->addWidget(cell, static_cast<int>(i) / 3, static_cast<int>(i) % 3);
        alignments_.append(cell);
    }
    alignColumn->addLayout(grid);
    alignColumn->addStretch(1);
    row->addLayout(alignColumn);

    auto* frameColumn = new QVBoxLayout;
    auto* frameLabel = new QLabel(qt(text(L10nKey::backgroundFrame)), content_);
    frameLabel->setProperty("title", true);
    frameColumn->addWidget(frameLabel);
    frame_ = new QComboBox(content_);
    frame_->setFocusPolicy(Qt::NoFocus);
    for (const L10nKey key : frameKeys) {
        frame_->addItem(qt(text(key)));
    }
    connect(frame_, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (!refreshing() && index >= 0 && index < static_cast<int>(std::size(frameOrder))) {
            model_.applyFrame(frameOrder[index]);
        }
    });
    frameColumn->addWidget(frame_);
    auto* reset = textButton(qt(text(L10nKey::backgroundResetPosition)), content_, false);
    reset->setCheckable(false);
    reset->setToolTip(qt(text(L10nKey::backgroundDragToReposition)));
    connect(reset, &QToolButton::clicked, this, [this] { model_.resetPosition(); });
    frameColumn->addWidget(reset);
    auto* balanced = textButton(qt(text(L10nKey::backgroundBalancedLayout)), content_, false);
    balanced->setCheckable(false);
    connect(balanced, &QToolButton::clicked, this, [this] { model_.applyBalancedLayout(); });
    frameColumn->addWidget(balanced);
    frameColumn->addStretch(1);
    row->addLayout(frameColumn, 1);
    column->addLayout(row);

    using Model = EditorBackgroundPanelModel;
    padding_ = slider(column, L10nKey::backgroundPadding, int(Model::paddingRange.minimum), int(Model::paddingRange.maximum),
                      [this](int v) { model_.setPadding(v); }, &paddingValue_);
    shadow_ = slider(column, L10nKey::backgroundShadow, int(Model::shadowRange.minimum), int(Model::shadowRange.maximum),
                     [this](int v) { model_.setShadowStrength(v); }, &shadowValue_);
    corner_ = slider(column, L10nKey::backgroundCornerRadius, int(Model::cornerRadiusRange.minimum),
                     int(Model::cornerRadiusRange.maximum), [this](int v) { model_.setCornerRadius(v); }, &cornerValue_);
}

void EditorBackgroundPanel::buildImageAdjustments(QVBoxLayout* column) {
    adjustments_ = new QWidget(content_);
    auto* inner = new QVBoxLayout(adjustments_);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(6);
    auto* label = new QLabel(qt(text(L10nKey::backgroundImageAdjustments)), adjustments_);
    label->setProperty("title", true);
    inner->addWidget(label);
    using Model = EditorBackgroundPanelModel;
    QWidget* saved = content_;
    // The sliders belong to the adjustments box, so it hides them all at once.
    content_ = adjustments_;
    brightness_ = slider(inner, L10nKey::backgroundBrightness, int(Model::brightnessRange.minimum * 100),
                         int(Model::brightnessRange.maximum * 100), [this](int v) { model_.setImageBrightness(v / 100.0); },
                         &brightnessValue_);
    blur_ = slider(inner, L10nKey::backgroundBlur, int(Model::blurRange.minimum), int(Model::blurRange.maximum),
                   [this](int v) { model_.setImageBlur(v); }, &blurValue_);
    zoom_ = slider(inner, L10nKey::backgroundZoom, int(Model::zoomRange.minimum * 100), int(Model::zoomRange.maximum * 100),
                   [this](int v) { model_.setImageZoom(v / 100.0); }, &zoomValue_);
    auto* reset = textButton(qt(text(L10nKey::backgroundResetAdjustments)), adjustments_, false);
    reset->setCheckable(false);
    connect(reset, &QToolButton::clicked, this, [this] { model_.resetImageAdjustment(); });
    inner->addWidget(reset);
    content_ = saved;
    column->addWidget(adjustments_);
}

void EditorBackgroundPanel::buildLooks(QVBoxLayout* column) {
    QVBoxLayout* templates = section(column, L10nKey::backgroundTemplates);
    auto* grid = new QGridLayout;
    grid->setSpacing(4);
    const auto& all = BackgroundTemplate::all();
    for (std::size_t i = 0; i < all.size(); ++i) {
        const BackgroundTemplate& item = all[i];
        QToolButton* button = textButton(qt(text(item.titleKey)), content_, false);
        button->setToolTip(qt(item.aspectPreset.displayName()));
        const BackgroundTemplatePreset id = item.id;
        connect(button, &QToolButton::clicked, this, [this, id] { model_.applyTemplate(id); });
        grid->addWidget(button, static_cast<int>(i) / 2, static_cast<int>(i) % 2);
        templates_.append(button);
    }
    templates->addLayout(grid);

    QVBoxLayout* window = section(column, L10nKey::backgroundWindowSection);
    const auto row = [this, window](const auto& order, const L10nKey* keys, QList<QAbstractButton*>& list, auto apply) {
        auto* track = new QFrame(content_);
        track->setProperty("segments", true);
        auto* segments = new QHBoxLayout(track);
        segments->setContentsMargins(2, 2, 2, 2);
        segments->setSpacing(2);
        for (std::size_t i = 0; i < std::size(order); ++i) {
            QToolButton* button = textButton(qt(text(keys[i])), track, true);
            button->setFixedHeight(24);
            button->setMinimumWidth(10);
            const auto mode = order[i];
            connect(button, &QToolButton::clicked, this, [apply, mode] { apply(mode); });
            segments->addWidget(button);
            list.append(button);
        }
        window->addWidget(track);
    };
    row(presentationOrder, presentationKeys, presentations_,
        [this](WindowPresentationMode mode) { model_.applyPresentation(mode); });
    row(quickOrder, quickKeys, quickModes_, [this](BackgroundWindowQuickMode mode) { model_.applyQuickMode(mode); });
}

void EditorBackgroundPanel::buildSavedPresets(QVBoxLayout* column) {
    QVBoxLayout* body = section(column, L10nKey::backgroundSavedPresets);
    savedList_ = new QVBoxLayout;
    savedList_->setSpacing(2);
    body->addLayout(savedList_);
    noSaved_ = new QLabel(qt(text(L10nKey::backgroundNoSavedPresets)), content_);
    noSaved_->setWordWrap(true);
    body->addWidget(noSaved_);
    savePreset_ = textButton(qt(text(L10nKey::backgroundSavePreset)), content_, false);
    savePreset_->setObjectName(QStringLiteral("savePreset"));
    savePreset_->setCheckable(false);
    savePreset_->setIcon(EditorToolbarChrome::icon("plus", appearance_));
    savePreset_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    connect(savePreset_, &QToolButton::clicked, this, [this] { savePreset(); });
    body->addWidget(savePreset_);
}

void EditorBackgroundPanel::rebuildSavedPresets() {
    while (QLayoutItem* item = savedList_->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    shownSaved_ = model_.savedPresets();
    shownDefault_ = model_.defaultPresetID();
    shownSelected_ = model_.selectedSavedPresetID();
    for (const SavedBackgroundPreset& preset : shownSaved_) {
        auto* rowWidget = new QWidget(content_);
        auto* row = new QHBoxLayout(rowWidget);
        row->setContentsMargins(0, 0, 0, 0);
        row->setSpacing(2);
        const bool isDefault = shownDefault_ == preset.id;
        QString label = qt(preset.name);
        if (isDefault) {
            label += QStringLiteral("  · ") + qt(text(L10nKey::backgroundDefaultBadge));
        }
        QToolButton* apply = textButton(label, rowWidget, false);
        apply->setChecked(shownSelected_ == preset.id);
        apply->setProperty("savedPresetID", qt(preset.id));
        const std::string id = preset.id;
        const std::string name = preset.name;
        connect(apply, &QToolButton::clicked, this, [this, id] { model_.applySaved(id); });
        row->addWidget(apply, 1);
        QToolButton* star = iconButton(isDefault ? "star.fill" : "star",
                                       qt(text(isDefault ? L10nKey::backgroundClearDefaultPreset
                                                         : L10nKey::backgroundSetDefaultPreset)),
                                       rowWidget);
        connect(star, &QToolButton::clicked, this, [this, id, isDefault] {
            model_.makeDefault(isDefault ? std::nullopt : std::optional(id));
        });
        row->addWidget(star);
        QToolButton* rename = iconButton("pencil.tip", qt(text(L10nKey::backgroundRenamePreset)), rowWidget);
        connect(rename, &QToolButton::clicked, this, [this, id, name] { renamePreset(id, name); });
        row->addWidget(rename);
        QToolButton* remove = iconButton("trash", qt(text(L10nKey::backgroundDeletePreset)), rowWidget);
        connect(remove, &QToolButton::clicked, this, [this, id] { model_.deleteSaved(id); });
        row->addWidget(remove);
        savedList_->addWidget(rowWidget);
    }
    noSaved_->setVisible(shownSaved_.empty());
}

void EditorBackgroundPanel::setWallpapers(std::vector<Wallpaper> wallpapers) {
    wallpapers_ = std::move(wallpapers);
    rebuildWallpapers();
    refresh();
}

void EditorBackgroundPanel::rebuildWallpapers() {
    while (QLayoutItem* item = wallpaperGrid_->takeAt(0)) {
        if (QWidget* widget = item->widget()) {
            widget->hide();
            widget->deleteLater();
        }
        delete item;
    }
    for (std::size_t i = 0; i < wallpapers_.size(); ++i) {
        auto* chip = new WallpaperChip(wallpapers_[i].thumbnail, appearance_, content_);
        chip->setToolTip(qt(wallpapers_[i].name));
        chip->setAccessibleName(chip->toolTip());
        chip->setProperty("wallpaperPath", qt(wallpapers_[i].path));
        const std::string path = wallpapers_[i].path;
        connect(chip, &QAbstractButton::clicked, this, [this, path] { model_.applyCustomImage(path); });
        wallpaperGrid_->addWidget(chip, static_cast<int>(i) / 4, static_cast<int>(i) % 4);
    }
    noWallpapers_->setVisible(wallpapers_.empty());
}

void EditorBackgroundPanel::refresh() {
    refreshing_ = true;
    const auto& composition = model_.composition();
    const auto* preset = composition ? std::get_if<BackgroundSource::Preset>(&composition->source.value) : nullptr;
    for (QAbstractButton* chip : presets_) {
        chip->setChecked(preset && chip->property("presetID").toString().toStdString() == preset->id);
    }
    const auto* custom = composition ? std::get_if<BackgroundSource::CustomImage>(&composition->source.value) : nullptr;
    for (int i = 0; i < wallpaperGrid_->count(); ++i) {
        if (auto* chip = qobject_cast<QAbstractButton*>(wallpaperGrid_->itemAt(i)->widget())) {
            chip->setChecked(custom && chip->property("wallpaperPath").toString().toStdString() == custom->path);
        }
    }
    solid_->setChecked(sourceIs(composition, 2));
    image_->setChecked(custom != nullptr);
    wallpaper_->setChecked(sourceIs(composition, 4));
    transparent_->setChecked(sourceIs(composition, 3));
    // The solid colour button shows the colour it would edit.
    QPixmap dot(QSize(12, 12) * devicePixelRatioF());
    dot.setDevicePixelRatio(devicePixelRatioF());
    dot.fill(Qt::transparent);
    {
        QPainter painter(&dot);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0, 0, 0, 60), 1));
        painter.setBrush(toQColor(model_.solidColor().value_or(StoredColor{0.944, 0.95, 0.968, 1})));
        painter.drawEllipse(QRectF(0.5, 0.5, 11, 11));
    }
    solid_->setIcon(QIcon(dot));

    const BackgroundComposition shown = composition.value_or(BackgroundComposition{});
    for (std::size_t i = 0; i < std::size(aspectOrder); ++i) {
        aspects_[static_cast<int>(i)]->setChecked(composition && shown.aspectPreset.kind == aspectOrder[i]);
    }
    for (std::size_t i = 0; i < std::size(alignmentOrder); ++i) {
        alignments_[static_cast<int>(i)]->setChecked(composition && shown.alignment == alignmentOrder[i]);
    }
    const auto frameIndex = std::find(std::begin(frameOrder), std::end(frameOrder), shown.frameStyle) - std::begin(frameOrder);
    frame_->setCurrentIndex(static_cast<int>(frameIndex));
    padding_->setValue(static_cast<int>(std::lround(shown.padding)));
    paddingValue_->setText(QString::number(padding_->value()));
    shadow_->setValue(static_cast<int>(std::lround(shown.shadowStrength)));
    shadowValue_->setText(QString::number(shadow_->value()));
    corner_->setValue(static_cast<int>(std::lround(shown.cornerRadius)));
    cornerValue_->setText(QString::number(corner_->value()));
    brightness_->setValue(static_cast<int>(std::lround(shown.imageAdjustment.brightness * 100)));
    brightnessValue_->setText(QString::number(shown.imageAdjustment.brightness, 'f', 2));
    blur_->setValue(static_cast<int>(std::lround(shown.imageAdjustment.blurRadius)));
    blurValue_->setText(QString::number(blur_->value()));
    zoom_->setValue(static_cast<int>(std::lround(shown.imageAdjustment.scale * 100)));
    zoomValue_->setText(QString::number(shown.imageAdjustment.scale, 'f', 2));
    adjustments_->setVisible(model_.adjustsImage());

    for (std::size_t i = 0; i < BackgroundTemplate::all().size(); ++i) {
        templates_[static_cast<int>(i)]->setChecked(composition && shown.appliedTemplateID == BackgroundTemplate::all()[i].id);
    }
    const auto quick = model_.highlightedQuickMode();
    for (std::size_t i = 0; i < std::size(quickOrder); ++i) {
        quickModes_[static_cast<int>(i)]->setChecked(quick == quickOrder[i]);
    }
    for (QAbstractButton* button : presentations_) {
        button->setChecked(false);
    }
    if (model_.savedPresets() != shownSaved_ || model_.defaultPresetID() != shownDefault_ ||
        model_.selectedSavedPresetID() != shownSelected_ || (savedList_->count() == 0 && !shownSaved_.empty())) {
        rebuildSavedPresets();
    }
    noSaved_->setVisible(model_.savedPresets().empty());
    savePreset_->setEnabled(model_.isOn());
    refreshing_ = false;
    setMaximumPanelHeight(maximumHeight_);
}

void EditorBackgroundPanel::setMaximumPanelHeight(int height) {
    maximumHeight_ = height;
    content_->adjustSize();
    const QMargins margins = layout()->contentsMargins();
    const int header = 34;
    const int wanted = content_->sizeHint().height() + margins.top() + margins.bottom() + header;
    const int chosen = std::min(wanted, std::max(height, 160));
    if (this->height() != chosen) {
        resize(width(), chosen);
    }
}

QSize EditorBackgroundPanel::sizeHint() const {
    return {width(), height()};
}

void EditorBackgroundPanel::openColorPopover() {
    if (popover_->isVisible()) {
        popover_->hide();
        return;
    }
    // Choosing the solid colour button already shows a solid colour; the wheel then edits it.
    if (!model_.solidColor()) {
        model_.applySolidColor({0.944, 0.95, 0.968, 1});
    }
    const QPoint topLeft = mapTo(parentWidget() ? parentWidget() : this, QPoint(0, 0));
    const QRect anchor(topLeft + QPoint(EditorToolbarChrome::shadowMargins().left(), solid_->mapTo(this, QPoint(0, 0)).y()),
                       QSize(width() - EditorToolbarChrome::shadowMargins().left() - EditorToolbarChrome::shadowMargins().right(),
                             solid_->height()));
    popover_->popUp(anchor, *model_.solidColor());
}

void EditorBackgroundPanel::chooseImage() {
    if (!imageChooser_) {
        return;
    }
    if (const auto path = imageChooser_(window())) {
        model_.applyCustomImage(*path);
    } else {
        refresh();
    }
}

void EditorBackgroundPanel::savePreset() {
    if (!namePrompt_ || !model_.isOn()) {
        return;
    }
    const auto name = namePrompt_(window(), qt(text(L10nKey::backgroundSavePresetTitle)),
                                  qt(text(L10nKey::backgroundPresetNamePrompt)), QString());
    if (name) {
        model_.saveCurrent(*name);
    }
}

void EditorBackgroundPanel::renamePreset(const std::string& id, const std::string& name) {
    if (!namePrompt_) {
        return;
    }
    const auto typed = namePrompt_(window(), qt(text(L10nKey::backgroundRenamePresetTitle)),
                                   qt(text(L10nKey::backgroundPresetNamePrompt)), qt(name));
    if (typed && !model_.renameSaved(id, *typed)) {
        QApplication::beep();
    }
}

void EditorBackgroundPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    EditorToolbarChrome::paintSurface(
        painter, QRect(QPoint(0, 0), size()).marginsRemoved(EditorToolbarChrome::shadowMargins()), appearance_);
}

} // namespace brisklet
