#pragma once

#include "Platform/ImageCodec.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <map>
#include <string>

namespace brisklet {

/// Answers pixel sizes from a table and counts how often it was asked; decodes nothing.
class TableImageCodec final : public ImageCodec {
public:
    std::map<std::filesystem::path, PixelSize> sizes;
    mutable int headerReads = 0;

    bool supports(ImageFormat) const override { return false; }
    Result<std::string, ImageCodecError> encode(const Image&, ImageFormat, double) const override {
        return Result<std::string, ImageCodecError>::failure(ImageCodecError::unsupportedFormat);
    }
    Result<Image, ImageCodecError> decode(std::string_view) const override {
        return Result<Image, ImageCodecError>::failure(ImageCodecError::unsupportedFormat);
    }
    Status<ImageCodecError> writeFile(const Image&, const std::filesystem::path&, ImageFormat, double) const override {
        return Status<ImageCodecError>::failure(ImageCodecError::unsupportedFormat);
    }
    Result<Image, ImageCodecError> readFile(const std::filesystem::path&) const override {
        return Result<Image, ImageCodecError>::failure(ImageCodecError::unsupportedFormat);
    }
    std::optional<PixelSize> readPixelSize(const std::filesystem::path& file) const override {
        ++headerReads;
        const auto it = sizes.find(file);
        return it == sizes.end() ? std::nullopt : std::optional<PixelSize>(it->second);
    }
};

inline VisualMemoryItem libraryItem(const std::string& name, double created, ExportKind kind = ExportKind::screenshot) {
    VisualMemoryItem item = VisualMemoryItem::forFile("/library/" + name, kind, Date{created});
    item.summary = name;
    return item;
}

} // namespace brisklet
