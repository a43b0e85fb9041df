#include "Platform/Fake/ScriptedWallpaperImageReader.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

bool ScriptedWallpaperImageReader::canDecode(std::string_view extension) const {
    return extensions_.contains(std::string(extension));
}

std::optional<PixelSize> ScriptedWallpaperImageReader::pixelSize(const std::filesystem::path& file) const {
    ++headerReads_;
    const std::lock_guard lock(mutex_);
    const auto found = sizes_.find(file);
    return found == sizes_.end() ? std::nullopt : std::optional<PixelSize>(found->second);
}

std::optional<Image> ScriptedWallpaperImageReader::thumbnail(const std::filesystem::path& file,
                                                             int maxPixelSize) const {
    ++decodes_;
    PixelSize size;
    {
        const std::lock_guard lock(mutex_);
        const auto found = sizes_.find(file);
        if (found == sizes_.end()) {
            return std::nullopt;
        }
        size = found->second;
    }
    const double scale = std::min(1.0, static_cast<double>(maxPixelSize) / std::max(size.width, size.height));
    Image image(std::max(1, static_cast<int>(std::lround(size.width * scale))),
                std::max(1, static_cast<int>(std::lround(size.height * scale))));
    image.fill(128, 128, 128);
    return image;
}

void ScriptedWallpaperImageReader::setSize(const std::filesystem::path& file, PixelSize size) {
    const std::lock_guard lock(mutex_);
    sizes_[file] = size;
}

} // namespace brisklet
