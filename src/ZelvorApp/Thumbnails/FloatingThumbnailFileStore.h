#pragma once

#include "ZelvorApp/Thumbnails/FloatingThumbnailFileError.h"
#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/ExportKind.h"

#include <filesystem>

namespace brisklet {

class ImageCodec;
class MainQueue;

/// The files written only so that a card has something to show, drag and open (quick screenshots
/// that were copied, not saved). They live in one directory of their own, and the store refuses to
/// remove anything outside it, however the path is spelled.
class FloatingThumbnailFileStore {
public:
    using PathResult = Result<std::filesystem::path, FloatingThumbnailFileError>;

    /// `rootDirectory` is the application's data directory + "FloatingThumbnails".
    FloatingThumbnailFileStore(std::filesystem::path rootDirectory, const ImageCodec& codec, MainQueue& mainQueue);

    const std::filesystem::path& rootDirectory() const { return rootDirectory_; }

    /// Writes `image` as "thumbnail-<UUID>.png" in the root directory (created when missing),
    /// through a temporary name, so a failed write leaves nothing behind.
    PathResult writeTemporaryPNG(const Image& image) const;
    /// Moves a temporary file to the name the file-name builder gives `kind` in `exportDirectory`
    /// (created when missing) and returns it. Never replaces an existing file; on failure the
    /// temporary file stays where it was.
    PathResult saveTemporary(const std::filesystem::path& url, const std::filesystem::path& exportDirectory,
                             ExportKind kind, Date now) const;
    /// Deletes `url` when it is a file inside the root directory; returns whether it did.
    bool removeIfTemporary(const std::filesystem::path& url) const;
    /// `removeIfTemporary` after `seconds`, so an application that received the file by drag and
    /// drop still has time to read it.
    void scheduleRemovalIfTemporary(const std::filesystem::path& url, double seconds) const;
    /// Deletes the files in the root directory last modified more than `seconds` before `now`;
    /// returns how many.
    int cleanupFiles(double seconds, Date now) const;

    /// Whether `url`, with "..", "." and symbolic links resolved, names something strictly inside
    /// `rootDirectory` (also resolved).
    static bool isInside(const std::filesystem::path& url, const std::filesystem::path& rootDirectory);

private:
    static bool removeIfInside(const std::filesystem::path& url, const std::filesystem::path& rootDirectory);

    std::filesystem::path rootDirectory_;
    const ImageCodec& codec_;
    MainQueue& mainQueue_;
};

} // namespace brisklet
