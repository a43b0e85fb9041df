#include "ZelvorApp/Memory/ClipboardVisualMemoryRecorder.h"

#include "ZelvorApp/Memory/VisualMemoryBackgroundAnalysis.h"

#include "Platform/Clock.h"
#include "Platform/ImageCodec.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Memory/ClipboardTextClassifier.h"
#include "ZelvorApp/Memory/ContentDigest.h"
#include "ZelvorApp/Memory/VisualMemoryAnalyzer.h"
#include "ZelvorApp/Memory/VisualMemorySourceCollector.h"
#include "ZelvorApp/Memory/VisualMemorySummaryTagger.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Models/VisualMemoryText.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

namespace brisklet {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view pngSignature("\x89PNG\r\n\x1a\n", 8);

// Writes `bytes` to `file` atomically, creating the directory first; the error's text on failure.
std::optional<std::string> writeLibraryFile(const fs::path& file, std::string_view bytes) {
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    if (error) {
        return error.message();
    }
    if (const auto writeError = writeFileAtomically(file, bytes)) {
        return writeError.message();
    }
    return std::nullopt;
}

std::optional<std::int64_t> fileSize(const fs::path& file) {
    std::error_code error;
    const auto size = fs::file_size(file, error);
    return error ? std::nullopt : std::optional<std::int64_t>(static_cast<std::int64_t>(size));
}

VisualMemoryItem makeItem(const fs::path& file, ExportKind kind, const VisualMemorySource& source, Date createdAt) {
    VisualMemoryItem item = VisualMemoryItem::forFile(file, kind, createdAt);
    item.sourceApp = source.appName;
    item.sourceWindow = source.windowTitle;
    item.sourceURL = source.url;
    return item;
}

} // namespace

ClipboardVisualMemoryRecorder::ClipboardVisualMemoryRecorder(VisualMemoryEnvironment environment,
                                                             VisualMemorySourceCollector& sources,
                                                             VisualMemoryAnalyzer& analyzer, const ImageCodec& codec)
    : env_(std::move(environment)), sources_(sources), analyzer_(analyzer), codec_(codec),
      alive_(std::make_shared<bool>(true)) {}

ClipboardVisualMemoryRecorder::~ClipboardVisualMemoryRecorder() = default;

fs::path ClipboardVisualMemoryRecorder::textDirectory() const {
    return env_.store.rootDirectory() / "Text";
}

fs::path ClipboardVisualMemoryRecorder::imageDirectory() const {
    return env_.store.rootDirectory() / "ClipboardImages";
}

void ClipboardVisualMemoryRecorder::recordClipboardText(const std::string& text) {
    const AppPreferences preferences = env_.preferences();
    if (!preferences.saveClipboardTextToVisualMemory || memorytext::trimmed(text).empty()) {
        return;
    }
    if (looksSensitiveClipboardText(text)) {
        RuntimeLogger::log("clipboard text skipped by sensitive pattern");
        return;
    }
    const VisualMemorySource source = sources_.currentSource();
    const fs::path file = textDirectory() / ("clipboard-" + fnv1a64Hex(text) + ".txt");
    if (const auto error = writeLibraryFile(file, text)) {
        RuntimeLogger::log("clipboard text record failed error=" + *error);
        return;
    }
    const Date createdAt = env_.clock.now();
    VisualMemoryItem item = makeItem(file, ExportKind::clipboardText, source, createdAt);
    const std::string fileName = file.filename().string();
    item.summary = VisualMemorySummaryTagger::makeSummary(fileName, text, source, ExportKind::clipboardText);
    item.tags = VisualMemorySummaryTagger::makeTags(fileName, text, source, ExportKind::clipboardText);
    item.ocrText = text;
    item.byteCount = fileSize(file);
    item.expiresAt = expirationDate(preferences.clipboardTextRetentionPeriod, createdAt);
    item.clipboardContentKind = ClipboardTextClassifier::classify(text);
    env_.store.upsert(item);
    env_.store.cleanupExpiredItems(preferences, createdAt);
    env_.publishItems(env_.store.cleanupStorageLimit(preferences.visualMemoryStorageLimit));
    RuntimeLogger::log("clipboard text recorded id=" + item.id);
}

void ClipboardVisualMemoryRecorder::recordClipboardImage(const Image& image, const std::string& sourceData) {
    const AppPreferences preferences = env_.preferences();
    if (!preferences.saveClipboardImageToVisualMemory) {
        return;
    }
    const VisualMemorySource source = sources_.currentSource();
    const Date createdAt = env_.clock.now();
    const std::optional<Date> expiresAt = expirationDate(preferences.clipboardImageRetentionPeriod, createdAt);
    const fs::path file = imageDirectory() / ("clipboard-image-" + fnv1a64Hex(sourceData) + ".png");
    const ImageCodec& codec = codec_;
    MainQueue& mainQueue = env_.mainQueue;
    env_.workQueue.async([this, &codec, &mainQueue, image, sourceData, file, source, createdAt, expiresAt,
                          alive = std::weak_ptr<bool>(alive_)] {
        std::optional<std::string> error;
        if (sourceData.substr(0, pngSignature.size()) == pngSignature) {
            error = writeLibraryFile(file, sourceData);
        } else if (auto png = codec.encode(image, ImageFormat::png)) {
            error = writeLibraryFile(file, png.value());
        } else {
            error = "PNG encoding failed: " + std::string(toString(png.error()));
        }
        mainQueue.post([this, error, file, source, createdAt, expiresAt, alive] {
            if (alive.expired()) {
                return;
            }
            if (error) {
                RuntimeLogger::log("clipboard image record failed error=" + *error);
                return;
            }
            recordWrittenImage(file, source, createdAt, expiresAt);
        });
    });
}

void ClipboardVisualMemoryRecorder::recordWrittenImage(const fs::path& file, const VisualMemorySource& source,
                                                       Date createdAt, std::optional<Date> expiresAt) {
    const AppPreferences preferences = env_.preferences();
    VisualMemoryItem item = makeItem(file, ExportKind::clipboardImage, source, createdAt);
    const std::string fileName = file.filename().string();
    item.summary = VisualMemorySummaryTagger::makeSummary(fileName, "", source, ExportKind::clipboardImage);
    item.tags = VisualMemorySummaryTagger::makeTags(fileName, "", source, ExportKind::clipboardImage);
    item.byteCount = fileSize(file);
    item.expiresAt = expiresAt;
    item.clipboardContentKind = ClipboardContentKind::image;
    env_.store.upsert(item);
    env_.store.cleanupExpiredItems(preferences, env_.clock.now());
    env_.publishItems(env_.store.cleanupStorageLimit(preferences.visualMemoryStorageLimit));
    RuntimeLogger::log("clipboard image recorded id=" + item.id);
    analyzeClipboardImage(item, source);
}

void ClipboardVisualMemoryRecorder::analyzeClipboardImage(const VisualMemoryItem& item,
                                                          const VisualMemorySource& source) {
    VisualMemoryBackgroundAnalysis::run(
        env_, analyzer_, item, source, alive_, [this, item](const VisualMemoryBackgroundAnalysis::Outcome& result) {
            if (!result) {
                RuntimeLogger::log("clipboard image analyze failed url=" + item.url.string() +
                                   " error=" + result.error().description);
                return;
            }
            if (VisualMemoryBackgroundAnalysis::store(env_.store, item, result.value())) {
                env_.publishItems(env_.store.cleanupStorageLimit(env_.preferences().visualMemoryStorageLimit));
            }
        });
}

} // namespace brisklet
