#pragma once

#include "ZelvorApp/Recording/GIFPostProcessor.h"
#include "ZelvorApp/Recording/GIFRecordingDraft.h"

#include <functional>
#include <string>

namespace brisklet {

/// The window where a finished GIF recording is trimmed, previewed and put on a background
/// before anything is written. Whoever presents it writes the file and reports back.
class GIFPostProcessingPort {
public:
    struct Handlers {
        /// The user asked for the export with these options; the window stays open and shows
        /// progress until `close()` or `exportFailed()`.
        std::function<void(GIFPostProcessingOptions)> onExport;
        /// The user discarded the recording (or cancelled the export in progress).
        std::function<void()> onCancel;
    };
    virtual ~GIFPostProcessingPort() = default;
    virtual void present(const GIFRecordingDraft& draft, Handlers handlers) = 0;
    /// Export progress from 0 to 1.
    virtual void exportProgressed(double fraction) = 0;
    /// The export failed; the window shows `message` and lets the user try again or cancel.
    virtual void exportFailed(const std::string& message) = 0;
    virtual void close() = 0;
};

} // namespace brisklet
