#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"
#include "ZelvorCore/Models/VisualMemoryRetention.h"

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

struct stat;

namespace brisklet {

struct AppPreferences;
class Clock;
class Paths;

/// The visual-memory library: one JSON index file ("index.json", newest first) under the root
/// directory, thumbnails in "Thumbnails". Every call works on the index as it is on disk now and
/// every mutation rewrites it whole, so two stores on the same root never disagree. An unchanged
/// file is not parsed twice: the decoded list is kept against the file's identity, size and
/// modification time. Callers serialise access (the application uses the main thread).
class VisualMemoryStore {
public:
    using Items = std::vector<VisualMemoryItem>;
    using LogSink = std::function<void(std::string_view)>;

    /// `log` receives the store's diagnostic lines (a damaged index); `clock` names the file a
    /// damaged index is set aside as (the system clock when none is given). Creates nothing.
    explicit VisualMemoryStore(std::filesystem::path rootDirectory, LogSink log = {}, const Clock* clock = nullptr);
    ~VisualMemoryStore();
    VisualMemoryStore(const VisualMemoryStore&) = delete;
    VisualMemoryStore& operator=(const VisualMemoryStore&) = delete;

    /// The application-support directory + "Brisklet/VisualMemory" (the home directory stands in
    /// when there is no application-support directory).
    static std::filesystem::path defaultRootDirectory(const Paths& paths);

    const std::filesystem::path& rootDirectory() const { return rootDirectory_; }
    const std::filesystem::path& thumbnailDirectory() const { return thumbnailDirectory_; }
    const std::filesystem::path& indexURL() const { return indexURL_; }

    /// The library; empty when the index is missing. A damaged index yields the entries that
    /// still decode and is set aside (never overwritten) before the next write.
    Items load() const;
    /// Writes the whole list atomically. Failures are swallowed (and logged).
    void persist(const Items& items);

    /// Inserts `item` at the front, or replaces the entry with the same id or file while keeping
    /// the user's state (favourite, pin, manual and hidden tags) and filling gaps from it.
    Items upsert(const VisualMemoryItem& item);
    /// Drops every entry for `url` and deletes its files, the source file included.
    Items remove(const std::filesystem::path& url);
    Items toggleFavorite(std::string_view id);
    Items togglePinned(std::string_view id, Date now);
    Items addManualTag(std::string_view id, std::string_view tag);
    Items removeManualTag(std::string_view id, std::string_view tag);
    Items removeAutoTag(std::string_view id, std::string_view tag);

    /// Drops entries whose file is gone (and their thumbnails and packages).
    Items cleanupMissingFiles();
    /// Drops entries whose stored expiry date has passed, with their files.
    Items cleanupExpiredItems(Date now);
    /// Drops entries older than the retention their kind has in `preferences` now, with their
    /// files; the stored expiry plays no part, so a shortened setting applies at once.
    Items cleanupExpiredItems(const AppPreferences& preferences, Date now);
    /// Deletes the oldest entries (equal dates by id) until the library fits `limit`.
    Items cleanupStorageLimit(VisualMemoryStorageLimit limit);

    /// Bytes used by the files of `items` (file, thumbnail, package); a file shared by several
    /// entries counts once.
    std::int64_t storageByteCount(const Items& items) const;
    std::int64_t storageByteCount() const;

    /// Removes the entry's thumbnail and package (and its file when asked). A path that an entry
    /// in `keep` still refers to is left alone.
    static void deleteAssociatedFiles(const VisualMemoryItem& item, bool removeSourceFile, const Items& keep = {});

    /// How many times the index file was read and decoded (an unchanged file is read once).
    std::size_t indexReadCount() const { return indexReadCount_; }

private:
    struct FileIdentity {
        std::uintmax_t device = 0;
        std::uintmax_t inode = 0;
        std::intmax_t size = -1;
        std::timespec modified{};
        std::timespec changed{};
        bool operator==(const FileIdentity& other) const;
    };
    struct Snapshot {
        FileIdentity identity;
        /// Null while a mutation has borrowed the list (see `takeWorkingList`).
        std::shared_ptr<Items> items;
        bool damaged = false;
    };

    std::shared_ptr<Items> loadShared() const;
    /// The current list for a mutation, moved out of the cache when nobody else holds it.
    Items takeWorkingList();
    /// Returns a borrowed list unchanged (the mutation wrote nothing).
    void putBack(Items&& items);
    /// Writes `items` and keeps them as the cached list; returns the list either way.
    std::shared_ptr<Items> persistOwned(Items&& items);
    bool writeIndex(const Items& items);
    void rememberWritten(std::shared_ptr<Items> items);
    static FileIdentity identityOf(const struct stat& info);
    static void deleteFilesOf(const Items& removed, bool removeSourceFiles, const Items& keep);
    static void deleteFiles(const VisualMemoryItem& item, bool removeSourceFile,
                            const std::unordered_set<std::string>& kept);
    Items removeEvicted(Items&& items, const std::unordered_set<std::string>& ids);
    Snapshot readIndex(const FileIdentity& identity, int fd) const;
    bool setAsideDamagedIndexIfNeeded();
    bool setAside();
    Items commit(Items&& items, bool changed);
    Items removeWhere(const std::function<bool(const VisualMemoryItem&)>& shouldRemove, bool removeSourceFiles);
    std::int64_t byteCount(const std::filesystem::path& path, std::unordered_set<std::string>& visited) const;
    void log(std::string_view message) const;

    std::filesystem::path rootDirectory_;
    std::filesystem::path thumbnailDirectory_;
    std::filesystem::path indexURL_;
    LogSink log_;
    const Clock* clock_;
    mutable std::optional<Snapshot> snapshot_;
    mutable std::size_t indexReadCount_ = 0;
};

} // namespace brisklet
