#include "ZelvorApp/Export/ScreenshotCopyPersistenceCoordinator.h"

#include "Platform/Clock.h"
#include "Platform/ImageCodec.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace {

Status<ScreenshotEditorError> writePng(const ImageCodec& codec, const Image& image, const std::filesystem::path& file) {
    using S = Status<ScreenshotEditorError>;
    if (!codec.supports(ImageFormat::png)) {
        return S::failure(ScreenshotEditorError::encodeUnavailable);
    }
    const auto written = codec.writeFile(image, file, ImageFormat::png);
    if (!written) {
        return S::failure(written.error() == ImageCodecError::unsupportedFormat
                              ? ScreenshotEditorError::encodeUnavailable
                              : ScreenshotEditorError::encodeFailed);
    }
    return succeeded<ScreenshotEditorError>();
}

} // namespace

ScreenshotCopyPersistenceCoordinator::ScreenshotCopyPersistenceCoordinator(std::unique_ptr<SerialQueue> queue,
                                                                           MainQueue& mainQueue,
                                                                           const ImageCodec& codec, const Clock& clock)
    : queue_(std::move(queue)), mainQueue_(mainQueue), codec_(codec), clock_(clock) {}

ScreenshotCopyPersistenceCoordinator::~ScreenshotCopyPersistenceCoordinator() = default;

void ScreenshotCopyPersistenceCoordinator::persist(Image image, std::filesystem::path file, Completion completion) {
    pending_.fetch_add(1);
    queue_->async([this, image = std::move(image), file = std::move(file), completion = std::move(completion)] {
        const double start = clock_.monotonicSeconds();
        auto result = writePng(codec_, image, file);
        const double elapsed = clock_.monotonicSeconds() - start;
        const auto encodeMs = std::max<std::int64_t>(0, static_cast<std::int64_t>(std::trunc(elapsed * 1000)));
        mainQueue_.post([this, result = std::move(result), encodeMs, completion] {
            if (completion) {
                completion(result, encodeMs);
            }
            pending_.fetch_sub(1);
        });
    });
}

bool ScreenshotCopyPersistenceCoordinator::flushPendingWrites(double timeoutSeconds) {
    const double deadline = clock_.monotonicSeconds() + timeoutSeconds;
    for (double now = clock_.monotonicSeconds(); now < deadline; now = clock_.monotonicSeconds()) {
        if (pending_.load() == 0) {
            return true;
        }
        mainQueue_.runFor(std::min(0.01, deadline - now));
    }
    return pending_.load() == 0;
}

} // namespace brisklet
