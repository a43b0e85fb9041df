#include "Platform/Linux/Codec/LinuxImageCodec.h"

#include "Platform/Linux/Codec/DeflatePngEncoder.h"

#include "Platform/Linux/Codec/ImageHeaderReader.h"
#include "ZelvorCore/Foundation/AtomicFile.h"

#include <spng.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <sstream>

namespace brisklet {

namespace {

using StringResult = Result<std::string, ImageCodecError>;
using ImageResult = Result<Image, ImageCodecError>;

// Guards against decompression bombs: a hostile header must not make us allocate gigabytes.
constexpr std::uint32_t maximumDimension = 1u << 16;
constexpr std::size_t maximumPixels = std::size_t{1} << 28;

struct SpngDeleter {
    void operator()(spng_ctx* ctx) const { spng_ctx_free(ctx); }
};
using SpngContext = std::unique_ptr<spng_ctx, SpngDeleter>;

struct TurboDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TurboHandle = std::unique_ptr<void, TurboDeleter>;

ImageResult decodePng(std::string_view bytes) {
    SpngContext ctx(spng_ctx_new(0));
    if (!ctx) {
        return ImageResult::failure(ImageCodecError::unsupportedFormat);
    }
    spng_set_image_limits(ctx.get(), maximumDimension, maximumDimension);
    spng_set_chunk_limits(ctx.get(), 16u << 20, 64u << 20);
    spng_set_png_buffer(ctx.get(), bytes.data(), bytes.size());
    spng_ihdr ihdr{};
    if (spng_get_ihdr(ctx.get(), &ihdr) != 0 || static_cast<std::size_t>(ihdr.width) * ihdr.height > maximumPixels) {
        return ImageResult::failure(ImageCodecError::decodeFailed);
    }
    std::size_t size = 0;
    if (spng_decoded_image_size(ctx.get(), SPNG_FMT_RGBA8, &size) != 0) {
        return ImageResult::failure(ImageCodecError::decodeFailed);
    }
    std::vector<std::uint8_t> pixels(size);
    if (spng_decode_image(ctx.get(), pixels.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0) {
        return ImageResult::failure(ImageCodecError::decodeFailed);
    }
    return ImageResult::success(Image(static_cast<int>(ihdr.width), static_cast<int>(ihdr.height), std::move(pixels)));
}

ImageResult decodeJpeg(std::string_view bytes) {
    TurboHandle handle(tjInitDecompress());
    if (!handle) {
        return ImageResult::failure(ImageCodecError::unsupportedFormat);
    }
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    if (tjDecompressHeader3(handle.get(), data, bytes.size(), &width, &height, &subsampling, &colorspace) != 0 ||
        width <= 0 || height <= 0 || static_cast<std::uint32_t>(width) > maximumDimension ||
        static_cast<std::uint32_t>(height) > maximumDimension ||
        static_cast<std::size_t>(width) * height > maximumPixels) {
        return ImageResult::failure(ImageCodecError::decodeFailed);
    }
    Image image(width, height);
    if (tjDecompress2(handle.get(), data, bytes.size(), image.data(), width, 0, height, TJPF_RGBA, 0) != 0) {
        return ImageResult::failure(ImageCodecError::decodeFailed);
    }
    return ImageResult::success(std::move(image));
}

StringResult encodeJpeg(const Image& image, double quality) {
    TurboHandle handle(tjInitCompress());
    if (!handle) {
        return StringResult::failure(ImageCodecError::unsupportedFormat);
    }
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const int q = std::clamp(static_cast<int>(std::lround(quality * 100)), 1, 100);
    if (tjCompress2(handle.get(), image.data(), image.width(), 0, image.height(), TJPF_RGBA, &buffer, &size, TJSAMP_420,
                    q, 0) != 0) {
        tjFree(buffer);
        return StringResult::failure(ImageCodecError::encodeFailed);
    }
    std::string bytes(reinterpret_cast<const char*>(buffer), size);
    tjFree(buffer);
    return StringResult::success(std::move(bytes));
}

std::optional<std::string> readWholeFile(const std::filesystem::path& file, std::size_t limit) {
    std::ifstream in(file, std::ios::binary | std::ios::ate);
    if (!in) {
        return std::nullopt;
    }
    const auto size = static_cast<std::size_t>(std::max<std::streamoff>(0, in.tellg()));
    in.seekg(0);
    std::string bytes(std::min(size, limit), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    return bytes;
}

} // namespace

bool LinuxImageCodec::supports(ImageFormat format) const {
    return format == ImageFormat::png || format == ImageFormat::jpeg;
}

StringResult LinuxImageCodec::encodePng(const Image& image) const {
    const DeflatePngEncoder encoder(png_.compressionLevel, png_.adaptiveFilters ? DeflatePngEncoder::Filters::adaptive
                                                                                : DeflatePngEncoder::Filters::sub);
    auto bytes = encoder.encode(image);
    if (!bytes) {
        return StringResult::failure(ImageCodecError::encodeFailed);
    }
    return StringResult::success(std::move(*bytes));
}

StringResult LinuxImageCodec::encode(const Image& image, ImageFormat format, double quality) const {
    if (image.isEmpty()) {
        return StringResult::failure(ImageCodecError::encodeFailed);
    }
    switch (format) {
    case ImageFormat::png:
        return encodePng(image);
    case ImageFormat::jpeg:
        return encodeJpeg(image, quality);
    }
    return StringResult::failure(ImageCodecError::unsupportedFormat);
}

ImageResult LinuxImageCodec::decode(std::string_view bytes) const {
    if (bytes.size() >= 8 && bytes.substr(0, 8) == "\x89PNG\r\n\x1a\n") {
        return decodePng(bytes);
    }
    if (bytes.size() >= 3 && static_cast<std::uint8_t>(bytes[0]) == 0xFF &&
        static_cast<std::uint8_t>(bytes[1]) == 0xD8) {
        return decodeJpeg(bytes);
    }
    return ImageResult::failure(ImageCodecError::decodeFailed);
}

Status<ImageCodecError> LinuxImageCodec::writeFile(const Image& image, const std::filesystem::path& file,
                                                   ImageFormat format, double quality) const {
    auto bytes = encode(image, format, quality);
    if (!bytes) {
        return Status<ImageCodecError>::failure(bytes.error());
    }
    if (writeFileAtomically(file, bytes.value())) {
        return Status<ImageCodecError>::failure(ImageCodecError::writeFailed);
    }
    return succeeded<ImageCodecError>();
}

ImageResult LinuxImageCodec::readFile(const std::filesystem::path& file) const {
    const auto bytes = readWholeFile(file, std::size_t{1} << 30);
    if (!bytes) {
        return ImageResult::failure(ImageCodecError::readFailed);
    }
    return decode(*bytes);
}

std::optional<PixelSize> LinuxImageCodec::readPixelSize(const std::filesystem::path& file) const {
    // JPEG metadata (EXIF thumbnails) can push the frame header far in; 256 KiB covers real files.
    const auto head = readWholeFile(file, 256 * 1024);
    if (!head) {
        return std::nullopt;
    }
    return readPixelSizeFromHeader(*head);
}

} // namespace brisklet
