#pragma once

#include "ZelvorApp/SuperScreenshot/KnowledgePackageMetadata.h"

#include <filesystem>
#include <string>

namespace brisklet {

/// A knowledge package that was written: where its files are and what went into them.
struct KnowledgePackageResult {
    std::filesystem::path packageDirectory;
    std::filesystem::path screenshotURL;
    std::filesystem::path contextURL;
    std::filesystem::path metadataURL;
    /// The Markdown written to context.md.
    std::string contextText;
    KnowledgePackageMetadata metadata;

    bool operator==(const KnowledgePackageResult&) const = default;
};

} // namespace brisklet
