#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <optional>
#include <ostream>
#include <string>

namespace brisklet {

class ImageCodec;

/// Reads the image a command was given. Pictures over 256 megapixels are refused from their
/// header, before any pixel is decoded; every failure is explained on `err`.
std::optional<Image> readCommandInputImage(const ImageCodec& codec, const std::string& file, std::ostream& err);

} // namespace brisklet
