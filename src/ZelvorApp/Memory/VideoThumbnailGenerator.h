#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <filesystem>
#include <list>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

namespace brisklet {

class VideoFrameReader;

/// The first frame of a video as a picture for cards and thumbnails, at most 840 × 840.
/// Safe to use from several threads.
class VideoThumbnailGenerator {
public:
    static constexpr int maximumDimension = 840;

    /// `cacheCapacity` bounds the pictures kept by `image(from:)`; the least recently used goes.
    explicit VideoThumbnailGenerator(const VideoFrameReader& reader, std::size_t cacheCapacity = 64);

    /// The first frame, or nothing when the file cannot be read.
    std::optional<Image> cgImage(const std::filesystem::path& file) const;
    /// Like `cgImage`, but remembered per file path.
    std::shared_ptr<const Image> image(const std::filesystem::path& file);

private:
    const VideoFrameReader& reader_;
    std::size_t capacity_;
    std::mutex mutex_;
    std::list<std::string> recency_; // most recent first
    std::unordered_map<std::string, std::pair<std::shared_ptr<const Image>, std::list<std::string>::iterator>> cache_;
};

} // namespace brisklet
