#pragma once

#include "ZelvorCore/Models/ExportKind.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// The one-line summary and the tags of a library item, from its file name, its text and where
/// it came from. Pure string logic.
struct VisualMemorySummaryTagger {
    /// At most 86 characters (a link's host is kept whole).
    static std::string makeSummary(std::string_view fileName, std::string_view ocrText,
                                   const VisualMemorySource& source, ExportKind kind);
    /// Keyword tags first, then link/code tags, the source application and the kind; at most 8.
    static std::vector<std::string> makeTags(std::string_view fileName, std::string_view ocrText,
                                             const VisualMemorySource& source, ExportKind kind);

    /// The first sentence or line that reads like content: not a heading marker, not a relative
    /// time, not a button label, not one of `excluding`, and long enough (8 characters, or 4 CJK).
    static std::optional<std::string> bestContentLine(std::string_view text, const std::vector<std::string>& excluding);
    /// The window title unless it merely repeats the application name.
    static std::optional<std::string> usefulSourceTitle(std::string_view title, std::string_view appName);
    /// A file name that says something (not one of our own generated capture names).
    static std::optional<std::string> usefulFileTitle(std::string_view name);
    static std::string fallbackSummary(ExportKind kind);
};

} // namespace brisklet
