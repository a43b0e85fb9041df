#include "Platform/Fake/InMemoryPasteboard.h"

namespace brisklet {

std::int64_t InMemoryPasteboard::changeCount() const {
    std::lock_guard lock(mutex_);
    return changeCount_;
}

void InMemoryPasteboard::clearContents() {
    std::lock_guard lock(mutex_);
    text_.reset();
    image_.reset();
    file_.reset();
    ++changeCount_;
}

void InMemoryPasteboard::writeImage(const Image& image) {
    std::lock_guard lock(mutex_);
    image_ = image;
    ++changeCount_;
}

void InMemoryPasteboard::writeFileURL(const std::filesystem::path& file) {
    std::lock_guard lock(mutex_);
    file_ = file;
    ++changeCount_;
}

void InMemoryPasteboard::writeText(const std::string& text) {
    std::lock_guard lock(mutex_);
    text_ = text;
    ++changeCount_;
}

std::optional<std::string> InMemoryPasteboard::readText() const {
    std::lock_guard lock(mutex_);
    return text_;
}

std::optional<Image> InMemoryPasteboard::readImage() const {
    std::lock_guard lock(mutex_);
    return image_;
}

std::optional<std::filesystem::path> InMemoryPasteboard::fileURL() const {
    std::lock_guard lock(mutex_);
    return file_;
}

void InMemoryPasteboard::simulateExternalCopy(const std::string& text) {
    std::lock_guard lock(mutex_);
    text_ = text;
    image_.reset();
    file_.reset();
    ++changeCount_;
}

} // namespace brisklet
