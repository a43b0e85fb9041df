#include "Shell/Editor/EditorToolbar.h"

#include "Shell/QtStrings.h"
#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "Shell/Editor/EditorSecondaryToolbar.h"
#include "Shell/Editor/EditorStylePanel.h"
#include "Shell/ShellIcons.h"
#include "ZelvorApp/Editor/EditorToolbarLayout.h"
#include "ZelvorApp/Editor/ScreenshotEditorModel.h"
#include "ZelvorApp/Hotkeys/HotkeyDesktopText.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

namespace brisklet {

namespace {

constexpr int buttonSide = 30;
constexpr int iconSide = 16;
/// Between the surface's edge and the buttons.
constexpr int barPadding = 5;

QColor mixed(const QColor& a, const QColor& b, double t) {
    return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                            static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                            static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t));
}

using AnnotationPaintStyle::toQColor;

Rect toRect(const QRect& r) {
    return {{static_cast<double>(r.x()), static_cast<double>(r.y())},
            {static_cast<double>(r.width()), static_cast<double>(r.height())}};
}

QRect toQRect(const Rect& r) {
    return QRectF(r.minX(), r.minY(), r.width(), r.height()).toRect();
}

Size toSize(const QSize& s) {
    return {static_cast<double>(s.width()), static_cast<double>(s.height())};
}

QFrame* makeSeparator(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setProperty("separator", true);
    line->setFixedSize(1, 18);
    return line;
}

/// The palette glyph with the selected colour as a small badge, so the colour is always in view.
QIcon styleIcon(const ShellAppearance& appearance, const StoredColor& color) {
    QIcon icon;
    for (const bool on : {false, true}) {
        const QIcon glyph = ShellIcons::ownIcon("paintpalette", on ? appearance.accentText : appearance.text);
        for (const qreal ratio : {1.0, 2.0}) {
            QPixmap pixmap(QSize(iconSide, iconSide) * ratio);
            pixmap.setDevicePixelRatio(ratio);
            pixmap.fill(Qt::transparent);
            QPainter painter(&pixmap);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.drawPixmap(QPointF(0, 0), glyph.pixmap(QSize(iconSide, iconSide), ratio));
            painter.setPen(QPen(on ? appearance.accent : appearance.surface, 1.5));
            painter.setBrush(toQColor(color));
            painter.drawEllipse(QPointF(12.2, 12.2), 3.4, 3.4);
            painter.end();
            icon.addPixmap(pixmap, QIcon::Normal, on ? QIcon::On : QIcon::Off);
        }
    }
    return icon;
}

} // namespace

void EditorToolbarChrome::paintSurface(QPainter& painter, const QRect& surface, const ShellAppearance& appearance) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    // A soft shadow from nested, faint layers, heavier below the bar as if lit from above.
    const QColor shade(0, 0, 0, appearance.dark ? 22 : 11);
    const QRectF base = QRectF(surface).translated(0, 2.5);
    for (int i = 8; i >= 1; --i) {
        QPainterPath layer;
        layer.addRoundedRect(base.adjusted(-i, -i * 0.6, i, i), cornerRadius + i, cornerRadius + i);
        painter.fillPath(layer, shade);
    }
    QPainterPath body;
    body.addRoundedRect(QRectF(surface).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius, cornerRadius);
    painter.fillPath(body, appearance.surface);
    painter.setPen(QPen(appearance.dark ? QColor(255, 255, 255, 30) : QColor(0, 0, 0, 30), 1));
    painter.drawPath(body);
    painter.restore();
}

