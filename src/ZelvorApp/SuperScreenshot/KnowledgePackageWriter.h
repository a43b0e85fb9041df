#pragma once

#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotText.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageResult.h"
#include "ZelvorApp/SuperScreenshot/KnowledgePackageWriteError.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <filesystem>
#include <optional>
#include <string>

namespace brisklet {

class ImageCodec;

/// Everything a knowledge package is made of besides the picture.
struct KnowledgePackageContent {
    SuperScreenshotCapture capture;
    SuperScreenshotSource source;
    /// The page of a supported browser (see SupportedBrowsers::effectiveMetadata).
    std::optional<BrowserCaptureMetadata> browserMetadata;
    /// The recognised lines joined with "\n".
    std::string ocrText;
    AccessibilitySnapshotText accessibility;
    Date createdAt;
};

/// Writes knowledge packages into root + "Packages": one new directory per package named
/// "yyyyMMdd-HHmmss-<title>" ("-2", "-3", ... when taken) holding screenshot.png, context.md and
/// metadata.json. Never writes into an existing directory and never replaces a file. Safe to
/// use from a background thread.
class KnowledgePackageWriter {
public:
    /// `rootDirectory` is the visual-memory library's root.
    KnowledgePackageWriter(std::filesystem::path rootDirectory, const ImageCodec& codec);

    const std::filesystem::path& rootDirectory() const { return rootDirectory_; }
    std::filesystem::path packagesDirectory() const;

    /// On failure whatever this call created is removed again, and nothing else.
    Result<KnowledgePackageResult, KnowledgePackageWriteError> write(const Image& image,
                                                                     const KnowledgePackageContent& content) const;

    /// The metadata.json record of `content`.
    static KnowledgePackageMetadata metadata(const KnowledgePackageContent& content);

private:
    using DirectoryResult = Result<std::filesystem::path, KnowledgePackageWriteError>;
    DirectoryResult createPackageDirectory(const std::string& baseName) const;
    std::optional<KnowledgePackageWriteError> writeFiles(const Image& image,
                                                         const KnowledgePackageResult& package) const;

    std::filesystem::path rootDirectory_;
    const ImageCodec& codec_;
};

} // namespace brisklet
