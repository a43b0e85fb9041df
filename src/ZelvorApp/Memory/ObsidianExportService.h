#pragma once

#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

struct ObsidianExportError {
    enum class Code {
        cancelled,       ///< the user closed the folder chooser
        directoryFailed, ///< the export or assets folder could not be created
        copyFailed,      ///< the image or package could not be copied
        readFailed,      ///< the package's context document could not be read
        writeFailed,     ///< the note could not be written
    };
    Code code = Code::writeFailed;
    std::string description;
    bool operator==(const ObsidianExportError&) const = default;
};

/// Writes a library item as a Markdown note (YAML front matter, embedded image, recognised text)
/// into a folder of an Obsidian vault, copying images and knowledge packages into
/// "Brisklet Assets" beside it. Never overwrites: names get "-2", "-3", … instead.
class ObsidianExportService {
public:
    /// Shows a folder chooser ("Use Folder", folders only); nothing when cancelled.
    using DirectoryChooser = std::function<std::optional<std::filesystem::path>()>;

    static constexpr std::string_view assetsFolderName = "Brisklet Assets";
    static constexpr std::string_view fallbackNoteName = "Brisklet Memory";

    ObsidianExportService(std::filesystem::path homeDirectory, DirectoryChooser chooser);

    std::optional<std::filesystem::path> chooseDirectory() const;
    /// Writes the note (and its assets) and returns the note's location.
    Result<std::filesystem::path, ObsidianExportError>
    exportItem(const VisualMemoryItem& item, const std::optional<std::string>& preferredDirectory) const;
    /// The preferred folder ("~" expanded, created), or the chosen one.
    Result<std::filesystem::path, ObsidianExportError>
    resolveDirectory(const std::optional<std::string>& preferredDirectory) const;

    /// The note's text: front matter (type, created, source_app, source_url, tags), the summary
    /// as its title, the image embed and the text section.
    static std::string markdown(const VisualMemoryItem& item, const std::optional<std::string>& imageFilename,
                                const std::optional<std::string>& packageMarkdown);
    /// A note name without characters that paths or Obsidian links treat specially.
    static std::string safeFilename(std::string_view summary);
    static std::string uniqueDirectoryName(const std::string& name, const std::filesystem::path& directory);
    static std::string uniqueFilename(const std::filesystem::path& file, const std::filesystem::path& directory);
    static std::string uniqueMarkdownFilename(const std::string& name, const std::filesystem::path& directory);
    /// The front-matter type of each kind, e.g. "clipboard_text".
    static std::string_view noteType(ExportKind kind);

private:
    struct CopiedAssets {
        std::optional<std::string> imageReference;
        std::optional<std::string> packageMarkdown;
    };
    Result<CopiedAssets, ObsidianExportError> copyAssets(const VisualMemoryItem& item,
                                                         const std::filesystem::path& directory) const;

    std::filesystem::path homeDirectory_;
    DirectoryChooser chooser_;
};

} // namespace brisklet
