#pragma once

#include "ZelvorApp/Capture/CapturedWindowInfo.h"

#include <functional>
#include <vector>

namespace brisklet {

/// Lets the user click one of the listed windows (GIF and super-screenshot window flows).
class WindowPickerPort {
public:
    /// What the picked window is for; it names the picker's title and its button.
    enum class Purpose { recording, superScreenshot };

    struct Handlers {
        std::function<void(CapturedWindowInfo)> onPick;
        std::function<void()> onCancel;
        Purpose purpose = Purpose::recording;
    };

    virtual ~WindowPickerPort() = default;
    virtual void present(const std::vector<CapturedWindowInfo>& windows, Handlers handlers) = 0;
    virtual void close() = 0;
};

} // namespace brisklet
