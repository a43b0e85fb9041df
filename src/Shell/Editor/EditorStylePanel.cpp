#include "Shell/Editor/EditorStylePanel.h"

#include "Shell/QtStrings.h"
#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "Shell/Editor/EditorToolbar.h"
#include "ZelvorApp/Editor/AnnotationColorPalette.h"
#include "ZelvorApp/Editor/AnnotationStyleController.h"
#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QColorDialog>
#include <QConicalGradient>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace brisklet {

namespace {

constexpr int swatchSide = 28;
constexpr int swatchesPerRow = 5;
constexpr int panelPadding = 12;

using AnnotationPaintStyle::toQColor;

StoredColor fromQColor(const QColor& color) {
    const QColor rgb = color.toRgb();
    return {rgb.redF(), rgb.greenF(), rgb.blueF(), 1};
}

bool sameColor(const StoredColor& a, const StoredColor& b) {
    return BackgroundColorPickerLogic::hexString(a) == BackgroundColorPickerLogic::hexString(b);
}

/// A round colour chip; the selected colour gets a ring in the accent colour.
class ColorSwatch final : public QAbstractButton {
public:
    ColorSwatch(const StoredColor& color, const ShellAppearance& appearance, QWidget* parent)
        : QAbstractButton(parent), color_(color), appearance_(appearance) {
        setFixedSize(swatchSide, swatchSide);
        setCheckable(true);
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_Hover);
        setCursor(Qt::ArrowCursor);
        setToolTip(qt(BackgroundColorPickerLogic::hexString(color)));
        setAccessibleName(toolTip());
    }

