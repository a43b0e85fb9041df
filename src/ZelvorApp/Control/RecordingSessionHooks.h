#pragma once

#include "ZelvorApp/Control/ExportBookkeeping.h"
#include "ZelvorCore/Models/ExportKind.h"

#include <filesystem>
#include <functional>

namespace brisklet {

class ExportService;

/// How a GIF or video recording session talks back to the controller.
struct RecordingSessionHooks {
    /// The recorded time and the length limit (0 when there is none), for the bars and the panel.
    std::function<void(double elapsed, double maxDuration)> progressed;
    /// The file was written (or could not be): the controller's bookkeeping takes over.
    std::function<void(const ExportOutcome&, ExportKind)> finished;
    /// The recording ended by itself (its length was reached): the controller moves on as after Stop.
    std::function<void()> stopRequested;
    /// The user discarded the draft: the controller cancels the session.
    std::function<void()> cancelRequested;
    /// The finished file goes on the clipboard (the copy-after-export preference).
    std::function<void(const std::filesystem::path&)> copyFile;

    /// These hooks, with a finished file copied as a file reference when no other copy is set:
    /// it then pastes as an animation or a video into chats and mails.
    RecordingSessionHooks copyingFilesWith(ExportService& exportService) &&;
};

} // namespace brisklet
