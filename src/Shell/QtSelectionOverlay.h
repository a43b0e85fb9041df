#pragma once

#include "ZelvorApp/Control/Ports/SelectionOverlayPort.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QImage;
class QScreen;

namespace brisklet {

class DisplayServer;
class ExportService;
class LocalizationStore;
class Image;
class MainQueue;
class ScreenCaptureService;
class RectangleDetector;
struct CapturedWindowInfo;
class SelectionOverlayViewModel;
class SelectionOverlayWindow;

/// Opens the selection overlay on the screen under the pointer (or the one the caller prefers).
/// The screen is photographed before the overlay maps, so the overlay is never in the picture
/// and the result always carries that clean snapshot. With smart snap on, the windows of other
/// applications and the rectangles found in the snapshot become one-click targets; both are
/// gathered after the overlay is on screen, the rectangles on a worker thread.
class QtSelectionOverlay final : public SelectionOverlayPort {
public:
    struct SnapSources {
        /// Other applications' windows, front to back, in window-server points.
        std::function<std::vector<CapturedWindowInfo>()> windows;
        /// Null: no rectangle targets.
        const RectangleDetector* rectangles = nullptr;
    };

    QtSelectionOverlay(const DisplayServer& displays, ScreenCaptureService& capture, ExportService& exportService,
                       MainQueue& mainQueue, const LocalizationStore& localization, SnapSources snapSources);
    ~QtSelectionOverlay() override;

    /// A combination typed while the overlay holds the keyboard; true when it was a hotkey.
    std::function<bool(const std::string& token, int modifiers)> onKeyCombination;

    void present(const SelectionOverlayConfiguration& configuration, Handlers handlers) override;
    bool hasActiveSelection() const override;
    void close(std::string_view reason) override;
    /// Warms up what the first overlay needs (window, capture buffers, fonts) so the first
    /// hotkey after start-up is as quick as the later ones. Call once the application is idle.
    void prepare();

private:
    void dismiss();
    void makeWindow();
    /// Starts gathering the snap targets of the overlay just shown on `screen`.
    void detectSnapTargets(const QScreen* screen, std::shared_ptr<const Image> snapshot);
    /// The screen as it is before the overlay maps: through the capture backend (shared memory,
    /// about a millisecond), else through Qt.
    std::shared_ptr<const Image> photograph(QScreen* screen, const DisplayScreen& display) const;
    void connectModel(const Handlers& handlers, const DisplayScreen& display,
                      const std::shared_ptr<const Image>& snapshot, bool waitForClean);

    const DisplayServer& displays_;
    ScreenCaptureService& capture_;
    ExportService& exportService_;
    MainQueue& mainQueue_;
    const LocalizationStore& localization_;
    SnapSources snapSources_;
    /// One per open overlay; late detection results check it is still theirs.
    std::shared_ptr<bool> session_;
    std::unique_ptr<SelectionOverlayViewModel> model_;
    std::unique_ptr<SelectionOverlayWindow> window_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
