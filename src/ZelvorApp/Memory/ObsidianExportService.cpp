#include "ZelvorApp/Memory/ObsidianExportService.h"

#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <sstream>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

namespace text = memorytext;
using Error = ObsidianExportError;

constexpr std::size_t maximumNoteNameCharacters = 80;
constexpr std::size_t maximumPackageMarkdownBytes = std::size_t{64} << 20;

bool entryExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// A YAML double-quoted scalar. Backslashes and line breaks are escaped too, so no value can
// end the string early or break out of the front matter.
std::string yamlQuoted(std::string_view value) {
    std::string out = "\"";
    for (const char c : value) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            out.push_back(c);
        }
    }
    return out + "\"";
}

std::string quotedOrEmpty(const std::optional<std::string>& value) {
    return value && !value->empty() ? yamlQuoted(*value) : "\"\"";
}

std::error_code copyDirectoryWithoutReplacing(const fs::path& from, const fs::path& to) {
    std::error_code error;
    const fs::path temporary = to.parent_path() / ("." + to.filename().string() + ".tmp-copy");
    fs::remove_all(temporary, error);
    fs::copy(from, temporary, fs::copy_options::recursive, error);
    if (!error && ::renameat2(AT_FDCWD, temporary.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) != 0) {
        error = std::error_code(errno, std::generic_category());
    }
    if (error) {
        std::error_code ignored;
        fs::remove_all(temporary, ignored);
    }
    return error;
}

