#pragma once

#include "ZelvorApp/Recording/CapturedGIFFrame.h"
#include "ZelvorApp/Recording/GIFAnnotationTimeline.h"
#include "ZelvorCore/Models/RecordingOptions.h"

#include <filesystem>
#include <optional>
#include <vector>

namespace brisklet {

/// A finished recording handed to the editing window instead of being written straight away.
struct GIFRecordingDraft {
    std::vector<CapturedGIFFrame> frames;
    int fps = 20;
    double recordingDuration = 0;
    /// The drawings made during the recording, drawn into previews and the export.
    std::optional<GIFAnnotationExportPlan> annotationExportPlan;
    std::filesystem::path exportDirectory;
    bool autoCopy = false;
    /// The recording's quality choice, which the export encodes with.
    RecordingQuality quality = RecordingQuality::medium;

    bool operator==(const GIFRecordingDraft&) const = default;
};

} // namespace brisklet
