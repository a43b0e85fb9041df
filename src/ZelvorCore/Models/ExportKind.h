#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Models/VisualMemoryRetention.h"

#include <string_view>

namespace brisklet {

struct AppPreferences;

/// What an exported file is.
enum class ExportKind { screenshot, appshot, longshot, gif, clipboardText, clipboardImage, videoMP4, videoMOV };

template <> struct EnumTraits<ExportKind> {
    static constexpr std::array<std::pair<ExportKind, std::string_view>, 8> names{{
        {ExportKind::screenshot, "screenshot"},
        {ExportKind::appshot, "appshot"},
        {ExportKind::longshot, "longshot"},
        {ExportKind::gif, "gif"},
        {ExportKind::clipboardText, "clipboardText"},
        {ExportKind::clipboardImage, "clipboardImage"},
        {ExportKind::videoMP4, "videoMP4"},
        {ExportKind::videoMOV, "videoMOV"},
    }};
};

/// File-name prefix, e.g. "screenshot", "clipboard-image", "recording".
std::string_view fileNamePrefix(ExportKind kind);
/// File extension without the dot, e.g. "png".
std::string_view fileExtension(ExportKind kind);
/// Whether exports of this kind are recorded into the visual memory.
bool savesToVisualMemory(ExportKind kind, const AppPreferences& preferences);
/// How long library items of this kind are kept.
VisualMemoryRetentionPeriod retentionPeriod(ExportKind kind, const AppPreferences& preferences);

} // namespace brisklet
