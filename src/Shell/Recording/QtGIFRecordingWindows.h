#pragma once

#include "Shell/Recording/GIFControlBarWindow.h"
#include "ZelvorApp/Control/GIFRecordingCoordinator.h"

#include <memory>

namespace brisklet {

class AppModel;
class BorderHighlightWindow;
class GIFAnnotationCanvasModel;
class GIFAnnotationCanvasWindow;
class GIFAnnotationFrameRenderer;
class LocalizationStore;

/// The windows of a GIF being recorded: the border around the region, the drawing canvas over
/// it and the control bar beside it. None of them lies over the region's pixels except the
/// canvas's own drawings.
class QtGIFRecordingWindows final : public GIFRecordingCoordinator::Windows {
public:
    QtGIFRecordingWindows(AppModel& model, const LocalizationStore& localization,
                          const GIFAnnotationFrameRenderer& renderer, GIFControlBarWindow::Actions actions);
    ~QtGIFRecordingWindows() override;

    void show(const Rect& region, const DisplayScreen& screen, GIFAnnotationPrototypeSession& annotations) override;
    void hide() override;

    GIFControlBarWindow* controlBar() const { return controlBar_.get(); }
    GIFAnnotationCanvasWindow* canvasWindow() const { return canvasWindow_.get(); }
    GIFAnnotationCanvasModel* canvas() const { return canvas_.get(); }

private:
    AppModel& model_;
    const LocalizationStore& localization_;
    const GIFAnnotationFrameRenderer& renderer_;
    GIFControlBarWindow::Actions actions_;
    std::unique_ptr<BorderHighlightWindow> border_;
    std::unique_ptr<GIFAnnotationCanvasModel> canvas_;
    std::unique_ptr<GIFAnnotationCanvasWindow> canvasWindow_;
    std::unique_ptr<GIFControlBarWindow> controlBar_;
};

} // namespace brisklet
