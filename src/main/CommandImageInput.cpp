#include "main/CommandImageInput.h"

#include "Platform/ImageCodec.h"

namespace brisklet {

namespace {

constexpr double maximumImagePixels = 256.0 * 1024 * 1024;

std::string sizeText(const Image& image) {
    return std::to_string(image.width()) + "x" + std::to_string(image.height());
}

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

std::optional<std::vector<std::shared_ptr<const Image>>>
readSameSizeFrames(const ImageCodec& codec, const std::vector<std::string>& files, const std::string& command,
                   const std::string& sizeRule, std::ostream& err) {
    std::vector<std::shared_ptr<const Image>> frames;
    for (const std::string& file : files) {
        if (const auto size = codec.readPixelSize(file);
            size && static_cast<double>(size->width) * size->height > maximumImagePixels) {
            err << command << ": " << file << " is " << size->width << "x" << size->height
                << " pixels, more than one frame may have\n";
            return std::nullopt;
        }
        auto image = codec.readFile(file);
        if (!image) {
            err << command << ": cannot read " << file << " (" << toString(image.error()) << ")\n";
            return std::nullopt;
        }
        if (image.value().isEmpty()) {
            err << command << ": " << file << " is an empty image\n";
            return std::nullopt;
        }
        if (!frames.empty() &&
            (image.value().width() != frames.front()->width() || image.value().height() != frames.front()->height())) {
            err << command << ": " << file << " is " << sizeText(image.value()) << " but " << files.front() << " is "
                << sizeText(*frames.front()) << "; " << sizeRule << "\n";
            return std::nullopt;
        }
        frames.push_back(std::make_shared<const Image>(std::move(image).value()));
    }
    return frames;
}

} // namespace brisklet
