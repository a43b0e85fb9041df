#pragma once

#include <filesystem>
#include <fstream>
#include <string>

namespace brisklet::backgroundtest {

/// Creates `file` (and its folders) with a few bytes in it.
inline std::filesystem::path touch(const std::filesystem::path& file, const std::string& bytes = "x") {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << bytes;
    return file;
}

} // namespace brisklet::backgroundtest