    const StoredColor& color() const { return color_; }
    QSize sizeHint() const override { return {swatchSide, swatchSide}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QPointF centre = QRectF(rect()).center();
        if (isChecked() || underMouse()) {
            painter.setPen(QPen(isChecked() ? appearance_.accent : appearance_.border, 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(centre, swatchSide / 2.0 - 1.5, swatchSide / 2.0 - 1.5);
        }
        // Every chip keeps a faint edge, so white stays visible on a white panel.
        painter.setPen(QPen(appearance_.dark ? QColor(255, 255, 255, 50) : QColor(0, 0, 0, 40), 1));
        painter.setBrush(toQColor(color_));
        const double radius = swatchSide / 2.0 - (isChecked() ? 5 : 4);
        painter.drawEllipse(centre, radius, radius);
    }

private:
    StoredColor color_;
    const ShellAppearance& appearance_;
};

/// The custom colour button's icon: a small colour wheel.
QIcon spectrumIcon() {
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(QSize(16, 16) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        QConicalGradient wheel(QPointF(8, 8), 90);
        for (int i = 0; i <= 6; ++i) {
            wheel.setColorAt(i / 6.0, QColor::fromHsvF(static_cast<float>((i % 6) / 6.0), 0.85f, 1.0f));
        }
        painter.setPen(Qt::NoPen);
        painter.setBrush(wheel);
        painter.drawEllipse(QPointF(8, 8), 7, 7);
        painter.setBrush(QColor(255, 255, 255, 170));
        painter.drawEllipse(QPointF(8, 8), 2.5, 2.5);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

EditorStylePanel::EditorStylePanel(AnnotationStyleController& style, const LocalizationStore& localization, bool dark,
                                   QWidget* parent)
    : QWidget(parent), style_(style), localization_(localization),
      appearance_(dark ? ShellAppearance::darkAppearance() : ShellAppearance::light()),
      picker_(&EditorStylePanel::pickWithColorDialog) {
    setObjectName(QStringLiteral("editorStylePanel"));
    setAttribute(Qt::WA_TranslucentBackground);
    if (!parent) {
        setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    }
    // Takes the keyboard while open so that Esc closes the panel, not the editor.
    setFocusPolicy(Qt::StrongFocus);
    setStyleSheet(EditorToolbarChrome::styleSheet(appearance_) +
                  QStringLiteral("QToolButton#customColor { padding: 4px 8px; text-align: left; font-size: 13px; }"));
    build();
}

EditorStylePanel::~EditorStylePanel() {
    qApp->removeEventFilter(this);
}

void EditorStylePanel::build() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(EditorToolbarChrome::shadowMargins() +
                               QMargins(panelPadding, panelPadding, panelPadding, panelPadding - 4));
    column->setSpacing(8);
    column->setSizeConstraint(QLayout::SetFixedSize);

    auto* fixedRow = new QHBoxLayout;
    fixedRow->setSpacing(4);
    for (const auto& color : AnnotationColorPalette::fixedColors) {
        QAbstractButton* swatch = makeSwatch(color);
        fixedRow->addWidget(swatch);
        fixed_.append(swatch);
    }
    column->addLayout(fixedRow);

    recentCaption_ = new QLabel(qt(localization_.text(L10nKey::backgroundRecentColors)), this);
    column->addWidget(recentCaption_);
    recentGrid_ = new QGridLayout;
    recentGrid_->setHorizontalSpacing(4);
    recentGrid_->setVerticalSpacing(4);
    recentGrid_->setAlignment(Qt::AlignLeft);
    column->addLayout(recentGrid_);

    auto* line = new QFrame(this);
    line->setProperty("separator", true);
    line->setFixedHeight(1);
    column->addWidget(line);

    custom_ = new QToolButton(this);
    custom_->setObjectName(QStringLiteral("customColor"));
    custom_->setText(qt(localization_.text(L10nKey::toolbarCustomColor)));
    custom_->setIcon(spectrumIcon());
    custom_->setIconSize(QSize(16, 16));
    custom_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    custom_->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    custom_->setFixedHeight(28);
    custom_->setFocusPolicy(Qt::NoFocus);
    connect(custom_, &QToolButton::clicked, this, [this] { pickCustomColor(); });
    column->addWidget(custom_);
    refresh();
}

QAbstractButton* EditorStylePanel::makeSwatch(const StoredColor& color) {
    auto* swatch = new ColorSwatch(color, appearance_, this);
    connect(swatch, &QAbstractButton::clicked, this, [this, color] { choose(color); });
    return swatch;
}

void EditorStylePanel::rebuildRecents() {
    for (QAbstractButton* swatch : recent_) {
        recentGrid_->removeWidget(swatch);
        swatch->hide();
        swatch->deleteLater();
    }
    recent_.clear();
    shownRecents_ = style_.recentColors();
    for (std::size_t i = 0; i < shownRecents_.size(); ++i) {
        QAbstractButton* swatch = makeSwatch(shownRecents_[i]);
        recentGrid_->addWidget(swatch, static_cast<int>(i) / swatchesPerRow, static_cast<int>(i) % swatchesPerRow);
        recent_.append(swatch);
    }
    recentCaption_->setVisible(!recent_.isEmpty());
}

void EditorStylePanel::refresh() {
    if (style_.recentColors() != shownRecents_ || (recent_.isEmpty() && !shownRecents_.empty())) {
        rebuildRecents();
    }
    recentCaption_->setVisible(!recent_.isEmpty());
    const StoredColor& selected = style_.options().selectedColor;
    for (const auto* list : {&fixed_, &recent_}) {
        for (QAbstractButton* swatch : *list) {
            swatch->setChecked(sameColor(static_cast<ColorSwatch*>(swatch)->color(), selected));
        }
    }
    if (layout()) {
        layout()->activate();
    }
}

void EditorStylePanel::setPassThrough(QList<QWidget*> widgets) {
    passThrough_.clear();
    for (QWidget* widget : widgets) {
        passThrough_.append(widget);
    }
}

void EditorStylePanel::choose(const StoredColor& color) {
    style_.selectColor(color);
    refresh();
    if (onColorChanged) {
        onColorChanged();
    }
    hide();
}

void EditorStylePanel::pickCustomColor() {
    hide();
    const QPointer<EditorStylePanel> self(this);
    QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    picker_(
        owner, style_.options().selectedColor,
        [self](const StoredColor& color) {
            if (self) {
                self->style_.previewColor(color);
                if (self->onColorChanged) {
                    self->onColorChanged();
                }
            }
        },
        [self](std::optional<StoredColor> color) {
            if (!self) {
                return;
            }
            if (color) {
                self->style_.selectColor(*color);
            } else {
                self->style_.cancelColorPreview();
            }
            self->refresh();
            if (self->onColorChanged) {
                self->onColorChanged();
            }
        });
}

void EditorStylePanel::pickWithColorDialog(QWidget* owner, const StoredColor& initial,
                                           std::function<void(const StoredColor&)> preview,
                                           std::function<void(std::optional<StoredColor>)> finish) {
    auto* dialog = new QColorDialog(toQColor(initial), owner);
    // Qt's own dialog reports the colour while the user moves through it, for the preview.
    dialog->setOption(QColorDialog::DontUseNativeDialog);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(dialog, &QColorDialog::currentColorChanged, dialog,
                     [preview](const QColor& color) { preview(fromQColor(color)); });
    QObject::connect(dialog, &QDialog::finished, dialog, [dialog, finish](int result) {
        finish(result == QDialog::Accepted ? std::optional(fromQColor(dialog->selectedColor())) : std::nullopt);
    });
    dialog->open();
}

void EditorStylePanel::popUp(const QRect& anchor) {
    refresh();
    const QSize visible = sizeHint().shrunkBy(EditorToolbarChrome::shadowMargins());
    QRect bounds;
    if (parentWidget()) {
        bounds = parentWidget()->rect();
    } else if (const QScreen* screen = QGuiApplication::screenAt(anchor.center())) {
        bounds = screen->availableGeometry();
    } else {
        bounds = QRect(anchor.topLeft() - QPoint(visible.width(), 0), visible * 3);
    }
    EditorToolbarChrome::popUpBelow(*this, anchor, bounds);
}

QSize EditorStylePanel::sizeHint() const {
    return layout() ? layout()->sizeHint() : QWidget::sizeHint();
}

bool EditorStylePanel::isPopupWindow() const {
    return (windowFlags() & Qt::Popup) == Qt::Popup;
}

void EditorStylePanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    EditorToolbarChrome::paintSurface(
        painter, QRect(QPoint(0, 0), size()).marginsRemoved(EditorToolbarChrome::shadowMargins()), appearance_);
}

void EditorStylePanel::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void EditorStylePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!isPopupWindow()) {
        previousFocus_ = QApplication::focusWidget();
        qApp->installEventFilter(this);
    }
}

void EditorStylePanel::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    qApp->removeEventFilter(this);
    if (previousFocus_ && previousFocus_->window() == window()) {
        previousFocus_->setFocus(Qt::PopupFocusReason);
    }
    previousFocus_.clear();
    if (onClosed) {
        onClosed();
    }
}

bool EditorStylePanel::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::MouseButtonPress && event->type() != QEvent::MouseButtonDblClick) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    // Other windows (a colour dialog) and the panel itself keep their clicks.
    if (!widget || widget->window() != window() || widget == this || isAncestorOf(widget)) {
        return false;
    }
    const auto within = [widget](const QWidget* area) {
        return area && (area == widget || area->isAncestorOf(widget));
    };
    if (within(anchor_)) {
        return false;
    }
    bool passes = false;
    for (const auto& area : passThrough_) {
        passes = passes || within(area);
    }
    hide();
    return !passes;
}

} // namespace brisklet
