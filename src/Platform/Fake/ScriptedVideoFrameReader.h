#pragma once

#include "Platform/VideoFrameReader.h"

#include <atomic>
#include <map>
#include <mutex>

namespace brisklet {

/// First frames the test hands out per file; unknown files fail to open. Counts reads so tests
/// can see what was cached.
class ScriptedVideoFrameReader final : public VideoFrameReader {
public:
    void setFrame(const std::filesystem::path& file, Image frame) {
        std::lock_guard lock(mutex_);
        frames_[file.string()] = std::move(frame);
    }
    int readCount() const { return reads_.load(); }

    Result<Image, VideoFrameReaderError> firstFrame(const std::filesystem::path& file, int maxWidth,
                                                    int maxHeight) const override {
        ++reads_;
        std::lock_guard lock(mutex_);
        const auto found = frames_.find(file.string());
        if (found == frames_.end()) {
            return Result<Image, VideoFrameReaderError>::failure(VideoFrameReaderError::openFailed);
        }
        const Image& frame = found->second;
        if (frame.width() > maxWidth || frame.height() > maxHeight) {
            // The real readers scale down; a test frame that is too big is a mistake in the test.
            return Result<Image, VideoFrameReaderError>::failure(VideoFrameReaderError::decodeFailed);
        }
        return Result<Image, VideoFrameReaderError>::success(frame);
    }

private:
    mutable std::mutex mutex_;
    mutable std::atomic<int> reads_{0};
    std::map<std::string, Image> frames_;
};

} // namespace brisklet
