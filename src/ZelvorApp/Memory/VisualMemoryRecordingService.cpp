#include "ZelvorApp/Memory/VisualMemoryRecordingService.h"

#include "ZelvorApp/Memory/VisualMemoryBackgroundAnalysis.h"

#include "Platform/Clock.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Memory/VisualMemorySummaryTagger.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <algorithm>
#include <cmath>

namespace brisklet {

namespace fs = std::filesystem;

VisualMemoryRecordingService::VisualMemoryRecordingService(VisualMemoryEnvironment environment,
                                                           VisualMemoryAnalyzer& analyzer)
    : env_(std::move(environment)), analyzer_(analyzer), alive_(std::make_shared<bool>(true)) {}

VisualMemoryRecordingService::~VisualMemoryRecordingService() = default;

long long VisualMemoryRecordingService::elapsedMs(double since) const {
    const double seconds = env_.clock.monotonicSeconds() - since;
    return std::max(0LL, static_cast<long long>(std::floor(seconds * 1000.0)));
}

VisualMemoryRecordingService::Items
VisualMemoryRecordingService::cleanupAfterChange(const AppPreferences& preferences) {
    env_.store.cleanupExpiredItems(preferences, env_.clock.now());
    return env_.store.cleanupStorageLimit(preferences.visualMemoryStorageLimit);
}

std::optional<VisualMemoryItem> VisualMemoryRecordingService::recordWithoutAnalysis(const fs::path& url,
                                                                                    ExportKind kind,
                                                                                    const VisualMemorySource& source,
                                                                                    bool force) {
    const AppPreferences preferences = env_.preferences();
    if (!force && !savesToVisualMemory(kind, preferences)) {
        return std::nullopt;
    }
    const Date now = env_.clock.now();
    VisualMemoryItem item = VisualMemoryItem::forFile(url, kind, now);
    item.sourceApp = source.appName;
    item.sourceWindow = source.windowTitle;
    item.sourceURL = source.url;
    const std::string fileName = item.url.filename().string();
    item.summary = VisualMemorySummaryTagger::makeSummary(fileName, "", source, kind);
    item.tags = VisualMemorySummaryTagger::makeTags(fileName, "", source, kind);
    item.expiresAt = expirationDate(retentionPeriod(kind, preferences), now);
    std::error_code error;
    if (const auto size = fs::file_size(item.url, error); !error) {
        item.byteCount = static_cast<std::int64_t>(size);
    }
    env_.store.upsert(item);
    const Items items = cleanupAfterChange(preferences);
    env_.publishItems(items);
    RuntimeLogger::log("visualMemory recorded kind=" + std::string(toString(kind)) + " url=" + item.url.string() +
                       " items=" + std::to_string(items.size()));
    return item;
}

std::optional<VisualMemoryItem> VisualMemoryRecordingService::record(const fs::path& url, ExportKind kind,
                                                                     const VisualMemorySource& source, bool force) {
    auto item = recordWithoutAnalysis(url, kind, source, force);
    if (item) {
        analyzeInBackground(*item, source);
    }
    return item;
}

void VisualMemoryRecordingService::analyzeInBackground(const VisualMemoryItem& item, const VisualMemorySource& source) {
    VisualMemoryBackgroundAnalysis::run(
        env_, analyzer_, item, source, alive_, [this, item](const VisualMemoryBackgroundAnalysis::Outcome& result) {
            if (!result) {
                RuntimeLogger::log("visualMemory analyze failed url=" + item.url.string() +
                                   " error=" + result.error().description);
                return;
            }
            applyAnalysis(item, result.value());
        });
}

std::optional<VisualMemoryAnalysisError> VisualMemoryRecordingService::analyzeNow(const VisualMemoryItem& item,
                                                                                  const VisualMemorySource& source) {
    auto result = analyzer_.analyze(item.url, item.kind, source);
    if (!result) {
        RuntimeLogger::log("visualMemory analyze failed url=" + item.url.string() +
                           " error=" + result.error().description);
        return result.error();
    }
    applyAnalysis(item, result.value());
    return std::nullopt;
}

void VisualMemoryRecordingService::applyAnalysis(const VisualMemoryItem& item, const VisualMemoryAnalysis& analysis) {
    if (VisualMemoryBackgroundAnalysis::store(env_.store, item, analysis)) {
        env_.publishItems(cleanupAfterChange(env_.preferences()));
    }
}

VisualMemoryRecordingService::Items VisualMemoryRecordingService::startupCleanup() {
    const AppPreferences preferences = env_.preferences();
    const double start = env_.clock.monotonicSeconds();
    env_.store.cleanupMissingFiles();
    const long long missingMs = elapsedMs(start);
    const double expiredStart = env_.clock.monotonicSeconds();
    env_.store.cleanupExpiredItems(preferences, env_.clock.now());
    const long long expiredMs = elapsedMs(expiredStart);
    const double storageStart = env_.clock.monotonicSeconds();
    Items items = env_.store.cleanupStorageLimit(preferences.visualMemoryStorageLimit);
    const long long storageMs = elapsedMs(storageStart);
    env_.publishItems(items);
    RuntimeLogger::log("visualMemory startup cleanup completed items=" + std::to_string(items.size()) +
                       " missingMs=" + std::to_string(missingMs) + " expiredMs=" + std::to_string(expiredMs) +
                       " storageMs=" + std::to_string(storageMs) + " totalMs=" + std::to_string(elapsedMs(start)));
    return items;
}

VisualMemoryRecordingService::Items VisualMemoryRecordingService::postPresentCleanup() {
    const AppPreferences preferences = env_.preferences();
    RuntimeLogger::log("visualMemory postPresent cleanup start items=" + std::to_string(env_.store.load().size()));
    const double start = env_.clock.monotonicSeconds();
    env_.store.cleanupExpiredItems(preferences, env_.clock.now());
    const long long expiredMs = elapsedMs(start);
    const double storageStart = env_.clock.monotonicSeconds();
    Items items = env_.store.cleanupStorageLimit(preferences.visualMemoryStorageLimit);
    const long long storageMs = elapsedMs(storageStart);
    env_.publishItems(items);
    RuntimeLogger::log("visualMemory postPresent cleanup completed items=" + std::to_string(items.size()) +
                       " expiredMs=" + std::to_string(expiredMs) + " storageMs=" + std::to_string(storageMs) +
                       " totalMs=" + std::to_string(elapsedMs(start)));
    return items;
}

VisualMemoryRecordingService::Items VisualMemoryRecordingService::preferencesChangedCleanup() {
    Items items = env_.store.cleanupExpiredItems(env_.preferences(), env_.clock.now());
    env_.publishItems(items);
    return items;
}

VisualMemoryRecordingService::ManualCleanupResult VisualMemoryRecordingService::cleanupNow() {
    const AppPreferences preferences = env_.preferences();
    const std::int64_t bytesBefore = env_.store.storageByteCount();
    const std::size_t countBefore = env_.store.load().size();
    env_.store.cleanupMissingFiles();
    env_.store.cleanupExpiredItems(preferences, env_.clock.now());
    ManualCleanupResult result;
    result.items = env_.store.cleanupStorageLimit(preferences.visualMemoryStorageLimit);
    const std::int64_t bytesAfter = env_.store.storageByteCount(result.items);
    result.removedItems = static_cast<int>(countBefore) - static_cast<int>(result.items.size());
    result.freedBytes = std::max<std::int64_t>(0, bytesBefore - bytesAfter);
    env_.publishItems(result.items);
    RuntimeLogger::log("visualMemory manual cleanup completed removedItems=" + std::to_string(result.removedItems) +
                       " freedBytes=" + std::to_string(result.freedBytes) +
                       " remainingItems=" + std::to_string(result.items.size()));
    return result;
}

} // namespace brisklet
