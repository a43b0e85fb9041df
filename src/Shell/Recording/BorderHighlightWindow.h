#pragma once

#include "ZelvorApp/Longshot/BorderHighlightModel.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <QColor>
#include <QWidget>

namespace brisklet {

/// The 3-point frame around a region being recorded or about to be: a frameless, always-on-top
/// tool window just outside the region (it never covers the region's own pixels). Clicks pass
/// through it to the windows below, unless a move handler is installed: then it shows an open
/// hand and moves by drag, telling the handler the new region. Regions are in the desktop space
/// of QtDesktopGeometry (global points, y up).
class BorderHighlightWindow final : public QWidget {
public:
    explicit BorderHighlightWindow(const Rect& region, const QColor& color = defaultColor());

    static QColor defaultColor() { return QColor(0x35, 0x84, 0xe4); }

    /// Places the frame around `region` (shown or not).
    void setRegion(const Rect& region);
    Rect region() const;
    void setColor(const QColor& color);
    /// Installs (or, with an empty handler, removes) the move handler; without one the window is
    /// click-through.
    void setOnMove(BorderHighlightModel::MoveHandler handler);
    bool isMovable() const { return model_.isMovable(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void applyInputMode();
    void updateMask();

    BorderHighlightModel model_;
    QColor color_;
};

} // namespace brisklet
