#include "Platform/Fake/ScriptedPasteboard.h"

namespace brisklet {

void ScriptedPasteboard::replace() {
    text_.reset();
    image_.reset();
    data_.clear();
    files_.clear();
    ++changeCount_;
}

std::int64_t ScriptedPasteboard::changeCount() const {
    std::lock_guard lock(mutex_);
    return changeCount_;
}

void ScriptedPasteboard::clearContents() {
    std::lock_guard lock(mutex_);
    replace();
}

void ScriptedPasteboard::writeImage(const Image& image) {
    std::lock_guard lock(mutex_);
    image_ = image;
    ++changeCount_;
}

void ScriptedPasteboard::writeFileURL(const std::filesystem::path& file) {
    std::lock_guard lock(mutex_);
    files_ = {file};
    ++changeCount_;
}

void ScriptedPasteboard::writeText(const std::string& text) {
    std::lock_guard lock(mutex_);
    text_ = text;
    ++changeCount_;
}

std::optional<std::string> ScriptedPasteboard::readText() const {
    std::lock_guard lock(mutex_);
    return text_;
}

std::optional<Image> ScriptedPasteboard::readImage() const {
    std::lock_guard lock(mutex_);
    return image_;
}

std::optional<std::string> ScriptedPasteboard::data(std::string_view mimeType) const {
    std::lock_guard lock(mutex_);
    const auto found = data_.find(mimeType);
    return found == data_.end() ? std::nullopt : std::optional<std::string>(found->second);
}

std::vector<std::filesystem::path> ScriptedPasteboard::fileURLs() const {
    std::lock_guard lock(mutex_);
    return files_;
}

void ScriptedPasteboard::copyText(const std::string& text) {
    std::lock_guard lock(mutex_);
    replace();
    text_ = text;
}

void ScriptedPasteboard::copyData(const std::string& mimeType, const std::string& bytes) {
    std::lock_guard lock(mutex_);
    replace();
    data_[mimeType] = bytes;
}

void ScriptedPasteboard::copyFiles(const std::vector<std::filesystem::path>& files) {
    std::lock_guard lock(mutex_);
    replace();
    files_ = files;
}

void ScriptedPasteboard::copyImage(const Image& image) {
    std::lock_guard lock(mutex_);
    replace();
    image_ = image;
}

} // namespace brisklet
