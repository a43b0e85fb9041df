#pragma once

#include "ZelvorApp/Video/VideoRecorderError.h"
#include "ZelvorApp/Video/VideoRecordingDraft.h"
#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/Result.h"

#include <cstdint>
#include <filesystem>
#include <functional>

namespace brisklet {

class MainQueue;
class SerialQueue;

/// Copies a recorded draft into its destination and checks the copy, so the exported file is
/// known to be whole before anyone is told it exists. An existing file is never replaced, and the
/// draft itself is left untouched, so a failed export can be tried again.
class VideoDraftExporter {
public:
    using ByteCount = std::uintmax_t;
    using ProgressHandler = std::function<void(double progress)>;
    using Completion = std::function<void(Result<ByteCount, VideoRecorderError>)>;

    VideoDraftExporter(SerialQueue& exportQueue, MainQueue& mainQueue);

    /// Copies `draft` to `destination` on the export queue; `progress` and `completion` run on the
    /// main queue.
    void exportDraft(const VideoRecordingDraft& draft, const std::filesystem::path& destination,
                     ProgressHandler progress, Completion completion);

    /// The copy itself, on the caller's thread: the source is validated, the copy goes through a
    /// temporary name beside the destination, and a copy whose size differs is removed.
    static Result<ByteCount, VideoRecorderError> copyValidatedFile(const std::filesystem::path& from,
                                                                   const std::filesystem::path& to);
    /// The size of a regular, readable, non-empty file; `exportFailed` otherwise.
    static Result<ByteCount, VideoRecorderError> validatedFileByteCount(const std::filesystem::path& file);
    /// The export directory's next free name for the draft's format.
    static Result<std::filesystem::path, VideoRecorderError> destinationFor(const VideoRecordingDraft& draft,
                                                                            Date date);

private:
    SerialQueue& exportQueue_;
    MainQueue& mainQueue_;
};

} // namespace brisklet
