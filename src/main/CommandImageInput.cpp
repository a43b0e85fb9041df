#include "main/CommandImageInput.h"

#include "Platform/ImageCodec.h"

namespace brisklet {

namespace {
constexpr double maximumImagePixels = 256.0 * 1024 * 1024;
} // namespace

std::optional<Image> readCommandInputImage(const ImageCodec& codec, const std::string& file, std::ostream& err) {
    if (const auto size = codec.readPixelSize(file);
        size && static_cast<double>(size->width) * size->height > maximumImagePixels) {
        err << "brisklet: " << file << " is " << size->width << "x" << size->height
            << " pixels, more than this command handles\n";
        return std::nullopt;
    }
    auto image = codec.readFile(file);
    if (!image) {
        err << "brisklet: cannot read the image " << file << " (" << toString(image.error()) << ")\n";
        return std::nullopt;
    }
    return std::move(image).value();
}

} // namespace brisklet
