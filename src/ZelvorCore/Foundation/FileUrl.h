#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// "file:///home/me/Pictures/a%20b.png" for an absolute path; relative paths are made absolute first.
std::string fileURLString(const std::filesystem::path& path);

/// The path of a "file://" URL (percent escapes decoded). A bare absolute path is accepted as is;
/// anything else (other schemes, remote hosts, broken escapes) gives nothing.
std::optional<std::filesystem::path> pathFromFileURL(std::string_view url);

} // namespace brisklet
