#pragma once

#include "ZelvorApp/Background/GIFBackgroundRenderer.h"
#include "ZelvorApp/Background/GIFRenderContext.h"
#include "ZelvorApp/Recording/GIFPostProcessor.h"
#include "ZelvorApp/Recording/GIFRecorderError.h"
#include "ZelvorApp/Recording/GIFRecordingDraft.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

class BackgroundRenderer;
class GIFAnnotationFrameRenderer;
class LocalizationStore;
class MainQueue;

/// State of the GIF editing window: the kept range, the background, the playhead and its
/// playback, and the export's progress. Main thread only; `onChange` runs after every change the
/// window shows.
class GIFPostProcessingModel {
public:
    static constexpr double kMinimumSelection = 0.08;
    static constexpr double kPlaybackInterval = 1.0 / 24.0;
    static constexpr std::size_t kMaxThumbnails = 10;

    GIFPostProcessingModel(const GIFRecordingDraft& draft, MainQueue& mainQueue, const LocalizationStore& localization);
    ~GIFPostProcessingModel();
    GIFPostProcessingModel(const GIFPostProcessingModel&) = delete;
    GIFPostProcessingModel& operator=(const GIFPostProcessingModel&) = delete;

    std::function<void()> onChange;

    double startTime() const { return startTime_; }
    double endTime() const { return endTime_; }
    double playheadTime() const { return playheadTime_; }
    bool isPlaying() const { return isPlaying_; }
    bool isExporting() const { return isExporting_; }
    const std::optional<std::string>& exportErrorMessage() const { return exportErrorMessage_; }
    std::optional<double> exportProgress() const { return exportProgress_; }
    const std::vector<GIFTrimSegment>& segments() const { return segments_; }
    double duration() const { return duration_; }
    const std::vector<CapturedGIFFrame>& frames() const { return frames_; }
    const std::vector<std::shared_ptr<const Image>>& timelineThumbnails() const { return thumbnails_; }
    Size contentSize() const { return contentSize_; }
    /// Drawn into previews and the export.
    const std::optional<GIFAnnotationExportPlan>& annotationExportPlan() const { return annotationExportPlan_; }
    int playbackTickCount() const { return playbackTickCount_; }
    const GIFBackgroundChoice& backgroundChoice() const { return backgroundChoice_; }

    /// Selects [start, end], clamped to the recording and widened to the minimum length on the
    /// side that did not move.
    void setSelection(double start, double end);
    void setPlayheadTime(double time);
    void togglePlayback();
    void stopPlayback();
    void advancePlayback(double seconds);
    void removeSegment(const Uuid& id);
    void setBackgroundChoice(GIFBackgroundChoice choice);
    /// The chosen background laid out for `contentSize`; nothing for `none`.
    std::optional<BackgroundComposition> backgroundComposition() const;
    /// The kept range and the background, as the export needs them.
    GIFPostProcessingOptions options() const;
    void beginExport();
    void updateExportProgress(double fraction);
    void finishExportFailure(GIFRecorderError error);
    /// The export failed with a message already in the user's language.
    void finishExportFailure(std::string message);
    /// Export is offered while nothing is being written and there is something to write.
    bool canExport() const { return !isExporting_ && !frames_.empty(); }
    /// "Exporting… 42%" while an export runs.
    std::optional<std::string> exportStatusText() const;
    /// The kept length out of the whole recording, in the user's language.
    std::string selectionSummary() const;
    /// Moves the playhead to the next (`direction` > 0) or previous recorded frame; stops playback.
    void stepPlayhead(int direction);
    /// The recorded frame shown at the playhead.
    std::optional<CapturedGIFFrame> playheadFrame() const;
    /// The playhead frame as the export will show it: the annotations active at the playhead
    /// drawn on it (when there is a plan and an annotation renderer), then put on the chosen
    /// background (when there is one and a background renderer). When the background cannot be
    /// drawn the annotated frame is shown; the export reports the failure. Empty when there are
    /// no frames. The background is drawn once per choice and reused while the playhead moves.
    Image renderedPreviewImage(const GIFAnnotationFrameRenderer* annotations,
                               const BackgroundRenderer* background) const;
    /// The recorded frame at the playhead as it was captured, for the playhead's bubble; null
    /// when there are no frames.
    std::shared_ptr<const Image> playheadThumbnailImage() const;
    /// The playhead as "m:ss.cc".
    std::string playheadTimestamp() const;
    /// Seconds of recording time as "m:ss.cc".
    static std::string formatTimestamp(double seconds);

private:
    void scheduleTick();
    void changed() const {
        if (onChange)
            onChange();
    }

    MainQueue& mainQueue_;
    const LocalizationStore& localization_;
    std::vector<CapturedGIFFrame> frames_;
    double duration_ = 0;
    double startTime_ = 0;
    double endTime_ = 0;
    double playheadTime_ = 0;
    bool isPlaying_ = false;
    bool isExporting_ = false;
    std::optional<std::string> exportErrorMessage_;
    std::optional<double> exportProgress_;
    std::vector<GIFTrimSegment> segments_;
    std::vector<std::shared_ptr<const Image>> thumbnails_;
    Size contentSize_;
    std::optional<GIFAnnotationExportPlan> annotationExportPlan_;
    int playbackTickCount_ = 0;
    GIFBackgroundChoice backgroundChoice_ = GIFBackgroundChoice::none();
    /// The background of the last preview, for as long as the choice, the renderer and the
    /// frame size stay the same.
    mutable std::optional<GIFRenderContext> previewContext_;
    mutable const BackgroundRenderer* previewRenderer_ = nullptr;
    mutable Size previewFrameSize_;
    unsigned long long timerID_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
