#include "ZelvorCore/Models/ExportKind.h"

#include "ZelvorCore/Models/AppPreferences.h"

namespace brisklet {

namespace {

struct KindRow {
    std::string_view prefix;
    std::string_view extension;
    bool AppPreferences::*saveFlag;
    VisualMemoryRetentionPeriod AppPreferences::*retention;
};

const KindRow& rowFor(ExportKind kind) {
    using P = AppPreferences;
    static const KindRow rows[] = {
        {"screenshot", "png", &P::saveScreenshotToVisualMemory, &P::screenshotRetentionPeriod},
        {"appshot", "png", &P::saveScreenshotToVisualMemory, &P::screenshotRetentionPeriod},
        {"longshot", "png", &P::saveLongshotToVisualMemory, &P::longshotRetentionPeriod},
        {"gif", "gif", &P::saveGIFToVisualMemory, &P::gifRetentionPeriod},
        {"clipboard", "txt", &P::saveClipboardTextToVisualMemory, &P::clipboardTextRetentionPeriod},
        {"clipboard-image", "png", &P::saveClipboardImageToVisualMemory, &P::clipboardImageRetentionPeriod},
        {"recording", "mp4", &P::saveVideoToVisualMemory, &P::videoRetentionPeriod},
        {"recording", "mov", &P::saveVideoToVisualMemory, &P::videoRetentionPeriod},
    };
    return rows[static_cast<int>(kind)];
}

} // namespace

std::string_view fileNamePrefix(ExportKind kind) {
    return rowFor(kind).prefix;
}

std::string_view fileExtension(ExportKind kind) {
    return rowFor(kind).extension;
}

bool savesToVisualMemory(ExportKind kind, const AppPreferences& preferences) {
    return preferences.*(rowFor(kind).saveFlag);
}

VisualMemoryRetentionPeriod retentionPeriod(ExportKind kind, const AppPreferences& preferences) {
    return preferences.*(rowFor(kind).retention);
}

} // namespace brisklet
