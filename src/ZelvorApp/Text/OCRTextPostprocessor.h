#pragma once

#include "ZelvorApp/Text/RecognizedTextLine.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <array>
#include <string_view>
#include <vector>

namespace brisklet {

/// Drops recogniser noise (stray symbols, tiny fragments, low confidence) and puts the remaining
/// lines in reading order: top to bottom, left to right within a shared baseline band. Pure and
/// thread-safe.
class OCRTextPostprocessor {
public:
    OCRTextPostprocessor() = delete;

    /// Short words that are real text in the screenshots we see, so they survive the
    /// short-fragment rules; compared against the lower-cased, space-free line.
    static constexpr std::array<std::string_view, 11> trustedShortTerms{"ai", "api", "ax", "css", "dom", "html",
                                                                        "js", "ocr", "ui", "url", "ux"};

    /// Filters, sorts and re-indexes. `imageSize` is the recognition image's pixel size.
    static std::vector<RecognizedTextLine> cleanedLines(std::vector<RecognizedTextLine> lines, Size imageSize);

    static bool shouldKeepLine(const RecognizedTextLine& line, Size imageSize);
    /// Whether `a` reads before `b`.
    static bool readsBefore(const RecognizedTextLine& a, const RecognizedTextLine& b);
    /// Line `index` = position; every word's `lineIndex` follows; nothing else changes.
    static std::vector<RecognizedTextLine> reindexed(std::vector<RecognizedTextLine> lines);

    static bool isTrustedShortTerm(std::string_view compact);
};

} // namespace brisklet
