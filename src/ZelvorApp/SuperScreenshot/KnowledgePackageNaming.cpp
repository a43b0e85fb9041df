#include "ZelvorApp/SuperScreenshot/KnowledgePackageNaming.h"

#include "ZelvorCore/Foundation/Utf8.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <cstdio>

namespace brisklet {

namespace text = memorytext;

namespace {

constexpr std::string_view unsafeCharacters = "/\\?%*|\"<>:";

} // namespace

std::string KnowledgePackageNaming::packageTitle(const SuperScreenshotSource& source,
                                                 const std::optional<BrowserCaptureMetadata>& browserMetadata) {
    for (const auto* candidate : {browserMetadata ? &browserMetadata->title : nullptr, &source.windowTitle}) {
        if (candidate && *candidate) {
            std::string trimmed = text::trimmed(**candidate);
            if (!trimmed.empty()) {
                return trimmed;
            }
        }
    }
    return source.appName;
}

std::string KnowledgePackageNaming::directoryTitle(const SuperScreenshotSource& source,
                                                   const std::optional<BrowserCaptureMetadata>& browserMetadata) {
    if (browserMetadata && browserMetadata->title) {
        return *browserMetadata->title;
    }
    if (source.windowTitle) {
        return *source.windowTitle;
    }
    return source.appName;
}

std::string KnowledgePackageNaming::safeFilename(std::string_view title) {
    std::string dashed(title);
    for (char& c : dashed) {
        // A NUL would end the path early and name another directory.
        if (unsafeCharacters.find(c) != std::string_view::npos || c == '\0') {
            c = '-';
        }
    }
    std::string joined;
    for (const auto& piece : text::splitOnWhitespace(dashed)) {
        joined += (joined.empty() ? "" : "-") + piece;
    }
    if (joined.empty()) {
        return "appshot";
    }
    std::u32string scalars = utf8::decodeUtf8(joined);
    if (scalars.size() <= maxNameScalars) {
        return joined;
    }
    scalars.resize(maxNameScalars);
    return utf8::encodeUtf8(scalars);
}

std::string KnowledgePackageNaming::directoryBaseName(Date createdAt, std::string_view title) {
    const LocalDateTime t = localDateTime(createdAt);
    char stamp[96]; // wide enough for any int, so the compiler can prove no truncation
    std::snprintf(stamp, sizeof stamp, "%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
    return std::string(stamp) + "-" + safeFilename(title);
}

} // namespace brisklet
