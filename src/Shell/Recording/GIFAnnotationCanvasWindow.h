#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <QImage>
#include <QPointer>
#include <QWidget>

#include <functional>

namespace brisklet {

class GIFAnnotationCanvasModel;
class GIFAnnotationFrameRenderer;

/// The drawings over a region being recorded. Only the drawn pixels are part of the window (an
/// X11 shape, since plain window managers have no transparency), so the recorded applications
/// show and work everywhere else. In annotation mode the canvas holds the pointer to draw; a
/// press on the toolbar (the control bar) is handed to the button under it. Text is
/// typed in place, with the keyboard held only while it is typed.
class GIFAnnotationCanvasWindow final : public QWidget {
public:
    /// `region` in global points (y up); `renderer` draws exactly as the export will.
    GIFAnnotationCanvasWindow(GIFAnnotationCanvasModel& canvas, const GIFAnnotationFrameRenderer& renderer,
                              const Rect& region);
    ~GIFAnnotationCanvasWindow() override;

    /// The window whose buttons stay usable while the canvas holds the pointer (the control bar).
    void setToolbar(QWidget* toolbar) { toolbar_ = toolbar; }
    /// Redraws and follows the canvas's mode (call when the model changed).
    void refresh();
    /// What the canvas shows, in canvas points (for tests and screenshots).
    const QImage& drawing() const { return drawing_; }
    bool holdsKeyboard() const { return holdsKeyboard_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    Point canvasPoint(const QPointF& local) const;
    bool forwardToToolbar(QMouseEvent* event);
    void renderDrawing();
    void applyInputMode();
    /// Holds the keyboard while a text is being typed, and only then.
    void syncKeyboard();
    void drawCaret(QImage& drawing) const;

    GIFAnnotationCanvasModel& canvas_;
    const GIFAnnotationFrameRenderer& renderer_;
    QImage drawing_;
    QPointer<QWidget> toolbar_;
    bool grabbing_ = false;
    bool holdsKeyboard_ = false;
    bool drawingGesture_ = false;
};

} // namespace brisklet
