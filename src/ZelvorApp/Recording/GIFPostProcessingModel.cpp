#include "ZelvorApp/Recording/GIFPostProcessingModel.h"

#include "Platform/MainQueue.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Recording/GIFExportFrameRenderer.h"
#include "ZelvorApp/Recording/GIFTimelinePreviewResolver.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brisklet {

namespace {

constexpr double kMinimumDuration = 0.05;
/// How close to the end the playhead counts as "at the end" when play is pressed.
constexpr double kEndTolerance = 0.001;

} // namespace

GIFPostProcessingModel::GIFPostProcessingModel(const GIFRecordingDraft& draft, MainQueue& mainQueue,
                                               const LocalizationStore& localization)
    : mainQueue_(mainQueue), localization_(localization), frames_(draft.frames),
      annotationExportPlan_(draft.annotationExportPlan) {
    std::stable_sort(frames_.begin(), frames_.end(),
                     [](const CapturedGIFFrame& a, const CapturedGIFFrame& b) { return a.timestamp < b.timestamp; });
    duration_ = std::max(draft.recordingDuration, kMinimumDuration);
    setSelection(0, duration_);
    playheadTime_ = startTime_;
    if (const auto middle = GIFTimelinePreviewResolver::nearestFrame(frames_, duration_ / 2); middle && middle->image) {
        contentSize_ = Size{static_cast<double>(middle->image->width()), static_cast<double>(middle->image->height())};
    }
    const std::size_t count = std::min(frames_.size(), kMaxThumbnails);
    for (std::size_t i = 0; i < count; ++i) {
        // Evenly spread over the recording, first and last frame included.
        const std::size_t index = count == 1 ? 0 : i * (frames_.size() - 1) / (count - 1);
        thumbnails_.push_back(frames_[index].image);
    }
}

GIFPostProcessingModel::~GIFPostProcessingModel() {
    *alive_ = false;
}

void GIFPostProcessingModel::setSelection(double start, double end) {
    const double d = duration_;
    const double minimum = std::min(d, kMinimumSelection);
    double s = std::clamp(start, 0.0, d);
    double e = std::clamp(end, 0.0, d);
    if (std::abs(e - s) < minimum) {
        if (s > startTime_) {
            e = std::min(s + minimum, d);
            s = std::min(s, e - minimum);
        } else {
            s = std::max(e - minimum, 0.0);
            e = std::max(e, s + minimum);
        }
    }
    startTime_ = s;
    endTime_ = e;
    segments_ = GIFPostProcessor::normalizedSegments({GIFTrimSegment{Uuid::generate(), std::min(s, e), std::max(s, e)}},
                                                     duration_);
    changed();
}

void GIFPostProcessingModel::setPlayheadTime(double time) {
    playheadTime_ = std::clamp(time, 0.0, duration_);
    changed();
}

void GIFPostProcessingModel::togglePlayback() {
    if (isPlaying_) {
        stopPlayback();
        return;
    }
    if (playheadTime_ >= endTime_ - kEndTolerance) {
        playheadTime_ = startTime_;
    }
    isPlaying_ = true;
    playbackTickCount_ = 0;
    scheduleTick();
    changed();
}

void GIFPostProcessingModel::scheduleTick() {
    const auto id = ++timerID_;
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.postAfter(kPlaybackInterval, [this, alive, id] {
        if (alive.expired() || !*alive.lock() || id != timerID_ || !isPlaying_)
            return;
        advancePlayback(kPlaybackInterval);
        if (isPlaying_ && id == timerID_)
            scheduleTick();
    });
}

void GIFPostProcessingModel::stopPlayback() {
    ++timerID_;
    isPlaying_ = false;
    changed();
}

void GIFPostProcessingModel::advancePlayback(double seconds) {
    if (!isPlaying_)
        return;
    ++playbackTickCount_;
    const double t = playheadTime_ + seconds;
    if (t >= endTime_) {
        playheadTime_ = endTime_;
        stopPlayback();
        return;
    }
    playheadTime_ = std::max(t, startTime_);
    changed();
}

void GIFPostProcessingModel::removeSegment(const Uuid& id) {
    std::erase_if(segments_, [&](const GIFTrimSegment& s) { return s.id == id; });
    changed();
}

void GIFPostProcessingModel::setBackgroundChoice(GIFBackgroundChoice choice) {
    backgroundChoice_ = std::move(choice);
    changed();
}

std::optional<BackgroundComposition> GIFPostProcessingModel::backgroundComposition() const {
    return backgroundChoice_.composition(contentSize_);
}

