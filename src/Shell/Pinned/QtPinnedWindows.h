#pragma once

#include "ZelvorApp/Control/Ports/PinnedWindowsPort.h"

#include <functional>
#include <memory>
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
    /// Annotate from a pin's menu: the editor opens on the picture.
    std::function<void(Image)> onAnnotate;

    void pinImage(const Image& image, const Rect& frame, PinnedMouseDoubleClickAction leftDoubleClick) override;
    void pinText(const std::string& text, const std::optional<DisplayScreen>& screen) override;
    int pinnedImageCount() const override { return static_cast<int>(images_.size()); }
    void closeSelectedOrMostRecentImage() override;

    const std::vector<std::unique_ptr<PinnedScreenshotWindow>>& imageWindows() const { return images_; }
    const std::vector<std::unique_ptr<PinnedTextWindow>>& textWindows() const { return texts_; }

private:
    void imageClosed(PinnedScreenshotWindow* window);
    void textClosed(PinnedTextWindow* window);
    void annotate(const QImage& image);

    Services services_;
    std::vector<std::unique_ptr<PinnedScreenshotWindow>> images_;
    std::vector<std::unique_ptr<PinnedTextWindow>> texts_;
    PinnedScreenshotWindow* selected_ = nullptr;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
