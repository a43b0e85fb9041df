#include "ZelvorApp/Capture/ScreenshotCaptureExclusionPolicy.h"

#include <algorithm>

namespace brisklet::ScreenshotCaptureExclusionPolicy {

std::vector<std::uint32_t> windowIDs(std::optional<std::int64_t> editorWindowNumber,
                                     const std::vector<std::int64_t>& hiddenWindowNumbers) {
    std::vector<std::uint32_t> ids;
    const auto add = [&ids](std::int64_t number) {
        // Window numbers are 32-bit; anything else cannot name a window and is dropped like 0.
        if (number <= 0 || number > static_cast<std::int64_t>(UINT32_MAX)) {
            return;
        }
        const auto id = static_cast<std::uint32_t>(number);
        if (std::find(ids.begin(), ids.end(), id) == ids.end()) {
            ids.push_back(id);
        }
    };
    if (editorWindowNumber) {
        add(*editorWindowNumber);
    }
    for (const std::int64_t number : hiddenWindowNumbers) {
        add(number);
    }
    return ids;
}

} // namespace brisklet::ScreenshotCaptureExclusionPolicy
