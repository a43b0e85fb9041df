#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorCore/Models/HSBComponents.h"
#include "ZelvorCore/Models/StoredColor.h"

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QAbstractButton;
class QLabel;
class QLineEdit;
class QSlider;
class QToolButton;

namespace brisklet {

class LocalizationStore;

/// The colour picker of the background panel: a hue–saturation wheel, a brightness slider, a hex
/// code box and a row of swatches. Every change is reported at once, so the canvas follows the
/// pointer; Esc or a click outside closes it.
///
/// A child of the editor window placed next to its anchor, like the style panel.
class ColorWheelPopover final : public QWidget {
public:
    ColorWheelPopover(const LocalizationStore& localization, bool dark, QWidget* parent);
    ~ColorWheelPopover() override;

    /// Beside a row of a side panel, or below a toolbar button (above it without room).
    enum class Placement { beside, below };

    /// Opens next to `anchor` (parent coordinates) with `color` selected.
    void popUp(const QRect& anchor, const StoredColor& color, Placement placement = Placement::beside);
    /// The heading; none hides it.
    void setTitle(const QString& title);
    /// Whether the eyedropper button shows (only backgrounds pick from the screenshot).
    void setEyedropperAvailable(bool available);
    void setColor(const StoredColor& color);
    StoredColor color() const { return hsb_.color(); }
    const HSBComponents& components() const { return hsb_; }

    /// The wheel, the slider and the hex box, for tests and the focus order.
    QWidget* wheel() const { return wheel_; }
    QSlider* brightnessSlider() const { return brightness_; }
    QLineEdit* hexField() const { return hex_; }
    QToolButton* eyedropperButton() const { return eyedropper_; }
    const QList<QAbstractButton*>& swatches() const { return swatches_; }

    /// A colour was chosen (wheel, slider, swatch or a valid hex code).
    std::function<void(const StoredColor&)> onColorChanged;
    /// The user wants to pick the colour from the screenshot; the popover has closed.
    std::function<void()> onEyedropper;
    std::function<void()> onClosed;

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build();
    /// Shows `hsb` everywhere but in the control it came from, and reports the colour.
    void select(const HSBComponents& hsb, QWidget* source);
    void hexEdited();

    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    HSBComponents hsb_{0, 0, 1};
    QWidget* wheel_ = nullptr;
    QSlider* brightness_ = nullptr;
    QLineEdit* hex_ = nullptr;
    QLabel* hexError_ = nullptr;
    QLabel* title_ = nullptr;
    QToolButton* eyedropper_ = nullptr;
    QList<QAbstractButton*> swatches_;
    bool updating_ = false;
};

} // namespace brisklet
