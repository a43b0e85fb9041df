#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include "Platform/Clock.h"
#include "Platform/Paths.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Foundation/JsonCoding.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Models/VisualMemoryText.h"
#include "ZelvorCore/Stores/VisualMemoryIndexCoding.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t maximumIndexBytes = std::size_t{1} << 30;

std::string standardized(const fs::path& path) {
    return path.lexically_normal().string();
}

bool readAll(int fd, std::size_t expected, std::string& bytes) {
    bytes.clear();
    bytes.reserve(expected);
    char buffer[1 << 16];
    while (true) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        if (n == 0) {
            return true;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
        if (bytes.size() > maximumIndexBytes) {
            return false;
        }
    }
}

// "20260314-091502" in UTC: sortable, and free of characters other tools choke on.
std::string compactTimestamp(Date date) {
    std::string stamp = iso8601(date); // 2026-03-14T09:15:02Z
    std::erase(stamp, '-');
    std::erase(stamp, ':');
    std::erase(stamp, 'Z');
    std::replace(stamp.begin(), stamp.end(), 'T', '-');
    return stamp;
}

// Renames without ever replacing an existing file.
bool renameWithoutReplacing(const fs::path& from, const fs::path& to) {
    if (::link(from.c_str(), to.c_str()) == 0) {
        ::unlink(from.c_str());
        return true;
    }
    if (errno != EPERM && errno != ENOTSUP && errno != EXDEV) {
        return false;
    }
    std::error_code ignored;
    if (fs::exists(to, ignored)) {
        return false;
    }
    return ::rename(from.c_str(), to.c_str()) == 0;
}

void collectPaths(const VisualMemoryItem& item, std::unordered_set<std::string>& paths) {
    paths.insert(standardized(item.url));
    if (item.thumbnailPath && !item.thumbnailPath->empty()) {
        paths.insert(standardized(*item.thumbnailPath));
    }
    if (item.packagePath && !item.packagePath->empty()) {
        paths.insert(standardized(*item.packagePath));
    }
}

void removeUnlessKept(const fs::path& path, bool whole, const std::unordered_set<std::string>& kept) {
    if (path.empty() || kept.count(standardized(path)) != 0) {
        return;
    }
    std::error_code ignored;
    if (whole) {
        fs::remove_all(path, ignored);
    } else {
        fs::remove(path, ignored);
    }
}

} // namespace

VisualMemoryStore::FileIdentity VisualMemoryStore::identityOf(const struct stat& info) {
    FileIdentity identity;
    identity.device = info.st_dev;
    identity.inode = info.st_ino;
    identity.size = info.st_size;
    identity.modified = info.st_mtim;
    identity.changed = info.st_ctim;
    return identity;
}

bool VisualMemoryStore::FileIdentity::operator==(const FileIdentity& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec &&
           changed.tv_sec == other.changed.tv_sec && changed.tv_nsec == other.changed.tv_nsec;
}

VisualMemoryStore::VisualMemoryStore(fs::path rootDirectory, LogSink log, const Clock* clock)
    : rootDirectory_(std::move(rootDirectory)), thumbnailDirectory_(rootDirectory_ / "Thumbnails"),
      indexURL_(rootDirectory_ / "index.json"), log_(std::move(log)), clock_(clock) {}

VisualMemoryStore::~VisualMemoryStore() = default;

fs::path VisualMemoryStore::defaultRootDirectory(const Paths& paths) {
    fs::path base = paths.applicationSupportDirectory();
    if (base.empty()) {
        base = paths.homeDirectory();
    }
    return base / "Brisklet" / "VisualMemory";
}

void VisualMemoryStore::log(std::string_view message) const {
    if (log_) {
        log_(message);
    }
}

// ---- reading ---------------------------------------------------------------------------------

namespace {

VisualMemoryStore::Items copyOf(const std::shared_ptr<VisualMemoryStore::Items>& items) {
    return items ? *items : VisualMemoryStore::Items();
}

} // namespace

VisualMemoryStore::Items VisualMemoryStore::load() const {
    return copyOf(loadShared());
}

