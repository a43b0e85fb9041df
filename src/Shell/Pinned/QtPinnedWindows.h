#pragma once

#include "ZelvorApp/Control/Ports/PinnedWindowsPort.h"

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class QImage;
class QWidget;

namespace brisklet {

class AppModel;
class ExportService;
class LocalizationStore;
class MainQueue;
class PinnedScreenshotWindow;
class PinnedTextWindow;

/// The pinned screenshots and texts: one window each, the newest last. The one pressed last is
/// "selected"; Escape closes it, or the newest when none is.
class QtPinnedWindows final : public PinnedWindowsPort {
public:
    struct Services {
        ExportService& exportService;
        const AppModel& model;
        const LocalizationStore& localization;
        MainQueue& mainQueue;
    };

    explicit QtPinnedWindows(Services services);
    ~QtPinnedWindows() override;

    /// The number of pinned screenshots changed (the Escape hotkey follows it).
    std::function<void()> onChanged;
    /// Annotate from a pin's menu: the editor opens on the picture of the pin with that id.
    std::function<void(const std::string& pinID, Image)> onAnnotate;
    /// Save from a pin's menu.
    std::function<void(const Image&)> onSave;

    void pinImage(const Image& image, const Rect& frame, PinnedMouseDoubleClickAction leftDoubleClick) override;
    void pinText(const std::string& text, const std::optional<DisplayScreen>& screen) override;
    /// Pins hidden while they are re-edited do not count: Escape cannot close them.
    int pinnedImageCount() const override;
    void closeSelectedOrMostRecentImage() override;
    void setImageHidden(const std::string& id, bool hidden) override;
    void replaceImage(const std::string& id, const Image& image) override;
    /// The id the controller knows the pin by.
    std::string idOf(const PinnedScreenshotWindow* window) const;

    const std::vector<std::unique_ptr<PinnedScreenshotWindow>>& imageWindows() const { return images_; }
    const std::vector<std::unique_ptr<PinnedTextWindow>>& textWindows() const { return texts_; }

private:
    void imageClosed(PinnedScreenshotWindow* window);
    void textClosed(PinnedTextWindow* window);
    void annotate(PinnedScreenshotWindow* window);
    PinnedScreenshotWindow* find(const std::string& id) const;

    Services services_;
    std::vector<std::unique_ptr<PinnedScreenshotWindow>> images_;
    std::vector<std::unique_ptr<PinnedTextWindow>> texts_;
    std::vector<std::pair<const PinnedScreenshotWindow*, std::string>> ids_;
    int nextID_ = 1;
    PinnedScreenshotWindow* selected_ = nullptr;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
