#pragma once

#include "Shell/Editor/EditorBackgroundPreview.h"
#include "ZelvorApp/Editor/EditorBackgroundComposer.h"
#include "ZelvorApp/Editor/EditorBackgroundPanelModel.h"

#include <QImage>
#include <QPointF>
#include <QPointer>

#include <memory>

namespace brisklet {

class BackgroundQtRenderer;
class ColorWheelPopover;
class EditorBackgroundPanel;
class EditorToolbar;
class LocalizationStore;
class ScreenshotEditorModel;
class ScreenshotEditorWindow;
class SystemWallpaperCatalog;

/// The background of one open editor: connects the panel's model, the panel, the canvas preview
/// and the window. While the background is on, the window shows the canvas (scaled to fit the
/// screen) and the editor model's viewport is the screenshot's place on it, so annotations keep
/// working on the image; Save, Copy and Pin compose through `compose`.
class EditorBackgroundSession {
public:
    struct Services {
        const BackgroundQtRenderer& renderer;
        /// The desktop's pictures for the panel; may be null.
        SystemWallpaperCatalog* wallpapers = nullptr;
        const LocalizationStore& localization;
        PreferencesUpdater updatePreferences;
    };

    /// Room kept free around the canvas, for the toolbar.
    static constexpr double canvasMargin = 56;

    EditorBackgroundSession(Services services, const AppPreferences& preferences, ScreenshotEditorModel& model,
                            ScreenshotEditorWindow& window, EditorToolbar* toolbar, bool dark,
                            BackgroundCaptureContext context);
    ~EditorBackgroundSession();

    /// Applies the opening rules (auto-apply, panel shown by default).
    void open();
    /// The toolbar's background button: on (with the panel) or off (the plain screenshot).
    void toggle();
    bool isOn() const { return panelModel_.isOn(); }
    /// The flattened screenshot on the background shown now (itself when off).
    Result<Image, ScreenshotEditorError> compose(const Image& flattened) const { return composer_.compose(flattened); }
    /// The base image changed (a deferred capture arrived).
    void imageReplaced();

    /// Picking the background colour from the screenshot.
    void startEyedropper();
    bool isEyedropperActive() const { return eyedropper_; }
    void cancelEyedropper();

    EditorBackgroundPanelModel& panelModel() { return panelModel_; }
    EditorBackgroundPanel* panel() const { return panel_; }
    const EditorBackgroundPreview& preview() const { return preview_; }

private:
    void changed();
    /// Ends the region's adjustment and takes the final picture as the canvas content.
    void settleRegion();
    void showCanvas();
    void hideCanvas();
    void placePanel();
    void loadWallpapers();
    void updateToolbar();
    /// The style panel's custom colour opens the same colour wheel.
    void shareColorWheel(bool dark);
    bool press(QPointF position);
    bool move(QPointF position);
    bool release(QPointF position);
    void pickColor(QPointF position);
    bool startsDrag(QPointF position) const;
    Point canvasPoint(QPointF position) const;

    Services services_;
    ScreenshotEditorModel& model_;
    ScreenshotEditorWindow& window_;
    QPointer<EditorToolbar> toolbar_;
    EditorBackgroundPanelModel panelModel_;
    EditorBackgroundPreview preview_;
    EditorBackgroundComposer composer_;
    EditorBackgroundPanel* panel_ = nullptr;
    ColorWheelPopover* annotationColors_ = nullptr;
    QImage content_;
    Rect originalRect_;
    double originalScale_ = 1;
    bool eyedropper_ = false;
    bool wallpapersLoaded_ = false;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