std::shared_ptr<VisualMemoryStore::Items> VisualMemoryStore::loadShared() const {
    const int fd = ::open(indexURL_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR) {
            snapshot_.reset();
            return std::make_shared<Items>();
        }
        // Present but unreadable (permissions, a directory in the way): treat it as damaged so
        // the next write moves it aside instead of pretending the library was empty.
        const std::string reason = std::strerror(errno);
        if (!snapshot_ || !snapshot_->damaged || snapshot_->identity.size != -2) {
            log("visualMemory index unreadable error=" + reason + " recoveredItems=0");
        }
        Snapshot unreadable;
        unreadable.identity.size = -2;
        unreadable.items = std::make_shared<Items>();
        unreadable.damaged = true;
        snapshot_ = unreadable;
        return unreadable.items;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        ::close(fd);
        return snapshot_ && snapshot_->items ? snapshot_->items : std::make_shared<Items>();
    }
    const FileIdentity identity = identityOf(info);
    if (snapshot_ && snapshot_->identity == identity && snapshot_->items) {
        ::close(fd);
        return snapshot_->items;
    }
    snapshot_ = readIndex(identity, fd);
    ::close(fd);
    return snapshot_->items;
}

VisualMemoryStore::Snapshot VisualMemoryStore::readIndex(const FileIdentity& identity, int fd) const {
    ++indexReadCount_;
    Snapshot snapshot;
    snapshot.identity = identity;
    std::string bytes;
    if (!readAll(fd, static_cast<std::size_t>(std::max<std::intmax_t>(identity.size, 0)), bytes)) {
        log("visualMemory index unreadable error=readFailed recoveredItems=0");
        snapshot.items = std::make_shared<Items>();
        snapshot.damaged = true;
        return snapshot;
    }
    VisualMemoryIndexDecodeResult decoded = decodeVisualMemoryIndex(bytes);
    snapshot.damaged = decoded.error.has_value();
    if (decoded.error) {
        log("visualMemory index unreadable error=" + *decoded.error +
            " recoveredItems=" + std::to_string(decoded.items.size()));
    }
    snapshot.items = std::make_shared<Items>(std::move(decoded.items));
    return snapshot;
}

VisualMemoryStore::Items VisualMemoryStore::takeWorkingList() {
    std::shared_ptr<Items> shared = loadShared();
    // Held by the cache and by `shared` only: nobody can see the list change, so move it out
    // instead of copying a library of tens of thousands of items.
    if (snapshot_ && snapshot_->items == shared && shared.use_count() == 2) {
        snapshot_->items.reset();
        return std::move(*shared);
    }
    return *shared;
}

void VisualMemoryStore::putBack(Items&& items) {
    if (snapshot_ && !snapshot_->items) {
        snapshot_->items = std::make_shared<Items>(std::move(items));
    }
}

// ---- writing ---------------------------------------------------------------------------------

void VisualMemoryStore::persist(const Items& items) {
    if (writeIndex(items)) {
        rememberWritten(std::make_shared<Items>(items));
    }
}

std::shared_ptr<VisualMemoryStore::Items> VisualMemoryStore::persistOwned(Items&& items) {
    const bool written = writeIndex(items);
    auto shared = std::make_shared<Items>(std::move(items));
    if (written) {
        rememberWritten(shared);
    }
    return shared;
}

bool VisualMemoryStore::writeIndex(const Items& items) {
    std::error_code error;
    fs::create_directories(rootDirectory_, error);
    if (error) {
        log("visualMemory index write failed error=" + error.message());
        return false;
    }
    if (!setAsideDamagedIndexIfNeeded()) {
        return false;
    }
    const std::string document = encodeVisualMemoryIndex(items);
    if (const auto writeError = writeFileAtomically(indexURL_, document)) {
        log("visualMemory index write failed error=" + writeError.message());
        snapshot_.reset();
        return false;
    }
    return true;
}

