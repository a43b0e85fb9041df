#pragma once

#include "ZelvorApp/Capture/CapturedWindowInfo.h"

#include <functional>
#include <vector>

namespace brisklet {

/// Lets the user click one of the listed windows (GIF and super-screenshot window flows).
class WindowPickerPort {
public:
    struct Handlers {
        std::function<void(CapturedWindowInfo)> onPick;
        std::function<void()> onCancel;
    };

    virtual ~WindowPickerPort() = default;
    virtual void present(const std::vector<CapturedWindowInfo>& windows, Handlers handlers) = 0;
    virtual void close() = 0;
};

} // namespace brisklet
