#pragma once

#include "ZelvorApp/Control/Ports/SelectionOverlayPort.h"

#include <functional>
#include <memory>
#include <string>

namespace brisklet {

class DisplayServer;
class ExportService;
class LocalizationStore;
class MainQueue;
class SelectionOverlayViewModel;
class SelectionOverlayWindow;

/// Opens the selection overlay on the screen under the pointer (or the one the caller prefers).
/// The screen is photographed before the overlay maps, so the overlay is never in the picture
/// and the result always carries that clean snapshot.
class QtSelectionOverlay final : public SelectionOverlayPort {
public:
    QtSelectionOverlay(const DisplayServer& displays, ExportService& exportService, MainQueue& mainQueue,
                       const LocalizationStore& localization);
    ~QtSelectionOverlay() override;

    /// A combination typed while the overlay holds the keyboard; true when it was a hotkey.
    std::function<bool(const std::string& token, int modifiers)> onKeyCombination;

    void present(const SelectionOverlayConfiguration& configuration, Handlers handlers) override;
    bool hasActiveSelection() const override { return window_ != nullptr; }
    void close(std::string_view reason) override;

private:
    void dismiss();

    const DisplayServer& displays_;
    ExportService& exportService_;
    MainQueue& mainQueue_;
    const LocalizationStore& localization_;
    std::unique_ptr<SelectionOverlayViewModel> model_;
    std::unique_ptr<SelectionOverlayWindow> window_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
