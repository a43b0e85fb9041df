#pragma once

#include "Platform/Pasteboard.h"

#include <mutex>

namespace brisklet {

/// A clipboard in memory. `simulateExternalCopy` stands for another application copying.
class InMemoryPasteboard final : public Pasteboard {
public:
    std::int64_t changeCount() const override;
    void clearContents() override;
    void writeImage(const Image& image) override;
    void writeFileURL(const std::filesystem::path& file) override;
    void writeText(const std::string& text) override;
    std::optional<std::string> readText() const override;
    std::optional<Image> readImage() const override;

    std::optional<std::filesystem::path> fileURL() const;
    void simulateExternalCopy(const std::string& text);

private:
    mutable std::mutex mutex_;
    std::int64_t changeCount_ = 0;
    std::optional<std::string> text_;
    std::optional<Image> image_;
    std::optional<std::filesystem::path> file_;
};

} // namespace brisklet
