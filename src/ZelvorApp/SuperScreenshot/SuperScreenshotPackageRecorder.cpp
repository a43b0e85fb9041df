#include "ZelvorApp/SuperScreenshot/SuperScreenshotPackageRecorder.h"

#include "Platform/Clock.h"
#include "Platform/MainQueue.h"
#include "ZelvorApp/Memory/VisualMemorySummaryTagger.h"
#include "ZelvorCore/Models/VisualMemoryText.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <filesystem>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

std::string analysisText(const SuperScreenshotPackageRecord& record) {
    std::string out;
    for (const std::string* part : {&record.ocrText, &record.accessibilityText, &record.package.contextText}) {
        if (part->empty()) {
            continue;
        }
        if (!out.empty()) {
            out += '\n';
        }
        out += *part;
    }
    return out;
}

} // namespace

SuperScreenshotPackageRecorder::SuperScreenshotPackageRecorder(VisualMemoryEnvironment environment)
    : env_(std::move(environment)), alive_(std::make_shared<bool>(true)) {}

SuperScreenshotPackageRecorder::~SuperScreenshotPackageRecorder() = default;

VisualMemoryItem SuperScreenshotPackageRecorder::makeItem(const SuperScreenshotPackageRecord& record, Date now,
                                                          const AppPreferences& preferences) {
    const auto& page = record.pageMetadata;
    VisualMemorySource source;
    source.appName = record.source.appName;
    source.windowTitle = page && page->title ? page->title : record.source.windowTitle;
    source.url = page && page->url ? page->url : record.source.sourceURL;

    VisualMemoryItem item = VisualMemoryItem::forFile(record.package.screenshotURL, ExportKind::appshot, now);
    item.sourceApp = source.appName;
    item.sourceWindow = source.windowTitle;
    item.sourceURL = source.url;
    const std::string fileName = record.package.screenshotURL.filename().string();
    const std::string text = analysisText(record);
    const std::string pageTitle = page && page->title ? memorytext::trimmed(*page->title) : std::string();
    item.summary = !pageTitle.empty()
                       ? pageTitle
                       : VisualMemorySummaryTagger::makeSummary(fileName, text, source, ExportKind::appshot);
    item.tags = VisualMemorySummaryTagger::makeTags(fileName, text, source, ExportKind::appshot);
    std::error_code error;
    if (const auto size = fs::file_size(record.package.screenshotURL, error); !error) {
        item.byteCount = static_cast<std::int64_t>(size);
    }
    item.expiresAt = expirationDate(retentionPeriod(ExportKind::appshot, preferences), now);
    item.ocrText = record.ocrText;
    item.contextText = record.package.contextText;
    item.packagePath = record.package.packageDirectory.string();
    item.contextKind = VisualMemoryContextKind::appshot;
    if (page) {
        item.browserDeepCaptureStatus = page->status;
    }
    return item;
}

void SuperScreenshotPackageRecorder::record(SuperScreenshotPackageRecord record) {
    std::weak_ptr<bool> alive = alive_;
    env_.mainQueue.post([this, alive, record = std::move(record)] {
        if (!alive.expired()) {
            store(record);
        }
    });
}

void SuperScreenshotPackageRecorder::store(const SuperScreenshotPackageRecord& record) {
    const AppPreferences preferences = env_.preferences();
    const Date now = env_.clock.now();
    env_.store.upsert(makeItem(record, now, preferences));
    env_.store.cleanupExpiredItems(preferences, now);
    env_.publishItems(env_.store.cleanupStorageLimit(preferences.visualMemoryStorageLimit));
}

} // namespace brisklet
