#pragma once

#include "ZelvorApp/Video/VideoRecordingDraft.h"
#include "ZelvorCore/Foundation/Image.h"

#include <optional>
#include <string>

namespace brisklet {

class VideoFrameReader;

/// What the video post-processing window shows: the draft, its first frame, and how the export
/// is going. A failed export keeps the draft, so it can be tried again.
class VideoPostProcessingModel {
public:
    static constexpr int kPreviewMaxWidth = 960;
    static constexpr int kPreviewMaxHeight = 540;

    explicit VideoPostProcessingModel(VideoRecordingDraft draft);

    const VideoRecordingDraft& draft() const { return draft_; }
    const std::optional<Image>& previewImage() const { return previewImage_; }
    bool isExporting() const { return isExporting_; }
    const std::optional<double>& exportProgress() const { return exportProgress_; }
    const std::optional<std::string>& exportErrorMessage() const { return exportErrorMessage_; }

    /// Reads the preview from the draft's file; a file without a readable picture leaves none.
    void loadPreview(const VideoFrameReader& reader);
    /// Marks an export under way; false (and nothing changes) while one already is.
    bool beginExport();
    void updateExportProgress(double progress);
    void finishExportSuccess();
    void finishExportFailure(std::string message);

    /// The first picture of `file`, upright and no larger than the preview's box.
    static std::optional<Image> makePreviewImage(const VideoFrameReader& reader, const std::filesystem::path& file);

private:
    VideoRecordingDraft draft_;
    std::optional<Image> previewImage_;
    bool isExporting_ = false;
    std::optional<double> exportProgress_;
    std::optional<std::string> exportErrorMessage_;
};

} // namespace brisklet
