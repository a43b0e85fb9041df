#include "ZelvorApp/Memory/VideoThumbnailGenerator.h"

#include "Platform/VideoFrameReader.h"

namespace brisklet {

VideoThumbnailGenerator::VideoThumbnailGenerator(const VideoFrameReader& reader, std::size_t cacheCapacity)
    : reader_(reader), capacity_(std::max<std::size_t>(cacheCapacity, 1)) {}

std::optional<Image> VideoThumbnailGenerator::cgImage(const std::filesystem::path& file) const {
    auto frame = reader_.firstFrame(file, maximumDimension, maximumDimension);
    if (!frame) {
        return std::nullopt;
    }
    return std::move(frame).value();
}

std::shared_ptr<const Image> VideoThumbnailGenerator::image(const std::filesystem::path& file) {
    const std::string key = file.string();
    {
        std::lock_guard lock(mutex_);
        if (const auto found = cache_.find(key); found != cache_.end()) {
            recency_.splice(recency_.begin(), recency_, found->second.second);
            return found->second.first;
        }
    }
    // Decoding happens outside the lock so one slow file does not hold up the others.
    auto frame = cgImage(file);
    if (!frame) {
        return nullptr;
    }
    auto picture = std::make_shared<const Image>(std::move(*frame));
    std::lock_guard lock(mutex_);
    if (const auto found = cache_.find(key); found != cache_.end()) {
        return found->second.first;
    }
    recency_.push_front(key);
    cache_.emplace(key, std::make_pair(picture, recency_.begin()));
    if (cache_.size() > capacity_) {
        cache_.erase(recency_.back());
        recency_.pop_back();
    }
    return picture;
}

} // namespace brisklet
