#pragma once

#include "ZelvorApp/SuperScreenshot/SuperScreenshotSource.h"
#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Models/BrowserCaptureMetadata.h"

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// How a knowledge package is titled and how its directory is named.
struct KnowledgePackageNaming {
    /// Scalars kept of a cleaned title in a directory name.
    static constexpr std::size_t maxNameScalars = 64;

    /// The first non-empty of the page title and the window title, each trimmed; else the
    /// application's name.
    static std::string packageTitle(const SuperScreenshotSource& source,
                                    const std::optional<BrowserCaptureMetadata>& browserMetadata);
    /// The untrimmed text the directory is named after: the page title when there is one, else
    /// the window title, else the application's name (`safeFilename` does the cleaning).
    static std::string directoryTitle(const SuperScreenshotSource& source,
                                      const std::optional<BrowserCaptureMetadata>& browserMetadata);
    /// Path separators, wildcards, quotes, angle brackets, "%", "|" and ":" become "-", runs of
    /// whitespace become one "-"; "appshot" when nothing is left; at most 64 scalars.
    static std::string safeFilename(std::string_view title);
    /// "yyyyMMdd-HHmmss-<safeFilename(title)>" on the local clock.
    static std::string directoryBaseName(Date createdAt, std::string_view title);
};

} // namespace brisklet
