#pragma once

#include "ZelvorCore/Models/RecordingOptions.h"

#include <filesystem>
#include <optional>
#include <string>

namespace brisklet {

/// A finished recording: the file the recorder wrote, waiting to be exported.
struct VideoRecordingDraft {
    std::filesystem::path temporaryURL;
    RecordingOutputFormat outputFormat = RecordingOutputFormat::mp4;
    std::filesystem::path exportDirectoryURL;
    bool autoCopy = false;
    /// Set when sound was asked for but the recording went on without it, and why.
    std::optional<std::string> audioUnavailableReason;

    bool operator==(const VideoRecordingDraft&) const = default;
};

/// What a capture delivers: the verified file and what happened to the sound.
struct VideoRecordingOutput {
    std::filesystem::path url;
    std::optional<std::string> audioUnavailableReason;

    bool operator==(const VideoRecordingOutput&) const = default;
};

} // namespace brisklet
