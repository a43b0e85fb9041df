#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace brisklet {

class ImageCodec;

/// Reads the image a command was given. Pictures over 256 megapixels are refused from their
/// header, before any pixel is decoded; every failure is explained on `err`.
std::optional<Image> readCommandInputImage(const ImageCodec& codec, const std::string& file, std::ostream& err);

/// Reads the frames of an animation or a scrolling capture: every one must have the first one's
/// size, because they share one canvas, and none may be over 256 megapixels. Problems are explained
/// on `err` after `command` ("brisklet gif"); `sizeRule` ends the message about a frame of another
/// size ("all frames of one GIF share one size").
std::optional<std::vector<std::shared_ptr<const Image>>>
readSameSizeFrames(const ImageCodec& codec, const std::vector<std::string>& files, const std::string& command,
                   const std::string& sizeRule, std::ostream& err);

} // namespace brisklet
