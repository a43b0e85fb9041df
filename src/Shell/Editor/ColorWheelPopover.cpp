#include "Shell/Editor/ColorWheelPopover.h"

#include "Shell/QtStrings.h"
#include "Platform/Linux/QtRender/AnnotationPaintStyle.h"
#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Shell/Editor/EditorToolbar.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Editor/BackgroundColorPickerLogic.h"
#include "ZelvorApp/Editor/CircularColorWheel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

using AnnotationPaintStyle::toQColor;

constexpr int wheelSide = 176;
constexpr int swatchSide = 22;
constexpr int panelPadding = 12;

/// Neutral colours first, then the solid colours of the built-in presets and a few clear ones.
std::vector<StoredColor> swatchColors() {
    std::vector<StoredColor> colors{StoredColor::white(), {0.944, 0.95, 0.968, 1}, StoredColor::slate(), {0, 0, 0, 1}};
    for (const BackgroundPreset& preset : BackgroundPreset::all()) {
        if (const auto* solid = std::get_if<BackgroundPreset::Solid>(&preset.style)) {
            colors.push_back(solid->color);
        }
    }
    for (const StoredColor& color : {StoredColor{0.204, 0.471, 0.965, 1}, StoredColor{0.18, 0.69, 0.51, 1},
                                     StoredColor{0.98, 0.78, 0.25, 1}, StoredColor{0.93, 0.36, 0.45, 1}}) {
        colors.push_back(color);
    }
    return colors;
}

/// The hue–saturation wheel: a picture made by `CircularColorWheel`, redrawn when the brightness
/// changes, with a ring where the selection is.
class WheelView final : public QWidget {
public:
    std::function<void(HSBComponents)> onSelect;

    explicit WheelView(QWidget* parent) : QWidget(parent) {
        setFixedSize(wheelSide, wheelSide);
        setCursor(Qt::CrossCursor);
        setFocusPolicy(Qt::NoFocus);
        setObjectName(QStringLiteral("colorWheel"));
    }

    void show(const HSBComponents& hsb) {
        if (!image_.isNull() && std::abs(hsb.brightness - drawnBrightness_) < 1e-6) {
            hsb_ = hsb;
            update();
            return;
        }
        hsb_ = hsb;
        const qreal ratio = devicePixelRatioF();
        const Size pixels{wheelSide * ratio, wheelSide * ratio};
        if (const auto wheel = CircularColorWheel::makeWheelImage(pixels, std::max(hsb.brightness, 0.0))) {
            image_ = toQImage(*wheel);
            image_.setDevicePixelRatio(ratio);
        }
        drawnBrightness_ = hsb.brightness;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.drawImage(QPointF(0, 0), image_);
        const Point marker = CircularColorWheel::markerPosition(hsb_.hue, hsb_.saturation, viewSize());
        painter.setBrush(toQColor(hsb_.color()));
        painter.setPen(QPen(Qt::white, 2.5));
        painter.drawEllipse(QPointF(marker.x, marker.y), 7, 7);
        painter.setPen(QPen(QColor(0, 0, 0, 90), 1));
        painter.setBrush(Qt::NoBrush);
        painter.drawEllipse(QPointF(marker.x, marker.y), 8.5, 8.5);
    }
    void mousePressEvent(QMouseEvent* event) override { pick(event->position()); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (event->buttons() & Qt::LeftButton) {
            pick(event->position());
        }
    }

private:
    Size viewSize() const { return {static_cast<double>(width()), static_cast<double>(height())}; }
    void pick(QPointF position) {
        HSBComponents picked =
            CircularColorWheel::selection({position.x(), position.y()}, viewSize(), hsb_.brightness);
        picked.brightness = hsb_.brightness;
        hsb_ = picked;
        update();
        if (onSelect) {
            onSelect(picked);
        }
    }

    QImage image_;
    HSBComponents hsb_;
    double drawnBrightness_ = -1;
};

/// A small round colour chip.
class Swatch final : public QAbstractButton {
public:
    Swatch(const StoredColor& color, bool dark, QWidget* parent) : QAbstractButton(parent), color_(color), dark_(dark) {
        setFixedSize(swatchSide, swatchSide);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::ArrowCursor);
        setToolTip(qt(BackgroundColorPickerLogic::hexString(color)));
        setAccessibleName(toolTip());
    }
    const StoredColor& color() const { return color_; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(dark_ ? QColor(255, 255, 255, 60) : QColor(0, 0, 0, 45), 1));
        painter.setBrush(toQColor(color_));
        painter.drawEllipse(QRectF(rect()).adjusted(2, 2, -2, -2));
    }