QString EditorToolbarChrome::styleSheet(const ShellAppearance& a) {
    const QColor pressed = a.dark ? a.hover.lighter(125) : a.hover.darker(108);
    const QColor checkedHover = a.accent.lighter(108);
    // Segments: the chosen one stands raised on a recessed track, quieter than a checked tool.
    const QColor track = a.dark ? a.window : a.hover;
    const QColor raised = a.dark ? QColor(0x4b, 0x50, 0x59) : a.surface;
    const QColor trackHover = a.dark ? a.hover : a.hover.darker(105);
    const QString raisedEdge = a.dark ? QStringLiteral("rgba(255, 255, 255, 22)") : QStringLiteral("rgba(0, 0, 0, 28)");
    return QStringLiteral(R"(
QToolButton { border: none; border-radius: 7px; background: transparent; color: %1; padding: 0px; }
QToolButton:hover { background: %2; }
QToolButton:pressed { background: %3; }
QToolButton:checked { background: %4; color: %5; }
QToolButton:checked:hover { background: %6; }
QToolButton:disabled { background: transparent; color: %7; }
QFrame[separator="true"] { background: %8; border: none; }
QFrame[segments="true"] { background: %9; border-radius: 8px; }
QToolButton[segment="true"] { border: 1px solid transparent; border-radius: 6px; padding: 0px 10px;
    font-size: 12px; color: %1; }
QToolButton[segment="true"]:hover { background: %11; }
QToolButton[segment="true"]:checked { background: %12; color: %1; border: 1px solid %13; }
QLabel { color: %7; background: transparent; font-size: 12px; }
QLabel[value="true"] { color: %1; }
QSlider { background: transparent; }
QSlider::groove:horizontal { height: 4px; background: %8; border-radius: 2px; }
QSlider::sub-page:horizontal { height: 4px; background: %4; border-radius: 2px; }
QSlider::handle:horizontal { width: 14px; height: 14px; margin: -5px 0px; border-radius: 7px;
    background: #ffffff; border: 1px solid %8; }
QComboBox { color: %1; background: %9; border: 1px solid transparent; border-radius: 7px;
    padding: 2px 24px 2px 10px; font-size: 12px; min-width: 24px; }
QComboBox::drop-down { border: none; background: transparent; width: 22px; }
QComboBox::down-arrow { image: none; width: 0px; height: 0px; }
QComboBox:hover { background: %11; }
QComboBox QAbstractItemView { color: %1; background: %10; border: 1px solid %8;
    selection-background-color: %4; selection-color: %5; outline: none; }
)")
        .arg(a.text.name(), a.hover.name(), pressed.name(), a.accent.name(), a.accentText.name(), checkedHover.name(),
             a.secondaryText.name(), a.border.name(), track.name())
        .arg(a.surface.name(), trackHover.name(), raised.name(), raisedEdge);
}

void EditorToolbarChrome::popUpBelow(QWidget& popover, const QRect& anchor, const QRect& bounds) {
    const QSize visible = popover.sizeHint().shrunkBy(shadowMargins());
    const Rect frame = EditorToolbarLayout::popoverFrame(
        {{static_cast<double>(anchor.x()), static_cast<double>(anchor.y())},
         {static_cast<double>(anchor.width()), static_cast<double>(anchor.height())}},
        {{static_cast<double>(bounds.x()), static_cast<double>(bounds.y())},
         {static_cast<double>(bounds.width()), static_cast<double>(bounds.height())}},
        {static_cast<double>(visible.width()), static_cast<double>(visible.height())});
    popover.setGeometry(
        QRectF(frame.minX(), frame.minY(), frame.width(), frame.height()).toRect().marginsAdded(shadowMargins()));
    popover.show();
    popover.raise();
    popover.setFocus(Qt::PopupFocusReason);
}

QIcon EditorToolbarChrome::icon(const std::string& symbol, const ShellAppearance& appearance) {
    const QIcon normal = ShellIcons::ownIcon(symbol, appearance.text);
    const QIcon on = ShellIcons::ownIcon(symbol, appearance.accentText);
    const QIcon disabled = ShellIcons::ownIcon(symbol, mixed(appearance.secondaryText, appearance.surface, 0.45));
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        const QSize size(iconSide, iconSide);
        icon.addPixmap(normal.pixmap(size, ratio), QIcon::Normal, QIcon::Off);
        icon.addPixmap(on.pixmap(size, ratio), QIcon::Normal, QIcon::On);
        icon.addPixmap(disabled.pixmap(size, ratio), QIcon::Disabled, QIcon::Off);
        icon.addPixmap(disabled.pixmap(size, ratio), QIcon::Disabled, QIcon::On);
    }
    return icon;
}

EditorToolbar::EditorToolbar(ScreenshotEditorModel& model, const LocalizationStore& localization, bool dark,
                             EditorToolbarActions actions, QWidget* parent)
    : QWidget(parent), model_(model), localization_(localization),
      appearance_(dark ? ShellAppearance::darkAppearance() : ShellAppearance::light()), actions_(std::move(actions)),
      hotkeys_(std::make_unique<AppPreferences>(AppPreferences::defaults())) {
    setObjectName(QStringLiteral("editorToolbar"));
    setAttribute(Qt::WA_TranslucentBackground);
    if (!parent) {
        setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus);
    }
    // The editor keeps the keyboard: the buttons never take the focus from the picture.
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(EditorToolbarChrome::styleSheet(appearance_));
    build();

    secondary_ = new EditorSecondaryToolbar(model_, localization_, dark, parent);
    secondary_->hide();
    secondary_->onStyleChanged = [this] { modelChanged(); };
    secondary_->onControlsChanged = [this] { relayout(); };

    stylePanel_ = new EditorStylePanel(model_.style(), localization_, dark, parent);
    stylePanel_->hide();
    stylePanel_->setAnchorWidget(styleButton_);
    stylePanel_->setPassThrough({this, secondary_.data()});
    stylePanel_->onColorChanged = [this] {
        updateStyleIcon();
        modelChanged();
    };
    stylePanel_->onClosed = [this] { styleButton_->setChecked(false); };
    retranslate();
    refresh();
}

