#pragma once

#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/ExportKind.h"
#include "ZelvorCore/Models/VisualMemoryAnalysis.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <filesystem>
#include <string>

namespace brisklet {

/// Why an analysis failed, in words for the log.
struct VisualMemoryAnalysisError {
    std::string description;
    bool operator==(const VisualMemoryAnalysisError&) const = default;
};

/// Fills summary, tags, text and thumbnail of a library file.
class VisualMemoryAnalyzer {
public:
    virtual ~VisualMemoryAnalyzer() = default;

    /// Analyses the file at `url`. Slow (image decoding, text recognition): call it from a
    /// background queue.
    virtual Result<VisualMemoryAnalysis, VisualMemoryAnalysisError>
    analyze(const std::filesystem::path& url, ExportKind kind, const VisualMemorySource& source) = 0;
};

} // namespace brisklet
