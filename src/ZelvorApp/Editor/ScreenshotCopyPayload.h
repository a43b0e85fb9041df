#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <filesystem>
#include <optional>

namespace brisklet {

/// What a copy hands to the application: the final image and, when the copy is also to be kept as
/// a file, where that file goes (written in the background afterwards).
struct ScreenshotCopyPayload {
    Image image;
    std::optional<std::filesystem::path> persistenceURL;
    bool operator==(const ScreenshotCopyPayload&) const = default;
};

} // namespace brisklet
