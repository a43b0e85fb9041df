#pragma once

#include "ZelvorApp/Control/Ports/ScreenshotEditorPort.h"
#include "ZelvorApp/Editor/AnnotationStyleController.h"

#include <functional>
#include <memory>

namespace brisklet {

class AppModel;
class BackgroundQtRenderer;
class EditorBackgroundSession;
class SystemWallpaperCatalog;
struct AppPreferences;
class Clock;
class ExportService;
class ImageCodec;
class LocalizationStore;
class MainQueue;
class QtAnnotationRenderer;
class ScreenshotEditorModel;
class ScreenshotEditorWindow;
class EditorTextSession;
class EditorToolbar;
class ScreenshotOCRService;
class TranslationBridgeController;

/// The screenshot editor: one model and one window per screenshot, over the screen the image
/// was taken from.
class QtScreenshotEditor final : public ScreenshotEditorPort {
public:
    struct Services {
        const QtAnnotationRenderer& renderer;
        const ImageCodec& codec;
        ExportService& exportService;
        const Clock& clock;
        MainQueue& mainQueue;
        const AppModel& model;
        const LocalizationStore& localization;
        /// Stores the editor's style choices in the preferences.
        PreferencesUpdater updatePreferences;
        /// Whether pinned screenshots can be shown here.
        bool pinsAvailable = false;
        /// Text recognition in the editor; null leaves its button off.
        ScreenshotOCRService* textRecognition = nullptr;
        /// Translation of the recognised text; null leaves its button off.
        TranslationBridgeController* translation = nullptr;
        /// The background renderer the export uses; null leaves the background button off.
        const BackgroundQtRenderer* background = nullptr;
        /// The desktop's pictures offered by the background panel; may be null.
        SystemWallpaperCatalog* wallpapers = nullptr;
    };

    explicit QtScreenshotEditor(Services services);
    ~QtScreenshotEditor() override;

    /// A combination the editor did not use while it has the keyboard (token, modifier bits).
    std::function<bool(const std::string&, int)> onKeyCombination;

    bool isOpen() const override { return model_ != nullptr; }
    void open(Request request, Handlers handlers) override;
    void replaceImage(Image image) override;
    void discard() override;
    void close() override;
    Rect frame() const override;
    bool isVisible() const override;
    void bringToFront() override;

private:
    ScreenshotEditorCallbacks callbacksFor(const Handlers& handlers);
    ScreenshotEditorHooks hooks();
    void attachToolbar(const AppPreferences& preferences, bool dark);
    void attachTextSession(bool dark);
    void attachBackgroundSession(const AppPreferences& preferences, bool dark, BackgroundCaptureContext context);
    void hideWindow();
    void destroy();

    Services services_;
    std::unique_ptr<ScreenshotEditorModel> model_;
    std::unique_ptr<ScreenshotEditorWindow> window_;
    EditorToolbar* toolbar_ = nullptr;
    std::unique_ptr<EditorTextSession> textSession_;
    std::unique_ptr<EditorBackgroundSession> backgroundSession_;
    Request request_;
    std::function<void(bool)> hotkeyScope_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
