#pragma once

#include "Platform/ImageCodec.h"

#include <string_view>

namespace brisklet {

/// Pixel size from the first bytes of a PNG, JPEG, GIF or WebP file, without decoding.
std::optional<PixelSize> readPixelSizeFromHeader(std::string_view head);

} // namespace brisklet
