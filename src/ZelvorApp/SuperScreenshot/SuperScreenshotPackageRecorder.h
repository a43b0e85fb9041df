#pragma once

#include "ZelvorApp/Memory/VisualMemoryEnvironment.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageResult.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <memory>
#include <optional>
#include <string>

namespace brisklet {

/// A written package and what went into it, as the library records it.
struct SuperScreenshotPackageRecord {
    KnowledgePackageResult package;
    /// The recognised lines joined with "\n".
    std::string ocrText;
    std::string accessibilityText;
    SuperScreenshotSource source;
    /// The page metadata as the package has it (none for applications that are not browsers).
    std::optional<BrowserCaptureMetadata> pageMetadata;
};

/// Records written knowledge packages in the visual memory as app-shot items and runs the
/// library's clean-ups after each.
class SuperScreenshotPackageRecorder {
public:
    explicit SuperScreenshotPackageRecorder(VisualMemoryEnvironment environment);
    ~SuperScreenshotPackageRecorder();
    SuperScreenshotPackageRecorder(const SuperScreenshotPackageRecorder&) = delete;
    SuperScreenshotPackageRecorder& operator=(const SuperScreenshotPackageRecorder&) = delete;

    /// Callable from any thread: the item is built and stored on the main queue (the store's
    /// thread), unless this recorder is gone by then.
    void record(SuperScreenshotPackageRecord record);

    /// The library item for `record`, created at `now`, expiring after the app-shot retention of
    /// `preferences`. Reads only the screenshot's size.
    static VisualMemoryItem makeItem(const SuperScreenshotPackageRecord& record, Date now,
                                     const AppPreferences& preferences);

private:
    void store(const SuperScreenshotPackageRecord& record);

    VisualMemoryEnvironment env_;
    std::shared_ptr<bool> alive_;
};

} // namespace brisklet
