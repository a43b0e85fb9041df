#pragma once

#include "ZelvorApp/Memory/VisualMemoryAnalyzer.h"
#include "ZelvorApp/Memory/VisualMemoryEnvironment.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <vector>

namespace brisklet {

/// Records exports into the library, analyses them in the background, and runs the library's
/// clean-ups at the moments the application asks for them, with their log lines.
class VisualMemoryRecordingService {
public:
    using Items = std::vector<VisualMemoryItem>;

    struct ManualCleanupResult {
        int removedItems = 0;
        std::int64_t freedBytes = 0;
        Items items;
    };

    VisualMemoryRecordingService(VisualMemoryEnvironment environment, VisualMemoryAnalyzer& analyzer);
    ~VisualMemoryRecordingService();
    VisualMemoryRecordingService(const VisualMemoryRecordingService&) = delete;
    VisualMemoryRecordingService& operator=(const VisualMemoryRecordingService&) = delete;

    /// Records the exported file (unless its kind is not saved and `force` is off) and starts its
    /// analysis in the background. Returns the recorded item.
    std::optional<VisualMemoryItem> record(const std::filesystem::path& url, ExportKind kind,
                                           const VisualMemorySource& source, bool force = false);
    /// The recording without the analysis.
    std::optional<VisualMemoryItem> recordWithoutAnalysis(const std::filesystem::path& url, ExportKind kind,
                                                          const VisualMemorySource& source, bool force = false);
    /// Analyses on the background queue and applies the result on the main queue.
    void analyzeInBackground(const VisualMemoryItem& item, const VisualMemorySource& source);
    /// Analyses on the calling thread (which must be allowed to touch the store) and applies the
    /// result. Returns the error when the analysis failed.
    std::optional<VisualMemoryAnalysisError> analyzeNow(const VisualMemoryItem& item, const VisualMemorySource& source);
    /// Stores an analysis for `item` unless the user removed the item meanwhile.
    void applyAnalysis(const VisualMemoryItem& item, const VisualMemoryAnalysis& analysis);

    /// Missing files, expired items, storage limit; logged with each step's duration.
    Items startupCleanup();
    /// Expired items and storage limit after the library window appeared.
    Items postPresentCleanup();
    /// Expired items, after the preferences changed.
    Items preferencesChangedCleanup();
    /// The user's clean-up-now command: everything, reporting what it freed.
    ManualCleanupResult cleanupNow();

private:
    Items cleanupAfterChange(const AppPreferences& preferences);
    long long elapsedMs(double since) const;

    VisualMemoryEnvironment env_;
    VisualMemoryAnalyzer& analyzer_;
    std::shared_ptr<bool> alive_;
};

} // namespace brisklet
