#pragma once

#include "Platform/ImageCodec.h"
#include "ZelvorCore/Foundation/Image.h"

#include <filesystem>
#include <optional>
#include <string_view>

namespace brisklet {

/// Reads desktop pictures, which come in more formats than screenshots (WebP, TIFF, … where the
/// platform has decoders for them).
class WallpaperImageReader {
public:
    virtual ~WallpaperImageReader() = default;

    /// Whether pictures with this lower-case file extension ("png", "webp", …) can be decoded.
    virtual bool canDecode(std::string_view extension) const = 0;
    /// The pixel size from the file's header, without decoding the picture; nothing when the
    /// header cannot be read.
    virtual std::optional<PixelSize> pixelSize(const std::filesystem::path& file) const = 0;
    /// The picture reduced so its longer side is at most `maxPixelSize` pixels (never enlarged),
    /// decoding no more than needed; nothing when the file cannot be decoded. Callable from any
    /// thread.
    virtual std::optional<Image> thumbnail(const std::filesystem::path& file, int maxPixelSize) const = 0;
};

} // namespace brisklet
