#pragma once

#include "Platform/ImageCodec.h"

namespace brisklet {

struct PngEncoderSettings {
    int compressionLevel = 6; ///< zlib's 1 (fastest) to 9 (smallest)
    bool adaptiveFilters = true;
};

/// PNG written by our own encoder (zlib on several threads) and read with libspng, JPEG through
/// libjpeg-turbo, sizes read from file headers.
class LinuxImageCodec final : public ImageCodec {
public:
    LinuxImageCodec() = default;
    explicit LinuxImageCodec(PngEncoderSettings png) : png_(png) {}

    bool supports(ImageFormat format) const override;
    Result<std::string, ImageCodecError> encode(const Image& image, ImageFormat format,
                                                double quality = 1.0) const override;
    Result<Image, ImageCodecError> decode(std::string_view bytes) const override;
    Status<ImageCodecError> writeFile(const Image& image, const std::filesystem::path& file, ImageFormat format,
                                      double quality = 1.0) const override;
    Result<Image, ImageCodecError> readFile(const std::filesystem::path& file) const override;
    std::optional<PixelSize> readPixelSize(const std::filesystem::path& file) const override;

private:
    Result<std::string, ImageCodecError> encodePng(const Image& image) const;

    PngEncoderSettings png_;
};

} // namespace brisklet
