#pragma once

#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/WallpaperImageReader.h"

#include <set>
#include <string>

namespace brisklet {

/// Desktop pictures through Qt's image plugins: PNG and JPEG always, WebP, TIFF and HEIF when
/// the plugins for them are installed. Sizes come from the file header; JPEG previews are
/// decoded at reduced scale straight away.
class QtWallpaperImageReader final : public WallpaperImageReader {
public:
    QtWallpaperImageReader();

    bool canDecode(std::string_view extension) const override;
    std::optional<PixelSize> pixelSize(const std::filesystem::path& file) const override;
    std::optional<Image> thumbnail(const std::filesystem::path& file, int maxPixelSize) const override;

private:
    std::set<std::string> formats_;
    LinuxImageCodec headers_;
};

} // namespace brisklet
