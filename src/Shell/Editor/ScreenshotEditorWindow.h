#pragma once

#include <QImage>
#include <QWidget>

#include <functional>
#include <optional>
#include <string>

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
    void paintImageAndAnnotations(QPainter& painter);
    void paintSelectionChrome(QPainter& painter);
    void forwardPress(QMouseEvent* event, int clickCount);
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
};

} // namespace brisklet