void VisualMemoryStore::rememberWritten(std::shared_ptr<Items> items) {
    struct stat info {};
    if (::stat(indexURL_.c_str(), &info) != 0) {
        snapshot_.reset();
        return;
    }
    Snapshot written;
    written.identity = identityOf(info);
    written.items = std::move(items);
    snapshot_ = std::move(written);
}

bool VisualMemoryStore::setAsideDamagedIndexIfNeeded() {
    // Judge the file that is on disk right now: it may have changed since we last read it.
    struct stat info {};
    if (::stat(indexURL_.c_str(), &info) != 0) {
        return true;
    }
    if (!snapshot_ || !(snapshot_->identity == identityOf(info))) {
        loadShared();
    }
    if (!snapshot_ || !snapshot_->damaged) {
        return true;
    }
    if (setAside()) {
        snapshot_.reset();
        return true;
    }
    log("visualMemory index write skipped reason=damagedIndexKept path=" + indexURL_.string());
    return false;
}

bool VisualMemoryStore::setAside() {
    static const SystemClock systemClock;
    const Clock& clock = clock_ != nullptr ? *clock_ : systemClock;
    const std::string stem = "index.damaged-" + compactTimestamp(clock.now());
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const std::string suffix = attempt == 1 ? "" : "-" + std::to_string(attempt);
        const fs::path target = rootDirectory_ / (stem + suffix + ".json");
        if (renameWithoutReplacing(indexURL_, target)) {
            log("visualMemory index set aside path=" + target.string());
            return true;
        }
        if (errno != EEXIST) {
            log(std::string("visualMemory index set aside failed error=") + std::strerror(errno));
            return false;
        }
    }
    return false;
}

VisualMemoryStore::Items VisualMemoryStore::commit(Items&& items, bool changed) {
    // Rewriting a list identical to the healthy file on disk only costs time; a missing or
    // damaged index is still written so the library ends up with a sound one.
    if (!changed && snapshot_ && !snapshot_->damaged) {
        Items result = items;
        putBack(std::move(items));
        return result;
    }
    return copyOf(persistOwned(std::move(items)));
}

// ---- mutations -------------------------------------------------------------------------------

VisualMemoryStore::Items VisualMemoryStore::upsert(const VisualMemoryItem& item) {
    Items items = takeWorkingList();
    const auto existing = std::find_if(items.begin(), items.end(), [&](const VisualMemoryItem& candidate) {
        return candidate.id == item.id || candidate.url == item.url;
    });
    VisualMemoryItem merged = item;
    if (existing != items.end()) {
        const VisualMemoryItem& old = *existing;
        merged.isFavorite = old.isFavorite;
        merged.isPinned = old.isPinned;
        merged.pinnedAt = old.pinnedAt;
        merged.manualTags = old.manualTags;
        merged.removedAutoTags = old.removedAutoTags;
        if (!merged.expiresAt) {
            merged.expiresAt = old.expiresAt;
        }
        if (!merged.clipboardContentKind) {
            merged.clipboardContentKind = old.clipboardContentKind;
        }
        if (!merged.packagePath) {
            merged.packagePath = old.packagePath;
        }
        if (!merged.contextKind) {
            merged.contextKind = old.contextKind;
        }
        if (!merged.browserDeepCaptureStatus) {
            merged.browserDeepCaptureStatus = old.browserDeepCaptureStatus;
        }
        if (merged.contextText.empty()) {
            merged.contextText = old.contextText;
        }
        // Shift the entries before it down by one instead of erasing and inserting.
        std::move_backward(items.begin(), existing, std::next(existing));
        items.front() = std::move(merged);
    } else {
        items.insert(items.begin(), std::move(merged));
    }
    return commit(std::move(items), true);
}

VisualMemoryStore::Items VisualMemoryStore::remove(const fs::path& url) {
    const fs::path target = url.lexically_normal();
    return removeWhere([&](const VisualMemoryItem& item) { return item.url.lexically_normal() == target; }, true);
}

VisualMemoryStore::Items VisualMemoryStore::toggleFavorite(std::string_view id) {
    Items items = takeWorkingList();
    const auto it = std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.id == id; });
    if (it != items.end()) {
        it->isFavorite = !it->isFavorite;
    }
    return commit(std::move(items), true);
}