private:
    StoredColor color_;
    bool dark_;
};

} // namespace

ColorWheelPopover::ColorWheelPopover(const LocalizationStore& localization, bool dark, QWidget* parent)
    : QWidget(parent), localization_(localization),
      appearance_(dark ? ShellAppearance::darkAppearance() : ShellAppearance::light()) {
    setObjectName(QStringLiteral("colorWheelPopover"));
    setAttribute(Qt::WA_TranslucentBackground);
    if (!parent) {
        setWindowFlags(Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint);
    }
    setFocusPolicy(Qt::StrongFocus);
    setStyleSheet(EditorToolbarChrome::styleSheet(appearance_) +
                  QStringLiteral("QLineEdit { border: 1px solid %1; border-radius: 6px; padding: 3px 6px; "
                                 "background: %2; color: %3; font-family: monospace; }"
                                 "QLabel#title { color: %3; font-weight: 600; font-size: 13px; }"
                                 "QLabel#hexError { color: #e01b24; font-size: 11px; }")
                      .arg(appearance_.border.name(), appearance_.window.name(), appearance_.text.name()));
    build();
    hide();
}

ColorWheelPopover::~ColorWheelPopover() {
    qApp->removeEventFilter(this);
}

void ColorWheelPopover::build() {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(EditorToolbarChrome::shadowMargins() +
                               QMargins(panelPadding, panelPadding, panelPadding, panelPadding));
    column->setSpacing(8);
    column->setSizeConstraint(QLayout::SetFixedSize);

    auto* titleRow = new QHBoxLayout;
    title_ = new QLabel(qt(localization_.text(L10nKey::backgroundColorPickerTitle)), this);
    title_->setObjectName(QStringLiteral("title"));
    titleRow->addWidget(title_, 1);
    eyedropper_ = new QToolButton(this);
    eyedropper_->setObjectName(QStringLiteral("eyedropper"));
    eyedropper_->setIcon(EditorToolbarChrome::icon("eyedropper", appearance_));
    eyedropper_->setIconSize(QSize(16, 16));
    eyedropper_->setFixedSize(28, 28);
    eyedropper_->setFocusPolicy(Qt::NoFocus);
    eyedropper_->setToolTip(qt(localization_.text(L10nKey::backgroundEyedropper)));
    eyedropper_->setAccessibleName(eyedropper_->toolTip());
    connect(eyedropper_, &QToolButton::clicked, this, [this] {
        hide();
        if (onEyedropper) {
            onEyedropper();
        }
    });
    titleRow->addWidget(eyedropper_);
    column->addLayout(titleRow);

    auto* wheel = new WheelView(this);
    wheel->onSelect = [this](HSBComponents hsb) { select(hsb, wheel_); };
    wheel_ = wheel;
    column->addWidget(wheel_, 0, Qt::AlignHCenter);

    brightness_ = new QSlider(Qt::Horizontal, this);
    brightness_->setObjectName(QStringLiteral("brightness"));
    brightness_->setRange(0, 100);
    brightness_->setFocusPolicy(Qt::NoFocus);
    brightness_->setAccessibleName(qt(localization_.text(L10nKey::backgroundBrightness)));
    brightness_->setToolTip(brightness_->accessibleName());
    connect(brightness_, &QSlider::valueChanged, this, [this](int value) {
        if (updating_) {
            return;
        }
        HSBComponents hsb = hsb_;
        hsb.brightness = value / 100.0;
        select(hsb, brightness_);
    });
    column->addWidget(brightness_);

    auto* hexRow = new QHBoxLayout;
    auto* hexLabel = new QLabel(qt(localization_.text(L10nKey::backgroundHexCode)), this);
    hexRow->addWidget(hexLabel);
    hex_ = new QLineEdit(this);
    hex_->setObjectName(QStringLiteral("hex"));
    hex_->setMaxLength(9);
    hex_->setPlaceholderText(QStringLiteral("#1E90FF"));
    hex_->setAccessibleName(hexLabel->text());
    connect(hex_, &QLineEdit::textEdited, this, [this] { hexEdited(); });
    connect(hex_, &QLineEdit::returnPressed, this, [this] { hexEdited(); });
    hexRow->addWidget(hex_, 1);
    column->addLayout(hexRow);
    hexError_ = new QLabel(qt(localization_.text(L10nKey::backgroundInvalidHex)), this);
    hexError_->setObjectName(QStringLiteral("hexError"));
    hexError_->setWordWrap(true);
    hexError_->setFixedWidth(wheelSide);
    hexError_->hide();
    column->addWidget(hexError_);

    auto* grid = new QGridLayout;
    grid->setSpacing(2);
    const std::vector<StoredColor> colors = swatchColors();
    constexpr int perRow = 8;
    for (std::size_t i = 0; i < colors.size(); ++i) {
        auto* swatch = new Swatch(colors[i], appearance_.dark, this);
        const StoredColor color = colors[i];
        connect(swatch, &QAbstractButton::clicked, this, [this, color] {
            select(BackgroundColorPickerLogic::hsbComponents(color), nullptr);
        });
        grid->addWidget(swatch, static_cast<int>(i) / perRow, static_cast<int>(i) % perRow);
        swatches_.append(swatch);
    }
    column->addLayout(grid);
}

