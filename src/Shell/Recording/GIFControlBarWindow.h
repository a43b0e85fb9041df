#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorApp/Recording/GIFPrototypeAnnotation.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QLabel;
class QToolButton;

namespace brisklet {

class AppModel;
class GIFAnnotationCanvasModel;
class LocalizationStore;

/// The bar beside a recording: the time (a GIF's against its limit, a video's on its own), pause
/// or resume, stop and cancel, and for a GIF the drawing tools of the canvas over the region. It
/// never takes the keyboard, so the recorded applications keep it.
class GIFControlBarWindow final : public QWidget {
public:
    struct Actions {
        std::function<void()> pause;
        std::function<void()> resume;
        std::function<void()> stop;
        std::function<void()> cancel;
    };
    /// What the bar's clock shows.
    enum class TimeDisplay { gifProgress, videoElapsed };

    GIFControlBarWindow(AppModel& model, const LocalizationStore& localization, Actions actions,
                        GIFAnnotationCanvasModel* canvas, TimeDisplay timeDisplay = TimeDisplay::gifProgress);
    ~GIFControlBarWindow() override;

    /// Places the bar beside `region` (global points, y up) on `screenFrame`.
    void placeBeside(const Rect& region, const Rect& screenFrame);
    QString timeText() const;
    /// "stop=X,Y cancel=X,Y ..." in global pixels, for the log (scripts drive the bar by it).
    std::string buttonCentres() const;
    /// The canvas changed its mode, tool, colour or drawings.
    void canvasChanged();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QToolButton* addButton(const std::string& symbol, L10nKey label, const QString& name);
    void addToolButton(GIFPrototypeTool tool, const std::string& symbol, L10nKey label);
    void modelChanged();

    AppModel& model_;
    const LocalizationStore& localization_;
    Actions actions_;
    GIFAnnotationCanvasModel* canvas_;
    TimeDisplay timeDisplay_;
    ShellAppearance appearance_;
    QLabel* time_ = nullptr;
    QToolButton* pauseResume_ = nullptr;
    QToolButton* annotate_ = nullptr;
    QToolButton* undo_ = nullptr;
    QToolButton* redo_ = nullptr;
    QToolButton* color_ = nullptr;
    struct ToolButton {
        GIFPrototypeTool tool;
        QToolButton* button;
        std::string symbol;
    };
    std::vector<ToolButton> tools_;
    int observer_ = 0;
    bool showsPaused_ = false;
};

} // namespace brisklet