GIFPostProcessingOptions GIFPostProcessingModel::options() const {
    GIFPostProcessingOptions result;
    result.segments =
        GIFPostProcessor::normalizedSegments({GIFTrimSegment{Uuid::generate(), startTime_, endTime_}}, duration_);
    result.backgroundComposition = backgroundComposition();
    return result;
}

void GIFPostProcessingModel::beginExport() {
    stopPlayback();
    isExporting_ = true;
    exportErrorMessage_.reset();
    exportProgress_ = 0.0;
    changed();
}

void GIFPostProcessingModel::updateExportProgress(double fraction) {
    exportProgress_ = std::clamp(fraction, 0.0, 1.0);
    changed();
}

void GIFPostProcessingModel::finishExportFailure(GIFRecorderError error) {
    finishExportFailure(localization_.text(messageKey(error)));
}

std::optional<CapturedGIFFrame> GIFPostProcessingModel::playheadFrame() const {
    return GIFTimelinePreviewResolver::nearestFrame(frames_, playheadTime_);
}

Image GIFPostProcessingModel::renderedPreviewImage(const GIFAnnotationFrameRenderer* annotations,
                                                   const BackgroundRenderer* background) const {
    const auto frame = playheadFrame();
    if (!frame || !frame->image)
        return Image();
    Image annotated =
        annotations && annotationExportPlan_
            ? GIFExportFrameRenderer::annotatedFrame(*frame->image, playheadTime_, *annotationExportPlan_, *annotations)
            : *frame->image;
    const auto composition = backgroundComposition();
    if (!composition || !background || annotated.isEmpty())
        return annotated;
    const Size frameSize{static_cast<double>(annotated.width()), static_cast<double>(annotated.height())};
    if (!previewContext_ || previewRenderer_ != background || previewFrameSize_ != frameSize ||
        previewContext_->composition() != *composition) {
        previewContext_.reset();
        auto made = GIFRenderContext::make(frameSize, *composition, *background);
        if (!made)
            return annotated;
        previewContext_.emplace(std::move(made).value());
        previewRenderer_ = background;
        previewFrameSize_ = frameSize;
    }
    auto composed = previewContext_->render(annotated);
    return composed ? std::move(composed).value() : annotated;
}

std::shared_ptr<const Image> GIFPostProcessingModel::playheadThumbnailImage() const {
    const auto frame = playheadFrame();
    return frame ? frame->image : nullptr;
}

std::string GIFPostProcessingModel::playheadTimestamp() const {
    return formatTimestamp(playheadTime_);
}

std::string GIFPostProcessingModel::formatTimestamp(double seconds) {
    const long long hundredths = std::llround(std::max(seconds, 0.0) * 100);
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%lld:%02lld.%02lld", hundredths / 6000, (hundredths / 100) % 60,
                  hundredths % 100);
    return buffer;
}

void GIFPostProcessingModel::finishExportFailure(std::string message) {
    isExporting_ = false;
    exportProgress_.reset();
    exportErrorMessage_ = std::move(message);
    changed();
}

std::optional<std::string> GIFPostProcessingModel::exportStatusText() const {
    if (!isExporting_)
        return std::nullopt;
    const int percent = static_cast<int>(std::lround(exportProgress_.value_or(0) * 100));
    return localization_.format(L10nKey::recordingExportProgress, {percent});
}

std::string GIFPostProcessingModel::selectionSummary() const {
    return localization_.format(L10nKey::recordingSelectionDuration, {std::abs(endTime_ - startTime_), duration_});
}

void GIFPostProcessingModel::stepPlayhead(int direction) {
    if (direction == 0 || frames_.empty())
        return;
    if (isPlaying_)
        stopPlayback();
    // Half a hundredth of tolerance, so a playhead set from a frame's time counts as on it.
    constexpr double tolerance = 0.005;
    double target = playheadTime_;
    if (direction > 0) {
        const auto next = std::find_if(frames_.begin(), frames_.end(), [&](const CapturedGIFFrame& f) {
            return f.timestamp > playheadTime_ + tolerance;
        });
        target = next != frames_.end() ? next->timestamp : duration_;
    } else {
        const auto previous = std::find_if(frames_.rbegin(), frames_.rend(), [&](const CapturedGIFFrame& f) {
            return f.timestamp < playheadTime_ - tolerance;
        });
        target = previous != frames_.rend() ? previous->timestamp : 0.0;
    }
    setPlayheadTime(target);
}

} // namespace brisklet
