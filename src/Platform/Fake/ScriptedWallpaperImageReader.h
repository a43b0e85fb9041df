#pragma once

#include "Platform/WallpaperImageReader.h"

#include <atomic>
#include <map>
#include <mutex>
#include <set>
#include <string>

namespace brisklet {

/// Pictures whose sizes the test sets per file; thumbnails are flat grey images of the right
/// proportions. Files without a scripted size have no readable header and cannot be decoded.
class ScriptedWallpaperImageReader final : public WallpaperImageReader {
public:
    explicit ScriptedWallpaperImageReader(std::set<std::string> decodableExtensions = {"jpg", "jpeg", "png"})
        : extensions_(std::move(decodableExtensions)) {}

    bool canDecode(std::string_view extension) const override;
    std::optional<PixelSize> pixelSize(const std::filesystem::path& file) const override;
    std::optional<Image> thumbnail(const std::filesystem::path& file, int maxPixelSize) const override;

    void setSize(const std::filesystem::path& file, PixelSize size);
    /// How many headers were read (each file at most once per catalog build is expected).
    int headerReads() const { return headerReads_; }
    int decodes() const { return decodes_; }

private:
    std::set<std::string> extensions_;
    mutable std::mutex mutex_;
    std::map<std::filesystem::path, PixelSize> sizes_;
    mutable std::atomic<int> headerReads_{0};
    mutable std::atomic<int> decodes_{0};
};

} // namespace brisklet
