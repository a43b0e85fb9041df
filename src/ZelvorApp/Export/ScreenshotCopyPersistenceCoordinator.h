#pragma once

#include "ZelvorApp/Editor/ScreenshotEditorError.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

namespace brisklet {

class Clock;
class ImageCodec;
class MainQueue;
class SerialQueue;

/// Saves copied screenshots as PNG files in the background, one at a time, so copying never
/// waits for the disk. Completions run on the main queue.
class ScreenshotCopyPersistenceCoordinator {
public:
    /// Receives the result and how long the PNG write took, in whole milliseconds (never negative).
    using Completion = std::function<void(Status<ScreenshotEditorError>, std::int64_t encodeMs)>;

    static constexpr const char* queueLabel = "com.brisklet.screenshot-copy-persistence";

    ScreenshotCopyPersistenceCoordinator(std::unique_ptr<SerialQueue> queue, MainQueue& mainQueue,
                                         const ImageCodec& codec, const Clock& clock);
    ~ScreenshotCopyPersistenceCoordinator();

    /// Returns at once; the completion runs later on the main queue.
    void persist(Image image, std::filesystem::path file, Completion completion);
    /// Keeps the main loop running until no write is pending or `timeoutSeconds` pass. Returns
    /// whether everything was written. Main thread only.
    bool flushPendingWrites(double timeoutSeconds);
    int pendingWrites() const { return pending_.load(); }

private:
    std::unique_ptr<SerialQueue> queue_;
    MainQueue& mainQueue_;
    const ImageCodec& codec_;
    const Clock& clock_;
    std::atomic<int> pending_{0};
};

} // namespace brisklet
