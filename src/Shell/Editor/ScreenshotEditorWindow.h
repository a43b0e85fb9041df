#pragma once

#include "Shell/Editor/EditorSceneCache.h"

#include <QImage>
#include <QPainterPath>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class QPainter;
class QPlainTextEdit;

namespace brisklet {

class EditorToolbar;
class QtAnnotationRenderer;
class ScreenshotEditorModel;
struct Rect;

/// The screenshot editor on screen: the frozen screen, dimmed, with the captured image at its
/// place and every annotation drawn by the renderer the export uses, so what is seen is what is
/// saved. Pointer and keys go to the model; a text being typed is edited in place by a real text
/// box, so the desktop's input method works. The window covers the screen and stays above normal
/// windows; the state lives in the model.
class ScreenshotEditorWindow final : public QWidget {
public:
    struct Look {
        bool dark = false;
    };

    /// `background` is the frozen screen in device pixels (may be null); `geometry` the screen
    /// in Qt's coordinates.
    ScreenshotEditorWindow(ScreenshotEditorModel& model, const QtAnnotationRenderer& renderer, QImage background,
                           const QRect& geometry, Look look);
    ~ScreenshotEditorWindow() override;

    /// The first picture is on its way to the screen.
    std::function<void()> onFirstPaint;
    /// A key the model did not use: the configured global hotkeys get a turn (token, modifier bits).
    std::function<bool(const std::string&, int)> onOtherCombination;

    /// Re-reads the model: the picture, the text box and the toolbar.
    void refresh();
    /// The model's base image changed (a deferred capture arrived).
    void imageReplaced();
    /// Puts the keyboard focus back on the picture.
    void focusPicture();
    /// Where the toolbar goes, once the editor has one.
    void setToolbar(EditorToolbar* toolbar);
    /// The captured image's frame in global Qt coordinates, for Pin.
    QRect contentScreenFrame() const;

    /// What a text mode (text recognition) puts over the picture: while `isActive` holds it
    /// paints above the annotations and takes the pointer from them.
    struct TextModeLayer {
        std::function<bool()> isActive;
        std::function<void(QPainter&)> paint;
        std::function<void(QPointF, int clickCount)> press;
        std::function<void(QPointF, bool leftButtonDown)> move;
        std::function<void(QPointF)> release;
    };
    void setTextModeLayer(TextModeLayer layer) { textLayer_ = std::move(layer); }

    /// The background canvas under the screenshot: while `isActive` holds it paints the canvas
    /// (screenshot included) in place of the bare image, annotations are clipped to the
    /// screenshot's rounded shape, and the toolbar follows the canvas. The pointer handlers are
    /// asked first and return whether they took the event (a drag of the screenshot, a colour
    /// pick).
    struct BackgroundLayer {
        std::function<bool()> isActive;
        std::function<QRectF()> canvasRect;
        /// Where the background's own panel stands, so other panels keep clear of it.
        std::function<QRect()> panelFrame;
        std::function<void(QPainter&)> paint;
        std::function<QPainterPath()> contentShape;
        std::function<bool(QPointF)> press;
        std::function<bool(QPointF)> move;
        std::function<bool(QPointF)> release;
    };
    void setBackgroundLayer(BackgroundLayer layer) { backgroundLayer_ = std::move(layer); }
    /// The picture's frame in the view: the canvas while there is one, else the screenshot.
    QRectF pictureFrame() const;
    /// The part of the view a panel beside the picture may use: the whole view, less the
    /// background panel's column while the canvas is shown.
    QRect panelBounds() const;
    /// The canvas changed: repaints the scene and places the toolbar again.
    void backgroundChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    /// Everything that stays still while the pointer moves, painted into the scene cache.
    void paintScene(QPainter& painter);
    /// The gesture's draft and the annotation being moved or resized, over the cached scene.
    void paintAnnotationsInHand(QPainter& painter);
    /// Puts the painter into the screenshot's pixels at its place in the view (saves the painter).
    void enterImage(QPainter& painter) const;
    std::vector<Uuid> annotationsLeftOutOfScene() const;
    EditorSceneCache::Key sceneKey() const;
    void paintSelectionChrome(QPainter& painter);
    /// The region's outline and its eight handles while it can still be moved and resized.
    void paintRegionHandles(QPainter& painter);
    bool adjustingRegion() const;
    /// The cursor tells what a press would do to the region: resize, move or nothing.
    void updateRegionCursor(QPointF position);
    void forwardPress(QMouseEvent* event, int clickCount);
    bool textModeActive() const { return textLayer_.isActive && textLayer_.isActive(); }
    bool backgroundActive() const { return backgroundLayer_.isActive && backgroundLayer_.isActive(); }
    /// Shows, moves or hides the in-place text box to match the model's active text.
    void syncTextBox();
    void textBoxChanged();
    void placeToolbar();
    bool handleToolShortcut(const std::string& token, int modifiers);

    ScreenshotEditorModel& model_;
    const QtAnnotationRenderer& renderer_;
    QImage background_;
    QImage base_;
    Look look_;
    QPlainTextEdit* textBox_ = nullptr;
    EditorToolbar* toolbar_ = nullptr;
    bool syncingTextBox_ = false;
    bool painted_ = false;
    /// The cursor shows a region grab and must go back to drawing once the region is settled.
    bool regionCursorShown_ = false;
    TextModeLayer textLayer_;
    BackgroundLayer backgroundLayer_;
    EditorSceneCache sceneCache_;
    /// Bump to repaint the scene for a change the key does not see.
    std::uint64_t sceneGeneration_ = 0;
};

} // namespace brisklet