std::optional<std::string> readUtf8File(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string bytes(maximumPackageMarkdownBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > maximumPackageMarkdownBytes || text::encodeUtf8(text::decodeUtf8(bytes)) != bytes) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace

ObsidianExportService::ObsidianExportService(fs::path homeDirectory, DirectoryChooser chooser)
    : homeDirectory_(std::move(homeDirectory)), chooser_(std::move(chooser)) {}

std::optional<fs::path> ObsidianExportService::chooseDirectory() const {
    return chooser_ ? chooser_() : std::nullopt;
}

Result<fs::path, ObsidianExportError>
ObsidianExportService::resolveDirectory(const std::optional<std::string>& preferredDirectory) const {
    using R = Result<fs::path, ObsidianExportError>;
    fs::path directory;
    if (preferredDirectory && !preferredDirectory->empty()) {
        const std::string& preferred = *preferredDirectory;
        if (preferred == "~") {
            directory = homeDirectory_;
        } else if (text::startsWith(preferred, "~/")) {
            directory = homeDirectory_ / preferred.substr(2);
        } else {
            directory = preferred;
        }
        std::error_code error;
        fs::create_directories(directory, error);
        if (error) {
            return R::failure({Error::Code::directoryFailed, directory.string() + ": " + error.message()});
        }
    } else {
        auto chosen = chooseDirectory();
        if (!chosen) {
            return R::failure({Error::Code::cancelled, "The folder choice was cancelled."});
        }
        directory = std::move(*chosen);
    }
    return R::success(fs::absolute(directory).lexically_normal());
}

std::string ObsidianExportService::uniqueDirectoryName(const std::string& name, const fs::path& directory) {
    if (!entryExists(directory / name)) {
        return name;
    }
    for (int n = 2;; ++n) {
        std::string candidate = name + "-" + std::to_string(n);
        if (!entryExists(directory / candidate)) {
            return candidate;
        }
    }
}

std::string ObsidianExportService::uniqueFilename(const fs::path& file, const fs::path& directory) {
    const std::string base = file.stem().string();
    std::string extension = file.extension().string();
    extension = extension.empty() ? "png" : extension.substr(1);
    std::string candidate = base + "." + extension;
    for (int n = 2; entryExists(directory / candidate); ++n) {
        candidate = base + "-" + std::to_string(n) + "." + extension;
    }
    return candidate;
}

std::string ObsidianExportService::uniqueMarkdownFilename(const std::string& name, const fs::path& directory) {
    std::string candidate = name + ".md";
    for (int n = 2; entryExists(directory / candidate); ++n) {
        candidate = name + "-" + std::to_string(n) + ".md";
    }
    return candidate;
}

std::string ObsidianExportService::safeFilename(std::string_view summary) {
    std::string joined;
    for (const char c : summary) {
        joined.push_back(std::string_view("/\\?%*|\"<>:").find(c) != std::string_view::npos ? '-' : c);
    }
    const std::string trimmed = text::trimmed(joined);
    if (trimmed.empty()) {
        return std::string(fallbackNoteName);
    }
    return text::prefixCharacters(trimmed, maximumNoteNameCharacters);
}

std::string_view ObsidianExportService::noteType(ExportKind kind) {
    switch (kind) {
    case ExportKind::screenshot:
        return "screenshot";
    case ExportKind::appshot:
        return "appshot";
    case ExportKind::longshot:
        return "longshot";
    case ExportKind::gif:
        return "gif";
    case ExportKind::clipboardText:
        return "clipboard_text";
    case ExportKind::clipboardImage:
        return "clipboard_image";
    case ExportKind::videoMP4:
        return "video_mp4";
    case ExportKind::videoMOV:
        return "video_mov";
    }
    return "screenshot";
}

std::string ObsidianExportService::markdown(const VisualMemoryItem& item,
                                            const std::optional<std::string>& imageFilename,
                                            const std::optional<std::string>& packageMarkdown) {
    std::string tags;
    for (const auto& tag : item.visibleTags()) {
        tags += (tags.empty() ? "" : ", ") + yamlQuoted(tag);
    }
    std::string embed;
    std::optional<std::string> package = packageMarkdown;
    if (package && imageFilename) {
        package = text::replacingAll(*package, "![](screenshot.png)", "![[" + *imageFilename + "]]");
    } else if (!package && imageFilename) {
        embed = "![[" + *imageFilename + "]]";
    }
    std::string title = "OCR";
    std::string body = package ? *package : item.ocrText;
    if (item.kind == ExportKind::appshot) {
        title = "Context";
        body = package ? *package : !item.contextText.empty() ? item.contextText : item.ocrText;
    } else if (item.kind == ExportKind::clipboardText) {
        title = "Text";
        body = item.ocrText;
    }
    std::ostringstream note;
    note << "---\ntype: " << noteType(item.kind) << "\ncreated: " << iso8601(item.createdAt)
         << "\nsource_app: " << quotedOrEmpty(item.sourceApp) << "\nsource_url: " << quotedOrEmpty(item.sourceURL)
         << "\ntags: [" << tags << "]\n---\n\n# " << item.summary << "\n\n"
         << embed << "\n\n## " << title << "\n\n"
         << (body.empty() ? "_No OCR text detected._" : body);
    return note.str();
}

Result<ObsidianExportService::CopiedAssets, ObsidianExportError>
ObsidianExportService::copyAssets(const VisualMemoryItem& item, const fs::path& directory) const {
    using R = Result<CopiedAssets, ObsidianExportError>;
    const fs::path assets = directory / assetsFolderName;
    std::error_code error;
    fs::create_directories(assets, error);
    if (error) {
        return R::failure({Error::Code::directoryFailed, assets.string() + ": " + error.message()});
    }
    CopiedAssets copied;
    if (item.packagePath && !item.packagePath->empty()) {
        const fs::path package = fs::path(*item.packagePath).lexically_normal();
        const std::string packageName =
            package.has_filename() ? package.filename().string() : package.parent_path().filename().string();
        const std::string name = uniqueDirectoryName(packageName, assets);
        if (const auto copyError = copyDirectoryWithoutReplacing(package, assets / name)) {
            return R::failure({Error::Code::copyFailed, package.string() + ": " + copyError.message()});
        }
        copied.imageReference = std::string(assetsFolderName) + "/" + name + "/screenshot.png";
        copied.packageMarkdown = readUtf8File(assets / name / "context.md");
        return R::success(std::move(copied));
    }
    const std::string fileName = uniqueFilename(item.url, assets);
    if (const auto copyError = copyFileWithoutOverwriting(item.url, assets / fileName)) {
        return R::failure({Error::Code::copyFailed, item.url.string() + ": " + copyError.message()});
    }
    copied.imageReference = std::string(assetsFolderName) + "/" + fileName;
    return R::success(std::move(copied));
}

Result<fs::path, ObsidianExportError>
ObsidianExportService::exportItem(const VisualMemoryItem& item,
                                  const std::optional<std::string>& preferredDirectory) const {
    using R = Result<fs::path, ObsidianExportError>;
    auto directory = resolveDirectory(preferredDirectory);
    if (!directory) {
        return R::failure(directory.error());
    }
    CopiedAssets assets;
    if (item.kind != ExportKind::clipboardText) {
        auto copied = copyAssets(item, directory.value());
        if (!copied) {
            return R::failure(copied.error());
        }
        assets = std::move(copied).value();
    }
    const std::string note = markdown(item, assets.imageReference, assets.packageMarkdown);
    const std::string name = safeFilename(item.summary);
    // A note appearing between choosing the name and writing it only moves us to the next name.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path target = directory.value() / uniqueMarkdownFilename(name, directory.value());
        const auto error = writeNewFileAtomically(target, note);
        if (!error) {
            return R::success(target);
        }
        if (error != std::errc::file_exists) {
            return R::failure({Error::Code::writeFailed, target.string() + ": " + error.message()});
        }
    }
    return R::failure({Error::Code::writeFailed, "no free note name for " + name});
}

} // namespace brisklet
