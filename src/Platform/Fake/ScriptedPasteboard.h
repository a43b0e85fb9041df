#pragma once

#include "Platform/Pasteboard.h"
#include "Platform/PasteboardPayloadReader.h"

#include <map>
#include <mutex>

namespace brisklet {

/// A clipboard that other applications "copy" to through the test: raw typed data, files, texts
/// and images. Every change, ours included, moves the change count.
class ScriptedPasteboard final : public Pasteboard, public PasteboardPayloadReader {
public:
    std::int64_t changeCount() const override;
    void clearContents() override;
    void writeImage(const Image& image) override;
    void writeFileURL(const std::filesystem::path& file) override;
    void writeText(const std::string& text) override;
    std::optional<std::string> readText() const override;
    std::optional<Image> readImage() const override;

    std::optional<std::string> data(std::string_view mimeType) const override;
    std::vector<std::filesystem::path> fileURLs() const override;

    /// Another application copies: the clipboard is replaced by exactly this content.
    void copyText(const std::string& text);
    void copyData(const std::string& mimeType, const std::string& bytes);
    void copyFiles(const std::vector<std::filesystem::path>& files);
    void copyImage(const Image& image);

private:
    void replace();

    mutable std::mutex mutex_;
    std::int64_t changeCount_ = 0;
    std::optional<std::string> text_;
    std::optional<Image> image_;
    std::map<std::string, std::string, std::less<>> data_;
    std::vector<std::filesystem::path> files_;
};

} // namespace brisklet