void ColorWheelPopover::setColor(const StoredColor& color) {
    hsb_ = BackgroundColorPickerLogic::hsbComponents(color);
    updating_ = true;
    static_cast<WheelView*>(wheel_)->show(hsb_);
    brightness_->setValue(static_cast<int>(std::lround(hsb_.brightness * 100)));
    hex_->setText(qt(BackgroundColorPickerLogic::hexString(color)));
    hexError_->hide();
    updating_ = false;
}

void ColorWheelPopover::select(const HSBComponents& hsb, QWidget* source) {
    hsb_ = hsb;
    updating_ = true;
    static_cast<WheelView*>(wheel_)->show(hsb_);
    if (source != brightness_) {
        brightness_->setValue(static_cast<int>(std::lround(hsb_.brightness * 100)));
    }
    if (source != hex_) {
        hex_->setText(qt(BackgroundColorPickerLogic::hexString(hsb_.color())));
        hexError_->hide();
    }
    updating_ = false;
    if (onColorChanged) {
        onColorChanged(hsb_.color());
    }
}

void ColorWheelPopover::hexEdited() {
    const auto color = BackgroundColorPickerLogic::colorFromHex(hex_->text().toStdString());
    // A half-typed code is not an error yet; six digits that do not parse are.
    const bool complete = hex_->text().trimmed().remove(QLatin1Char('#')).size() >= 6;
    hexError_->setVisible(!color && complete);
    if (color) {
        select(BackgroundColorPickerLogic::hsbComponents(*color), hex_);
    }
}

void ColorWheelPopover::setTitle(const QString& title) {
    title_->setText(title);
    title_->setVisible(!title.isEmpty());
}

void ColorWheelPopover::setEyedropperAvailable(bool available) {
    eyedropper_->setVisible(available);
}

void ColorWheelPopover::popUp(const QRect& anchor, const StoredColor& color, Placement placement) {
    setColor(color);
    layout()->activate();
    const QSize full = sizeHint();
    const QRect bounds = parentWidget() ? parentWidget()->rect() : QRect(anchor.topLeft(), full * 2);
    if (placement == Placement::below) {
        EditorToolbarChrome::popUpBelow(*this, anchor, bounds);
        return;
    }
    // Beside the anchor, on whichever side has room, top-aligned with it.
    int x = anchor.left() - full.width();
    if (x < bounds.left()) {
        x = anchor.right();
    }
    x = std::clamp(x, bounds.left(), std::max(bounds.left(), bounds.right() - full.width()));
    const int y = std::clamp(anchor.top() - EditorToolbarChrome::shadowMargins().top(), bounds.top(),
                             std::max(bounds.top(), bounds.bottom() - full.height()));
    setGeometry(QRect(QPoint(x, y), full));
    show();
    raise();
    setFocus(Qt::PopupFocusReason);
}

void ColorWheelPopover::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    EditorToolbarChrome::paintSurface(
        painter, QRect(QPoint(0, 0), size()).marginsRemoved(EditorToolbarChrome::shadowMargins()), appearance_);
}

void ColorWheelPopover::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        hide();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ColorWheelPopover::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (parentWidget()) {
        qApp->installEventFilter(this);
    }
}

void ColorWheelPopover::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    qApp->removeEventFilter(this);
    if (onClosed) {
        // A copy runs, so the callback may replace itself.
        const auto closed = onClosed;
        closed();
    }
}

bool ColorWheelPopover::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // A click elsewhere in the editor closes the picker and goes on to what was clicked.
        if (widget && widget->window() == window() && widget != this && !isAncestorOf(widget)) {
            hide();
        }
    }
    return false;
}

} // namespace brisklet
