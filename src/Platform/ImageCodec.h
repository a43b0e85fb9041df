#pragma once

#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

enum class ImageFormat { png, jpeg };

enum class ImageCodecError {
    unsupportedFormat, ///< no encoder or decoder for this format here
    encodeFailed,      ///< the encoder rejected the image
    decodeFailed,      ///< the bytes are not a readable image
    readFailed,        ///< the file could not be read
    writeFailed,       ///< the file could not be written
};

std::string_view toString(ImageCodecError error);

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

/// Encodes and decodes still images.
class ImageCodec {
public:
    virtual ~ImageCodec() = default;

    virtual bool supports(ImageFormat format) const = 0;
    /// Encodes to bytes. `quality` (0...1) matters for JPEG only.
    virtual Result<std::string, ImageCodecError> encode(const Image& image, ImageFormat format,
                                                        double quality = 1.0) const = 0;
    /// Decodes PNG or JPEG bytes (the format is sniffed).
    virtual Result<Image, ImageCodecError> decode(std::string_view bytes) const = 0;
    /// Encodes and writes to `file` through a temporary name, replacing what was there.
    virtual Status<ImageCodecError> writeFile(const Image& image, const std::filesystem::path& file, ImageFormat format,
                                              double quality = 1.0) const = 0;
    virtual Result<Image, ImageCodecError> readFile(const std::filesystem::path& file) const = 0;
    /// Pixel size from the file's header only (PNG, JPEG, GIF, WebP), without decoding pixels.
    virtual std::optional<PixelSize> readPixelSize(const std::filesystem::path& file) const = 0;
};

} // namespace brisklet
