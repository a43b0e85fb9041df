#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace brisklet {

/// Which of our own windows must stay out of a screenshot taken while they are on screen.
namespace ScreenshotCaptureExclusionPolicy {

/// The editor's window first (when there is one), then the hidden windows in their order;
/// 0 (no window) and repeats are dropped, the first occurrence wins.
std::vector<std::uint32_t> windowIDs(std::optional<std::int64_t> editorWindowNumber,
                                     const std::vector<std::int64_t>& hiddenWindowNumbers);

} // namespace ScreenshotCaptureExclusionPolicy

} // namespace brisklet
