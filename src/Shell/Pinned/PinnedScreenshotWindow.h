#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Control/PinnedScreenshotViewModel.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

class QSlider;
class QToolButton;

namespace brisklet {

class LocalizationStore;

/// A screenshot floating above every window: frameless, on top, out of the taskbar. It is
/// dragged anywhere, zoomed with the wheel around its centre, made translucent, and closed by a
/// double-click, its menu, its close button or the Escape hotkey. The rules live in
/// `PinnedScreenshotViewModel`.
class PinnedScreenshotWindow final : public QWidget {
public:
    struct Callbacks {
        std::function<void(const QImage&)> copy;
        /// Annotate from the menu; the owner hides the pin while the editor has it.
        std::function<void(const QImage&)> annotate;
        std::function<void(const QImage&)> save;
        /// The window was pressed: it becomes the one Escape closes.
        std::function<void()> selected;
        /// The window has closed and may be deleted.
        std::function<void()> closed;
    };

    /// `frame` is where the picture first stands, in global Qt coordinates.
    PinnedScreenshotWindow(QImage image, const QRect& frame, const AppPreferences& preferences,
                           const LocalizationStore& localization);
    void setCallbacks(Callbacks callbacks) { callbacks_ = std::move(callbacks); }
    const Callbacks& callbacks() const { return callbacks_; }

    const PinnedScreenshotViewModel& model() const { return model_; }
    const QImage& image() const { return image_; }
    void closePin(const char* reason);
    /// An edited version takes the pin's place: `pointSize` at scale 1, around the same centre.
    void replaceImage(QImage image, QSize pointSize);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyFrame();
    void setControlsVisible(bool visible);
    void placeControls();
    void setOpacity(double opacity);
    void perform(PinnedMouseDoubleClickAction action);

    QImage image_;
    PinnedScreenshotViewModel model_;
    AppPreferences preferences_;
    const LocalizationStore& localization_;
    Callbacks callbacks_;
    ShellAppearance appearance_;
    QToolButton* close_ = nullptr;
    QSlider* opacity_ = nullptr;
    std::optional<QPoint> dragOffset_;
    bool closing_ = false;
};

} // namespace brisklet
