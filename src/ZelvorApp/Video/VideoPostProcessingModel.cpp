#include "ZelvorApp/Video/VideoPostProcessingModel.h"

#include "Platform/VideoFrameReader.h"

#include <algorithm>

namespace brisklet {

VideoPostProcessingModel::VideoPostProcessingModel(VideoRecordingDraft draft) : draft_(std::move(draft)) {}

std::optional<Image> VideoPostProcessingModel::makePreviewImage(const VideoFrameReader& reader,
                                                                const std::filesystem::path& file) {
    auto frame = reader.firstFrame(file, kPreviewMaxWidth, kPreviewMaxHeight);
    if (!frame) {
        return std::nullopt;
    }
    return std::move(frame).value();
}

void VideoPostProcessingModel::loadPreview(const VideoFrameReader& reader) {
    previewImage_ = makePreviewImage(reader, draft_.temporaryURL);
}

bool VideoPostProcessingModel::beginExport() {
    if (isExporting_) {
        return false;
    }
    isExporting_ = true;
    exportProgress_ = 0.0;
    exportErrorMessage_.reset();
    return true;
}

void VideoPostProcessingModel::updateExportProgress(double progress) {
    if (isExporting_) {
        exportProgress_ = std::clamp(progress, 0.0, 1.0);
    }
}

void VideoPostProcessingModel::finishExportSuccess() {
    isExporting_ = false;
    exportProgress_ = 1.0;
}

void VideoPostProcessingModel::finishExportFailure(std::string message) {
    isExporting_ = false;
    exportProgress_.reset();
    exportErrorMessage_ = std::move(message);
}

} // namespace brisklet
