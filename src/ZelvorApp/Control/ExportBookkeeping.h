#pragma once

#include "ZelvorApp/Control/AppFlowError.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailPresentationContext.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/ExportKind.h"
#include "ZelvorCore/Models/ExportedAsset.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>

namespace brisklet {

class AppModel;
class RecentExportStore;
struct AppEnvironment;

using ExportOutcome = Result<std::filesystem::path, AppFlowError>;

/// Where every flow that produced a file (or failed to) ends: the recent list, the library, the
/// thumbnail or alert, and the state back to idle.
class ExportBookkeeping {
public:
    static constexpr double failureResetSeconds = 1.2;

    ExportBookkeeping(AppEnvironment& environment, AppModel& model, RecentExportStore& recentStore);
    ~ExportBookkeeping();

    void handleExportOutcome(const ExportOutcome& outcome, ExportKind kind);

    /// The source application noted when a capture of `kind` started.
    void notePendingSource(ExportKind kind, const VisualMemorySource& source);
    /// Removes and returns the noted source, or the current one.
    VisualMemorySource takePendingSource(ExportKind kind);
    /// Where a capture of `kind` was taken, so its thumbnail shows on that display.
    void notePendingThumbnailContext(ExportKind kind, const FloatingThumbnailPresentationContext& context);
    FloatingThumbnailPresentationContext takePendingThumbnailContext(ExportKind kind);

    /// The next screenshot export is recorded in the library whatever the save flag says.
    void forceNextScreenshotRecording() { forcesNextScreenshotRecording_ = true; }
    bool forcesNextScreenshotRecording() const { return forcesNextScreenshotRecording_; }
    /// Reads and clears the flag.
    bool takeForceFlag();

    /// Records `url` (and its size) in the recent list; returns the asset.
    ExportedAsset recordRecentExport(const std::filesystem::path& url, ExportKind kind);
    /// Records into the library when the kind's flag or `force` says so; the analysis follows in
    /// the background.
    void recordVisualMemory(const ExportedAsset& asset, const VisualMemorySource& source, bool force);
    /// Shows an error with its localised message and holds `exportFailure` for 1.2 s.
    void presentFailure(const AppFlowError& error);

private:
    void presentSuccess(const ExportedAsset& asset, const VisualMemorySource& source,
                        const FloatingThumbnailPresentationContext& context, bool force);
    void showExportAlert(const ExportedAsset& asset);

    AppEnvironment& env_;
    AppModel& model_;
    RecentExportStore& recentStore_;
    std::map<ExportKind, VisualMemorySource> pendingSources_;
    std::map<ExportKind, FloatingThumbnailPresentationContext> pendingThumbnailContexts_;
    bool forcesNextScreenshotRecording_ = false;
    std::shared_ptr<bool> alive_;
};

} // namespace brisklet
