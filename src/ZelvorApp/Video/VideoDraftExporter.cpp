#include "ZelvorApp/Video/VideoDraftExporter.h"

#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Foundation/AtomicFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

bool isReadable(const fs::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    ::close(fd);
    return true;
}

} // namespace

VideoDraftExporter::VideoDraftExporter(SerialQueue& exportQueue, MainQueue& mainQueue)
    : exportQueue_(exportQueue), mainQueue_(mainQueue) {}

Result<VideoDraftExporter::ByteCount, VideoRecorderError>
VideoDraftExporter::validatedFileByteCount(const fs::path& file) {
    using R = Result<ByteCount, VideoRecorderError>;
    std::error_code error;
    const auto status = fs::status(file, error);
    if (error || !fs::is_regular_file(status) || !isReadable(file)) {
        return R::failure(VideoRecorderError::exportFailed());
    }
    const ByteCount size = fs::file_size(file, error);
    if (error || size == 0) {
        return R::failure(VideoRecorderError::exportFailed());
    }
    return R::success(size);
}

Result<VideoDraftExporter::ByteCount, VideoRecorderError> VideoDraftExporter::copyValidatedFile(const fs::path& from,
                                                                                                const fs::path& to) {
    using R = Result<ByteCount, VideoRecorderError>;
    const auto sourceSize = validatedFileByteCount(from);
    if (!sourceSize) {
        return sourceSize;
    }
    std::error_code error;
    if (fs::exists(fs::symlink_status(to, error))) {
        return R::failure(VideoRecorderError::underlying(std::make_error_code(std::errc::file_exists).message()));
    }
    if (const std::error_code copyError = copyFileWithoutOverwriting(from, to)) {
        return R::failure(VideoRecorderError::underlying(copyError.message()));
    }
    const auto copySize = validatedFileByteCount(to);
    if (!copySize || copySize.value() != sourceSize.value()) {
        fs::remove(to, error);
        return R::failure(VideoRecorderError::exportFailed());
    }
    return copySize;
}

Result<fs::path, VideoRecorderError> VideoDraftExporter::destinationFor(const VideoRecordingDraft& draft, Date date) {
    using R = Result<fs::path, VideoRecorderError>;
    const ExportKind kind =
        draft.outputFormat == RecordingOutputFormat::mov ? ExportKind::videoMOV : ExportKind::videoMP4;
    auto file = FileNameBuilder::makeFileURL(kind, draft.exportDirectoryURL, date);
    if (!file) {
        return R::failure(VideoRecorderError::underlying(file.error().message()));
    }
    return R::success(file.value());
}

void VideoDraftExporter::exportDraft(const VideoRecordingDraft& draft, const fs::path& destination,
                                     ProgressHandler progress, Completion completion) {
    exportQueue_.async([this, source = draft.temporaryURL, destination, progress = std::move(progress),
                        completion = std::move(completion)]() mutable {
        RuntimeLogger::log("Video export copy begin source=" + source.string() +
                           " destination=" + destination.string());
        auto copied = copyValidatedFile(source, destination);
        if (copied) {
            RuntimeLogger::log("Video export copy completed destination=" + destination.string() +
                               " bytes=" + std::to_string(copied.value()));
        }
        mainQueue_.post(
            [copied = std::move(copied), progress = std::move(progress), completion = std::move(completion)]() mutable {
                if (copied && progress) {
                    progress(1.0);
                }
                if (completion) {
                    completion(std::move(copied));
                }
            });
    });
}

} // namespace brisklet
