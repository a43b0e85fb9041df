#pragma once

#include "ZelvorApp/SuperScreenshot/SuperScreenshotCapture.h"
#include "ZelvorApp/SuperScreenshot/SuperScreenshotSource.h"
#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/Json.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/BrowserCaptureMetadata.h"

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// The names of a package's files, relative to its directory.
struct KnowledgePackageFiles {
    std::string screenshot = "screenshot.png";
    std::string contextMarkdown = "context.md";
    std::string metadata = "metadata.json";

    bool operator==(const KnowledgePackageFiles&) const = default;
};

/// How much text went into the package (lengths in user-perceived characters).
struct KnowledgePackageTextMetadata {
    int ocrLength = 0;
    int accessibilityTextLength = 0;
    /// Accessibility elements visited.
    int accessibilityNodeCount = 0;
    bool accessibilityTextWasTruncated = false;

    bool operator==(const KnowledgePackageTextMetadata&) const = default;
};

/// The content of a package's metadata.json.
struct KnowledgePackageMetadata {
    static constexpr int currentSchemaVersion = 1;

    int schemaVersion = currentSchemaVersion;
    Date createdAt;
    SuperScreenshotCapture capture;
    SuperScreenshotSource source;
    /// Only for captures of supported browsers.
    std::optional<BrowserCaptureMetadata> browser;
    KnowledgePackageFiles files;
    KnowledgePackageTextMetadata text;

    bool operator==(const KnowledgePackageMetadata&) const = default;
};

void read(const Json& j, KnowledgePackageFiles& out);
Json write(const KnowledgePackageFiles& value);
void read(const Json& j, KnowledgePackageTextMetadata& out);
Json write(const KnowledgePackageTextMetadata& value);
/// "createdAt" is ISO 8601; "browser" is left out when absent.
void read(const Json& j, KnowledgePackageMetadata& out);
Json write(const KnowledgePackageMetadata& value);

/// metadata.json as written: pretty-printed, every object's keys sorted, ending in a newline.
std::string encodeKnowledgePackageMetadata(const KnowledgePackageMetadata& metadata);
/// Reads metadata.json back; the error tells what was wrong.
Result<KnowledgePackageMetadata, std::string> decodeKnowledgePackageMetadata(std::string_view document);

} // namespace brisklet
