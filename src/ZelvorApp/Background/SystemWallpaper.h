#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace brisklet {

/// One desktop picture the system (or the user) has installed.
struct SystemWallpaper {
    /// The picture's path as text; unique within a list.
    std::string id;
    std::filesystem::path url;
    /// A small ready-made preview of the picture, when the package ships one.
    std::optional<std::filesystem::path> thumbnailURL;
    /// The file name without its extension, or the package's name for a picture package.
    std::string name;

    bool operator==(const SystemWallpaper&) const = default;
};

} // namespace brisklet
