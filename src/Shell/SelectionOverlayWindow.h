#pragma once

#include "ZelvorApp/Selection/SelectionOverlayViewModel.h"

#include <QImage>
#include <QWidget>

#include <functional>
#include <memory>

namespace brisklet {

/// One screen's selection overlay: a frozen picture of the screen, dimmed outside the
/// selection, with handles, crosshair and magnifier. It bypasses the window manager so it
/// covers panels and docks, and takes the keyboard while open. State lives in the view model.
class SelectionOverlayWindow final : public QWidget {
public:
    struct Look {
        QString prompt;
        QString fullScreenHint;
        bool showsCrosshair = true;
        bool showsMagnifier = true;
        bool dark = false;
        QString confirmTitle;
        QString cancelTitle;
        /// The snap preview's badges: a window, a detected area.
        QString windowBadge;
        QString regionBadge;
        /// The shortcut that selects the whole screen: a key token and modifier bits, or empty.
        std::string fullScreenToken;
        int fullScreenModifiers = 0;
    };
    static constexpr QSize actionBarSize{176, 42};
    /// Any other combination typed while the overlay has the keyboard (token, modifier bits);
    /// returns whether it was used. The global hotkeys cannot fire while we hold the keyboard.
    std::function<bool(const std::string&, int)> onOtherCombination;

    /// One window serves every selection: a window made afresh each time costs tens of
    /// milliseconds of fresh buffer before its first paint.
    SelectionOverlayWindow();
    ~SelectionOverlayWindow() override;

    /// Shows the overlay for `model` over `geometry` (the screen in Qt's coordinates);
    /// `snapshot` is the screen without the overlay, in device pixels.
    void present(SelectionOverlayViewModel& model, QImage snapshot, const QRect& geometry, Look look);
    /// Does ahead of time, while nothing waits, what the first overlay would otherwise do between
    /// the hotkey and the first paint: the native window, and the fonts of the prompt and badges.
    void prepare();
    /// Hides it and lets go of the model, the keyboard and the picture.
    void dismiss();
    bool isPresenting() const { return model_ != nullptr; }

    /// The colour under the pointer, if the snapshot has one there.
    std::optional<MagnifierColorSample> sampleUnderPointer() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    /// View points (bottom-left origin, y up) and back.
    Point toView(const QPointF& local) const;
    QRectF toLocal(const Rect& view) const;
    void updateCursor(const QPointF& local);
    void paintMagnifier(QPainter& painter, const QPointF& local);
    std::optional<MagnifierColorSample> sampleAt(const QPointF& local) const;
    /// The action bar's cancel and confirm buttons, when the bar shows.
    std::optional<std::pair<QRectF, QRectF>> actionButtons() const;
    void paintActionBar(QPainter& painter);
    /// The outline and badge of the target a click would select.
    void paintSnapPreview(QPainter& painter);

    SelectionOverlayViewModel* model_ = nullptr;
    QImage snapshot_;
    Look look_;
    QPointF pointer_{-1, -1};
};

} // namespace brisklet