VisualMemoryStore::Items VisualMemoryStore::togglePinned(std::string_view id, Date now) {
    Items items = takeWorkingList();
    const auto it = std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.id == id; });
    if (it != items.end()) {
        it->isPinned = !it->isPinned;
        it->pinnedAt = it->isPinned ? std::optional<Date>(now) : std::nullopt;
    }
    return commit(std::move(items), true);
}

VisualMemoryStore::Items VisualMemoryStore::addManualTag(std::string_view id, std::string_view tag) {
    Items items = takeWorkingList();
    const std::string normalized = normalizedTag(tag);
    const auto it = std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.id == id; });
    const bool present = it != items.end() &&
                         std::any_of(it->manualTags.begin(), it->manualTags.end(), [&](const std::string& existing) {
                             return memorytext::equalsIgnoringCase(existing, normalized);
                         });
    if (normalized.empty() || it == items.end() || present) {
        return commit(std::move(items), false);
    }
    it->manualTags.push_back(normalized);
    return commit(std::move(items), true);
}

VisualMemoryStore::Items VisualMemoryStore::removeManualTag(std::string_view id, std::string_view tag) {
    Items items = takeWorkingList();
    const auto it = std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.id == id; });
    if (it == items.end()) {
        return commit(std::move(items), false);
    }
    const std::string normalized = normalizedTag(tag);
    std::erase_if(it->manualTags,
                  [&](const std::string& existing) { return memorytext::equalsIgnoringCase(existing, normalized); });
    return commit(std::move(items), true);
}

VisualMemoryStore::Items VisualMemoryStore::removeAutoTag(std::string_view id, std::string_view tag) {
    Items items = takeWorkingList();
    const auto it = std::find_if(items.begin(), items.end(), [&](const auto& item) { return item.id == id; });
    if (it == items.end()) {
        return commit(std::move(items), false);
    }
    const std::string normalized = normalizedTag(tag);
    if (!normalized.empty()) {
        it->removedAutoTags.push_back(normalized);
        it->removedAutoTags = normalizedUniqueTags(it->removedAutoTags);
    }
    return commit(std::move(items), true);
}

// ---- clean-ups -------------------------------------------------------------------------------

VisualMemoryStore::Items
VisualMemoryStore::removeWhere(const std::function<bool(const VisualMemoryItem&)>& shouldRemove,
                               bool removeSourceFiles) {
    Items items = takeWorkingList();
    const auto firstRemoved = std::stable_partition(items.begin(), items.end(),
                                                    [&](const VisualMemoryItem& item) { return !shouldRemove(item); });
    Items removed(std::make_move_iterator(firstRemoved), std::make_move_iterator(items.end()));
    items.erase(firstRemoved, items.end());
    deleteFilesOf(removed, removeSourceFiles, items);
    return commit(std::move(items), !removed.empty());
}

VisualMemoryStore::Items VisualMemoryStore::cleanupMissingFiles() {
    return removeWhere(
        [](const VisualMemoryItem& item) {
            std::error_code error;
            return !fs::exists(item.url, error) && !error;
        },
        false);
}

VisualMemoryStore::Items VisualMemoryStore::cleanupExpiredItems(Date now) {
    return removeWhere(
        [&](const VisualMemoryItem& item) {
            return !item.isPermanentlyRetained() && item.expiresAt && *item.expiresAt <= now;
        },
        true);
}

VisualMemoryStore::Items VisualMemoryStore::cleanupExpiredItems(const AppPreferences& preferences, Date now) {
    return removeWhere(
        [&](const VisualMemoryItem& item) {
            if (item.isPermanentlyRetained()) {
                return false;
            }
            const auto expiry = expirationDate(retentionPeriod(item.kind, preferences), item.createdAt);
            return expiry && *expiry <= now;
        },
        true);
}

