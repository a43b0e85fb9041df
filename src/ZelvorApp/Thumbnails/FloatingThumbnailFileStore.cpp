#include "ZelvorApp/Thumbnails/FloatingThumbnailFileStore.h"

#include "Platform/ImageCodec.h"
#include "Platform/MainQueue.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Foundation/Uuid.h"

#include <chrono>
#include <system_error>
#include <utility>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

using Code = FloatingThumbnailFileError::Code;

FloatingThumbnailFileError fileError(Code code, const std::string& what, const fs::path& file,
                                     const std::error_code& reason = {}) {
    std::string message = what + " " + file.string();
    if (reason) {
        message += ": " + reason.message();
    }
    return {code, std::move(message)};
}

/// Gives `from` the new name `to` without replacing anything and without losing `from` on failure.
std::error_code placeWithoutOverwriting(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::create_hard_link(from, to, error);
    if (error == std::errc::file_exists) {
        return error;
    }
    if (error) {
        // Another file system, or one without hard links: copy instead.
        error = copyFileWithoutOverwriting(from, to);
        if (error) {
            return error;
        }
    }
    std::error_code ignored;
    fs::remove(from, ignored);
    return {};
}

Date modificationDate(fs::file_time_type time) {
    const auto system = std::chrono::file_clock::to_sys(time);
    return Date{std::chrono::duration<double>(system.time_since_epoch()).count()};
}

} // namespace

FloatingThumbnailFileStore::FloatingThumbnailFileStore(fs::path rootDirectory, const ImageCodec& codec,
                                                       MainQueue& mainQueue)
    : rootDirectory_(std::move(rootDirectory)), codec_(codec), mainQueue_(mainQueue) {}

FloatingThumbnailFileStore::PathResult FloatingThumbnailFileStore::writeTemporaryPNG(const Image& image) const {
    if (image.isEmpty()) {
        return PathResult::failure({Code::emptyImage, "cannot write an empty image as a thumbnail"});
    }
    std::error_code error;
    fs::create_directories(rootDirectory_, error);
    if (error) {
        return PathResult::failure(fileError(Code::directoryFailed, "cannot create", rootDirectory_, error));
    }
    const auto bytes = codec_.encode(image, ImageFormat::png);
    if (!bytes) {
        return PathResult::failure(
            {Code::encodeFailed, "cannot encode the thumbnail as PNG: " + std::string(toString(bytes.error()))});
    }
    const fs::path file = rootDirectory_ / ("thumbnail-" + Uuid::generate().toString() + ".png");
    error = writeNewFileAtomically(file, bytes.value());
    if (error) {
        return PathResult::failure(fileError(Code::writeFailed, "cannot write", file, error));
    }
    return PathResult::success(file);
}

FloatingThumbnailFileStore::PathResult FloatingThumbnailFileStore::saveTemporary(const fs::path& url,
                                                                                 const fs::path& exportDirectory,
                                                                                 ExportKind kind, Date now) const {
    if (!isInside(url, rootDirectory_)) {
        return PathResult::failure(fileError(Code::notTemporary, "not a temporary thumbnail file:", url));
    }
    std::error_code error;
    if (!fs::is_regular_file(fs::symlink_status(url, error))) {
        return PathResult::failure(fileError(Code::missingFile, "no such file", url, error));
    }
    // Another process may take the chosen name between choosing and placing; then choose again.
    for (int attempt = 0; attempt < 8; ++attempt) {
        const auto target = FileNameBuilder::makeFileURL(kind, exportDirectory, now);
        if (!target) {
            return PathResult::failure(fileError(Code::directoryFailed, "cannot create", exportDirectory, target.error()));
        }
        error = placeWithoutOverwriting(url, target.value());
        if (!error) {
            return PathResult::success(target.value());
        }
        if (error != std::errc::file_exists) {
            return PathResult::failure(fileError(Code::writeFailed, "cannot move the thumbnail to", target.value(), error));
        }
    }
    return PathResult::failure(fileError(Code::writeFailed, "no free file name in", exportDirectory,
                                         std::make_error_code(std::errc::file_exists)));
}

bool FloatingThumbnailFileStore::removeIfTemporary(const fs::path& url) const {
    return removeIfInside(url, rootDirectory_);
}

void FloatingThumbnailFileStore::scheduleRemovalIfTemporary(const fs::path& url, double seconds) const {
    // The task holds copies, not the store, so it is safe however long the delay.
    mainQueue_.postAfter(seconds, [url, root = rootDirectory_] { removeIfInside(url, root); });
}

int FloatingThumbnailFileStore::cleanupFiles(double seconds, Date now) const {
    std::error_code error;
    fs::directory_iterator entries(rootDirectory_, error);
    if (error) {
        return 0;
    }
    const Date cutoff = now.addingSeconds(-seconds);
    int removed = 0;
    for (const auto& entry : entries) {
        std::error_code entryError;
        if (!entry.is_regular_file(entryError) || entry.is_symlink(entryError)) {
            continue;
        }
        const auto modified = entry.last_write_time(entryError);
        if (entryError || modificationDate(modified) >= cutoff) {
            continue;
        }
        if (fs::remove(entry.path(), entryError)) {
            ++removed;
        }
    }
    return removed;
}

bool FloatingThumbnailFileStore::isInside(const fs::path& url, const fs::path& rootDirectory) {
    std::error_code error;
    const fs::path resolvedRoot = fs::weakly_canonical(rootDirectory, error);
    if (error || resolvedRoot.empty()) {
        return false;
    }
    const fs::path resolved = fs::weakly_canonical(url, error);
    if (error) {
        return false;
    }
    const fs::path relative = resolved.lexically_relative(resolvedRoot);
    return !relative.empty() && relative != "." && *relative.begin() != "..";
}

bool FloatingThumbnailFileStore::removeIfInside(const fs::path& url, const fs::path& rootDirectory) {
    std::error_code error;
    // A symbolic link is refused even when it points inside: the store only ever writes plain files.
    if (!isInside(url, rootDirectory) || !fs::is_regular_file(fs::symlink_status(url, error))) {
        return false;
    }
    return fs::remove(url, error);
}

} // namespace brisklet
