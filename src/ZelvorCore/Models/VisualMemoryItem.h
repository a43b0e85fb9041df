#pragma once

#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/Json.h"
#include "ZelvorCore/Models/ExportKind.h"
#include "ZelvorCore/Models/VisualMemoryEnums.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// One library entry: a file on disk plus what we know about it and what the user did with it.
struct VisualMemoryItem {
    std::string id;
    /// Absolute location of the captured or stored file.
    std::filesystem::path url;
    ExportKind kind = ExportKind::screenshot;
    Date createdAt;
    std::optional<std::string> sourceApp;
    std::optional<std::string> sourceWindow;
    /// Absolute URL text of the browser page, when known.
    std::optional<std::string> sourceURL;
    std::string summary;
    /// Automatic tags from the analysis.
    std::vector<std::string> tags;
    /// Tags the user added (normalised).
    std::vector<std::string> manualTags;
    /// Automatic tags the user hid (normalised); the tags themselves stay in `tags`.
    std::vector<std::string> removedAutoTags;
    std::string ocrText;
    bool isFavorite = false;
    bool isPinned = false;
    std::optional<Date> pinnedAt;
    std::optional<std::int64_t> byteCount;
    std::optional<std::string> thumbnailPath;
    std::optional<Date> expiresAt;
    std::optional<ClipboardContentKind> clipboardContentKind;
    /// Absolute path of a knowledge-package directory.
    std::optional<std::string> packagePath;
    std::string contextText;
    std::optional<VisualMemoryContextKind> contextKind;
    std::optional<BrowserDeepCaptureStatus> browserDeepCaptureStatus;

    /// A new item whose id is the absolute path of its file, which is how re-recording the same
    /// file finds the existing entry.
    static VisualMemoryItem forFile(const std::filesystem::path& url, ExportKind kind, Date createdAt);

    /// Favourites and pinned items survive every automatic clean-up.
    bool isPermanentlyRetained() const { return isFavorite || isPinned; }
    /// `tags` in order without the ones the user hid (compared ignoring letter case).
    std::vector<std::string> visibleAutoTags() const;
    /// The visible automatic tags followed by the manual tags, normalised and without repeats.
    std::vector<std::string> visibleTags() const;

    bool operator==(const VisualMemoryItem&) const = default;
};

/// Trims whitespace and newlines, then "#" at both ends, turns spaces into "-" and lower-cases:
/// " #Work Notes# " becomes "work-notes".
std::string normalizedTag(std::string_view tag);
/// Normalises each tag, drops empty ones and repeats (ignoring case), keeping first occurrences.
std::vector<std::string> normalizedUniqueTags(const std::vector<std::string>& tags);

void read(const Json& j, VisualMemoryItem& out);
/// Keys are written in sorted order, the order the library index is kept in.
Json write(const VisualMemoryItem& value);

} // namespace brisklet