VisualMemoryStore::Items VisualMemoryStore::cleanupStorageLimit(VisualMemoryStorageLimit limit) {
    Items items = takeWorkingList();
    const auto bytes = byteLimit(limit);
    std::int64_t total = bytes ? storageByteCount(items) : 0;
    if (!bytes || total <= *bytes) {
        return commit(std::move(items), false);
    }
    std::vector<const VisualMemoryItem*> candidates;
    for (const auto& item : items) {
        if (!item.isPermanentlyRetained()) {
            candidates.push_back(&item);
        }
    }
    std::sort(candidates.begin(), candidates.end(), [](const VisualMemoryItem* a, const VisualMemoryItem* b) {
        return a->createdAt != b->createdAt ? a->createdAt < b->createdAt : a->id < b->id;
    });
    std::unordered_set<std::string> evicted;
    for (const VisualMemoryItem* candidate : candidates) {
        if (total <= *bytes) {
            break;
        }
        const std::int64_t size = storageByteCount(Items{*candidate});
        evicted.insert(candidate->id);
        total = std::max<std::int64_t>(0, total - size);
    }
    return removeEvicted(std::move(items), evicted);
}

VisualMemoryStore::Items VisualMemoryStore::removeEvicted(Items&& items, const std::unordered_set<std::string>& ids) {
    const auto firstRemoved = std::stable_partition(
        items.begin(), items.end(), [&](const VisualMemoryItem& item) { return ids.count(item.id) == 0; });
    Items removed(std::make_move_iterator(firstRemoved), std::make_move_iterator(items.end()));
    items.erase(firstRemoved, items.end());
    deleteFilesOf(removed, true, items);
    return commit(std::move(items), !removed.empty());
}

void VisualMemoryStore::deleteAssociatedFiles(const VisualMemoryItem& item, bool removeSourceFile, const Items& keep) {
    deleteFilesOf({item}, removeSourceFile, keep);
}

void VisualMemoryStore::deleteFilesOf(const Items& removed, bool removeSourceFiles, const Items& keep) {
    if (removed.empty()) {
        return;
    }
    std::unordered_set<std::string> kept;
    for (const auto& other : keep) {
        collectPaths(other, kept);
    }
    for (const auto& item : removed) {
        deleteFiles(item, removeSourceFiles, kept);
    }
}

void VisualMemoryStore::deleteFiles(const VisualMemoryItem& item, bool removeSourceFile,
                                    const std::unordered_set<std::string>& kept) {
    if (removeSourceFile) {
        removeUnlessKept(item.url, false, kept);
    }
    if (item.thumbnailPath && !item.thumbnailPath->empty()) {
        removeUnlessKept(*item.thumbnailPath, false, kept);
    }
    if (item.packagePath && !item.packagePath->empty()) {
        removeUnlessKept(*item.packagePath, true, kept);
    }
}

// ---- byte accounting -------------------------------------------------------------------------

std::int64_t VisualMemoryStore::storageByteCount() const {
    return storageByteCount(*loadShared());
}

std::int64_t VisualMemoryStore::storageByteCount(const Items& items) const {
    std::unordered_set<std::string> visited;
    std::int64_t total = 0;
    for (const auto& item : items) {
        total += byteCount(item.url, visited);
        if (item.thumbnailPath && !item.thumbnailPath->empty()) {
            total += byteCount(*item.thumbnailPath, visited);
        }
        if (item.packagePath && !item.packagePath->empty()) {
            total += byteCount(*item.packagePath, visited);
        }
    }
    return total;
}

std::int64_t VisualMemoryStore::byteCount(const fs::path& path, std::unordered_set<std::string>& visited) const {
    if (!visited.insert(standardized(path)).second) {
        return 0;
    }
    std::error_code error;
    const auto status = fs::status(path, error);
    if (error) {
        return 0;
    }
    if (fs::is_directory(status)) {
        std::int64_t total = 0;
        for (fs::recursive_directory_iterator it(path, fs::directory_options::skip_permission_denied, error), end;
             !error && it != end; it.increment(error)) {
            total += byteCount(it->path(), visited);
        }
        return total;
    }
    const auto size = fs::file_size(path, error);
    return error ? 0 : static_cast<std::int64_t>(size);
}

} // namespace brisklet
