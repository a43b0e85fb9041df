#pragma once

#include "ZelvorApp/Control/Ports/WindowPickerPort.h"

#include <cstdint>
#include <memory>
#include <vector>

class QTimer;

namespace brisklet {

class AppModel;
class LocalizationStore;
class WindowEnumerator;
class WindowPickerViewModel;
class WindowPickerWindow;
class Workspace;

/// Lets the user choose the window to record. While the picker is open the list is enumerated
/// again and the thumbnails taken again about once a second, so windows opened, closed or
/// changed meanwhile show as they are.
class QtWindowPicker final : public WindowPickerPort {
public:
    static constexpr int refreshIntervalMilliseconds = 1000;

    /// `windows` may be null: the list then stays as presented.
    QtWindowPicker(const AppModel& model, const LocalizationStore& localization, const WindowEnumerator* windows,
                   const Workspace& workspace);
    ~QtWindowPicker() override;
    QtWindowPicker(const QtWindowPicker&) = delete;
    QtWindowPicker& operator=(const QtWindowPicker&) = delete;

    void present(const std::vector<CapturedWindowInfo>& windows, Handlers handlers) override;
    void close() override;

private:
    void show(const std::vector<CapturedWindowInfo>& windows, Handlers handlers);
    void refresh();
    /// Photographs the screens once and puts each listed window's part on its row.
    void takeThumbnails(const std::vector<std::int64_t>& ids);
    void dismiss();

    const AppModel& appModel_;
    const LocalizationStore& localization_;
    const WindowEnumerator* windows_;
    const Workspace& workspace_;
    std::unique_ptr<WindowPickerViewModel> model_;
    std::unique_ptr<WindowPickerWindow> window_;
    std::unique_ptr<QTimer> refreshTimer_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