EditorToolbar::~EditorToolbar() {
    // The siblings belong to the window, but they serve this bar only.
    if (stylePanel_) {
        stylePanel_->onClosed = nullptr;
    }
    delete stylePanel_.data();
    delete secondary_.data();
}

void EditorToolbar::build() {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(EditorToolbarChrome::shadowMargins() +
                               QMargins(barPadding, barPadding, barPadding, barPadding));
    layout->setSpacing(2);
    std::optional<EditorToolbarGroup> group;
    for (const auto& item : EditorToolbarItems::primary()) {
        if (group && *group != item.group) {
            layout->addSpacing(5);
            layout->addWidget(makeSeparator(this));
            layout->addSpacing(5);
        }
        group = item.group;
        QToolButton* button = makeButton(item);
        layout->addWidget(button);
        buttons_.emplace_back(&item, button);
        if (item.command == EditorToolbarCommand::style) {
            styleButton_ = button;
        }
    }
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QToolButton* EditorToolbar::makeButton(const EditorToolbarItem& item) {
    auto* button = new QToolButton(this);
    button->setObjectName(QString::fromLatin1(item.symbol.data(), static_cast<qsizetype>(item.symbol.size())));
    button->setFixedSize(buttonSide, buttonSide);
    button->setIconSize(QSize(iconSide, iconSide));
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoRaise(true);
    button->setCursor(Qt::ArrowCursor);
    button->setIcon(EditorToolbarChrome::icon(std::string(item.symbol), appearance_));
    connect(button, &QToolButton::clicked, this, [this, &item] { trigger(item); });
    return button;
}

EditorSecondaryToolbar* EditorToolbar::secondary() const {
    return secondary_;
}

EditorStylePanel* EditorToolbar::stylePanel() const {
    return stylePanel_;
}

QToolButton* EditorToolbar::button(const EditorToolbarItem& item) const {
    for (const auto& [shown, button] : buttons_) {
        if (shown->command == item.command && shown->tool == item.tool) {
            return button;
        }
    }
    return nullptr;
}

void EditorToolbar::perform(const std::function<void()>& action, const std::function<void()>& fallback) {
    // Save, copy, pin and cancel can close the editor and delete this bar on the way.
    const QPointer<EditorToolbar> self(this);
    if (action) {
        action();
    } else if (fallback) {
        fallback();
        if (self) {
            modelChanged();
        }
    }
    if (self) {
        refresh();
    }
}

void EditorToolbar::trigger(const EditorToolbarItem& item) {
    using Command = EditorToolbarCommand;
    switch (item.command) {
    case Command::tool: {
        const auto next = EditorToolbarItems::toolAfterClick(model_.selectedTool(), *item.tool);
        perform(actions_.selectTool ? std::function<void()>([this, next] { actions_.selectTool(next); })
                                    : std::function<void()>(),
                [this, next] { model_.selectTool(next); });
        return;
    }
    case Command::style:
        toggleStylePanel();
        return;
    case Command::undo:
        perform(actions_.undo, [this] { model_.undoLastCommand(); });
        return;
    case Command::background:
        perform(actions_.toggleBackground, {});
        return;
    case Command::copy:
        perform(actions_.copy, [this] { model_.copy("toolbar"); });
        return;
    case Command::translate:
        perform(actions_.translate, {});
        return;
    case Command::textRecognition:
        perform(actions_.toggleTextRecognition, {});
        return;
    case Command::pin:
        perform(actions_.pin, [this] { model_.pin("toolbar"); });
        return;
    case Command::save:
        perform(actions_.save, [this] { model_.save("toolbar"); });
        return;
    case Command::cancel:
        perform(actions_.cancel, [this] { model_.cancel(); });
        return;
    }
}

void EditorToolbar::refresh() {
    const EditorToolbarState state = model_.toolbarState();
    EditorToolbarContext context = context_;
    context.textRecognitionSelected =
        context.textRecognitionSelected || model_.interactionMode() != EditorInteractionMode::annotation;
    for (const auto& [item, button] : buttons_) {
        const EditorToolbarItemState shown = EditorToolbarItems::itemState(*item, state, context);
        button->setCheckable(shown.checkable || button == styleButton_);
        button->setChecked(button == styleButton_ ? stylePanel_ && stylePanel_->isVisible() : shown.checked);
        button->setEnabled(shown.enabled);
    }
    updateStyleIcon();
    if (stylePanel_ && stylePanel_->isVisible()) {
        stylePanel_->refresh();
    }
    syncSecondary();
}

void EditorToolbar::retranslate() {
    for (const auto& [item, button] : buttons_) {
        button->setToolTip(qt(EditorToolbarItems::tooltip(*item, localization_, *hotkeys_, &HotkeyDesktopText::text)));
        button->setAccessibleName(qt(localization_.text(item->title)));
    }
}

void EditorToolbar::setContext(const EditorToolbarContext& context) {
    context_ = context;
    refresh();
}

void EditorToolbar::setHotkeyPreferences(const AppPreferences& preferences) {
    *hotkeys_ = preferences;
    retranslate();
}

void EditorToolbar::updateStyleIcon() {
    const StoredColor& color = model_.style().options().selectedColor;
    // The window refreshes on every pointer move while drawing; draw the badge only when it changes.
    if (styleButton_ && iconColor_ != color) {
        iconColor_ = color;
        styleButton_->setIcon(styleIcon(appearance_, color));
    }
}

void EditorToolbar::toggleStylePanel() {
    if (!stylePanel_) {
        return;
    }
    if (stylePanel_->isVisible()) {
        stylePanel_->hide();
    } else {
        openStylePanel();
    }
    styleButton_->setChecked(stylePanel_->isVisible());
}

void EditorToolbar::openStylePanel() {
    const QRect anchor = parentWidget() ? QRect(styleButton_->mapTo(parentWidget(), QPoint(0, 0)), styleButton_->size())
                                        : QRect(styleButton_->mapToGlobal(QPoint(0, 0)), styleButton_->size());
    stylePanel_->popUp(anchor);
}

void EditorToolbar::syncSecondary() {
    if (!secondary_) {
        return;
    }
    secondary_->refresh();
    const bool shown = isVisible() && secondary_->hasControls();
    if (shown != secondary_->isVisible()) {
        secondary_->setVisible(shown);
        relayout();
    }
}

void EditorToolbar::place(const QRect& selection, const QRect& bounds) {
    placedSelection_ = selection;
    placedBounds_ = bounds;
    relayout();
}

void EditorToolbar::relayout() {
    if (!placedSelection_) {
        return;
    }
    const bool secondaryShown = secondary_ && secondary_->isVisible();
    const auto frames =
        EditorToolbarLayout::frames(toRect(*placedSelection_), toRect(placedBounds_), toSize(barSize()),
                                    secondaryShown ? std::optional(toSize(secondary_->barSize())) : std::nullopt);
    setGeometry(toQRect(frames.primary).marginsAdded(EditorToolbarChrome::shadowMargins()));
    if (frames.secondary) {
        secondary_->setGeometry(toQRect(*frames.secondary).marginsAdded(EditorToolbarChrome::shadowMargins()));
        secondary_->raise();
    }
    raise();
    if (stylePanel_ && stylePanel_->isVisible()) {
        openStylePanel(); // follows its button
    }
}

void EditorToolbar::modelChanged() {
    if (onModelChanged) {
        onModelChanged();
    }
}

QSize EditorToolbar::sizeHint() const {
    return layout() ? layout()->sizeHint() : QWidget::sizeHint();
}

QSize EditorToolbar::barSize() const {
    return sizeHint().shrunkBy(EditorToolbarChrome::shadowMargins());
}

QRect EditorToolbar::barRect() const {
    return QRect(QPoint(0, 0), size()).marginsRemoved(EditorToolbarChrome::shadowMargins());
}

void EditorToolbar::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    EditorToolbarChrome::paintSurface(painter, barRect(), appearance_);
}

void EditorToolbar::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    syncSecondary();
}

void EditorToolbar::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (secondary_) {
        secondary_->hide();
    }
    if (stylePanel_) {
        stylePanel_->hide();
    }
}

} // namespace brisklet
