#include "MemoryTestSupport.h"

#include "Platform/Fake/ManualClock.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Stores/VisualMemoryIndexCoding.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/stat.h>

namespace brisklet {
namespace {

using namespace memory_testing;

constexpr double day = 86400;
constexpr double t0 = 1'700'000'000; // 2023-11-14T22:13:20Z

class VisualMemoryStoreTest : public ::testing::Test {
protected:
    fs::path root() const { return paths_.root() / "library"; }
    fs::path file(const std::string& name, std::size_t bytes = 10) {
        return writeFile(paths_.root() / "files" / name, bytes);
    }
    // A file of `bytes` logical bytes that takes no disk space.
    fs::path sparse(const std::string& name, std::uintmax_t bytes) {
        const fs::path path = file(name, 0);
        fs::resize_file(path, bytes);
        return path;
    }
    std::vector<std::string> ids(const VisualMemoryStore::Items& items) {
        std::vector<std::string> result;
        for (const auto& entry : items) {
            result.push_back(entry.url.filename().string());
        }
        return result;
    }

    TemporaryPaths paths_;
    ManualClock clock_{Date{t0}};
    std::vector<std::string> logLines_;
    VisualMemoryStore store_{root(), [this](std::string_view line) { logLines_.emplace_back(line); }, &clock_};
};

TEST_F(VisualMemoryStoreTest, LayoutUnderTheApplicationSupportDirectoryAndNothingCreatedUpFront) {
    EXPECT_EQ(VisualMemoryStore::defaultRootDirectory(paths_),
              paths_.applicationSupportDirectory() / "Brisklet" / "VisualMemory");
    EXPECT_EQ(store_.indexURL(), root() / "index.json");
    EXPECT_EQ(store_.thumbnailDirectory(), root() / "Thumbnails");
    EXPECT_TRUE(store_.load().empty());
    EXPECT_FALSE(fs::exists(root()));
}

TEST_F(VisualMemoryStoreTest, IndexIsASortedPrettyArrayWithIsoDatesAndOmittedOptionals) {
    VisualMemoryItem entry = item(file("a b.png"), t0);
    entry.expiresAt = Date{t0 + day};
    entry.sourceURL = "https://example.com/page";
    store_.upsert(entry);

    const std::string document = readText(store_.indexURL());
    EXPECT_NE(document.find("\n  {\n    \""), std::string::npos) << "pretty-printed";
    const auto json = nlohmann::json::parse(document);
    ASSERT_TRUE(json.is_array());
    const auto& stored = json[0];
    EXPECT_EQ(stored["createdAt"], "2023-11-14T22:13:20Z");
    EXPECT_EQ(stored["expiresAt"], "2023-11-15T22:13:20Z");
    EXPECT_EQ(stored["id"], entry.url.string());
    EXPECT_EQ(stored["url"], "file://" + entry.url.parent_path().string() + "/a%20b.png");
    EXPECT_EQ(stored["kind"], "screenshot");
    for (const char* omitted : {"sourceApp", "sourceWindow", "pinnedAt", "byteCount", "thumbnailPath",
                                "clipboardContentKind", "packagePath", "contextKind", "browserDeepCaptureStatus"}) {
        EXPECT_FALSE(stored.contains(omitted)) << omitted;
    }
    for (const char* always :
         {"tags", "manualTags", "removedAutoTags", "ocrText", "isFavorite", "isPinned", "contextText", "summary"}) {
        EXPECT_TRUE(stored.contains(always)) << always;
    }
    std::vector<std::string> keys;
    // Kept in a variable: a range-for over a member of a temporary would read a destroyed document.
    const auto inOrder = nlohmann::ordered_json::parse(document);
    for (const auto& [key, value] : inOrder[0].items()) {
        keys.push_back(key);
    }
    EXPECT_TRUE(std::is_sorted(keys.begin(), keys.end())) << "keys are sorted";
    EXPECT_EQ(store_.load(), std::vector<VisualMemoryItem>{entry});
}

TEST_F(VisualMemoryStoreTest, DecodingFillsDefaultsAndRejectsBadDates) {
    const std::string minimal =
        R"([{"id":"x","url":"file:///tmp/x.png","kind":"gif","createdAt":"2023-11-14T22:13:20+01:00","summary":"s"}])";
    auto decoded = decodeVisualMemoryIndex(minimal);
    ASSERT_FALSE(decoded.error);
    ASSERT_EQ(decoded.items.size(), 1u);
    const auto& entry = decoded.items[0];
    EXPECT_EQ(entry.createdAt, Date{t0 - 3600});
    EXPECT_TRUE(entry.tags.empty());
    EXPECT_EQ(entry.ocrText, "");
    EXPECT_FALSE(entry.isFavorite);
    EXPECT_EQ(entry.kind, ExportKind::gif);

    decoded = decodeVisualMemoryIndex(
        R"([{"id":"x","url":"file:///tmp/x.png","kind":"gif","createdAt":725000000,"summary":"s"}])");
    EXPECT_TRUE(decoded.error) << "dates are ISO 8601 text, not numbers";
    decoded = decodeVisualMemoryIndex(
        R"([{"id":"x","url":"file:///tmp/x.png","kind":"gif","createdAt":"2023-11-14T22:13:20Z"}])");
    EXPECT_TRUE(decoded.error) << "summary is required";
}

TEST(VisualMemoryIndexCodingTest, DirectWriterMatchesTheJsonLibraryAndReadsBack) {
    VisualMemoryItem full = item("/tmp/dir with space/ä.png", t0, ExportKind::appshot);
    full.sourceApp = "App \"quoted\" \\ back";
    full.sourceWindow = "Tab\tand\nnewline \x01 control";
    full.sourceURL = "https://example.com/?q=1&r=2";
    full.summary = "日本語 summary";
    full.tags = {"a", "b"};
    full.manualTags = {"m"};
    full.removedAutoTags = {"b"};
    full.ocrText = "# Title\n\n- item";
    full.isFavorite = true;
    full.isPinned = true;
    full.pinnedAt = Date{t0 + 1};
    full.byteCount = -5;
    full.thumbnailPath = "/tmp/t.jpg";
    full.expiresAt = Date{t0 + day};
    full.clipboardContentKind = ClipboardContentKind::codeSnippet;
    full.packagePath = "/tmp/pkg";
    full.contextText = "context";
    full.contextKind = VisualMemoryContextKind::appshot;
    full.browserDeepCaptureStatus = BrowserDeepCaptureStatus::extensionUnavailable;
    const std::vector<VisualMemoryItem> items{full, item("/tmp/b.png", t0 + 2)};
    EXPECT_EQ(encodeVisualMemoryIndex(items), encodeVisualMemoryIndexThroughDocument(items));
    EXPECT_EQ(encodeVisualMemoryIndex({}), encodeVisualMemoryIndexThroughDocument({}));
    const auto decoded = decodeVisualMemoryIndex(encodeVisualMemoryIndex(items));
    EXPECT_FALSE(decoded.error);
    EXPECT_EQ(decoded.items, items);

    VisualMemoryItem broken = item("/tmp/c.png", t0);
    broken.ocrText = std::string("bad \xff\xfe utf8 \xe6\x97");
    const auto reread = decodeVisualMemoryIndex(encodeVisualMemoryIndex({broken}));
    ASSERT_FALSE(reread.error) << "broken text is stored as replacement characters, not as invalid JSON";
    EXPECT_EQ(reread.items[0].ocrText.rfind("bad \xEF\xBF\xBD", 0), 0u);
}

TEST(VisualMemoryTagsTest, NormalisationAndVisibility) {
    EXPECT_EQ(normalizedTag("  #Work Notes# \n"), "work-notes");
    EXPECT_EQ(normalizedTag("##"), "");
    EXPECT_EQ(normalizedUniqueTags({"Design", " design ", "#", "UI Kit", "ui-kit", "ÄRGER"}),
              (std::vector<std::string>{"design", "ui-kit", "ärger"}));

    VisualMemoryItem entry = item("/tmp/a.png", t0);
    entry.tags = {"code", "Error", "design"};
    entry.removedAutoTags = {"error"};
    entry.manualTags = {"design", "later"};
    EXPECT_EQ(entry.visibleAutoTags(), (std::vector<std::string>{"code", "design"}));
    EXPECT_EQ(entry.visibleTags(), (std::vector<std::string>{"code", "design", "later"}));
    EXPECT_FALSE(entry.isPermanentlyRetained());
    entry.isPinned = true;
    EXPECT_TRUE(entry.isPermanentlyRetained());
}

TEST_F(VisualMemoryStoreTest, UpsertByUrlKeepsUserStateFillsGapsAndMovesToFront) {
    const fs::path shot = file("shot.png");
    VisualMemoryItem original = item(shot, t0);
    original.isFavorite = true;
    original.isPinned = true;
    original.pinnedAt = Date{t0 + 5};
    original.manualTags = {"keep"};
    original.removedAutoTags = {"noise"};
    original.packagePath = "/tmp/pkg";
    original.contextText = "context";
    original.contextKind = VisualMemoryContextKind::appshot;
    original.expiresAt = Date{t0 + day};
    original.browserDeepCaptureStatus = BrowserDeepCaptureStatus::metadataAvailable;
    original.clipboardContentKind = ClipboardContentKind::image;
    store_.upsert(original);
    store_.upsert(item(file("other.png"), t0 + 1));

    VisualMemoryItem reanalysed = item(shot, t0 + 2);
    reanalysed.id = "a-new-id";
    reanalysed.summary = "Fresh summary";
    reanalysed.tags = {"fresh"};
    reanalysed.manualTags = {"ignored"};
    reanalysed.isFavorite = false;
    const auto items = store_.upsert(reanalysed);

    ASSERT_EQ(items.size(), 2u);
    const auto& merged = items.front();
    EXPECT_EQ(merged.id, "a-new-id") << "everything but user state and gaps comes from the new item";
    EXPECT_EQ(merged.summary, "Fresh summary");
    EXPECT_EQ(merged.tags, std::vector<std::string>{"fresh"});
    EXPECT_EQ(merged.createdAt, Date{t0 + 2});
    EXPECT_TRUE(merged.isFavorite);
    EXPECT_TRUE(merged.isPinned);
    EXPECT_EQ(merged.pinnedAt, Date{t0 + 5});
    EXPECT_EQ(merged.manualTags, std::vector<std::string>{"keep"});
    EXPECT_EQ(merged.removedAutoTags, std::vector<std::string>{"noise"});
    EXPECT_EQ(merged.packagePath, "/tmp/pkg") << "an absent package path keeps the stored one";
    EXPECT_EQ(merged.contextText, "context") << "an empty context text keeps the stored one";
    EXPECT_EQ(merged.contextKind, VisualMemoryContextKind::appshot);
    EXPECT_EQ(merged.expiresAt, Date{t0 + day});
    EXPECT_EQ(merged.browserDeepCaptureStatus, BrowserDeepCaptureStatus::metadataAvailable);
    EXPECT_EQ(merged.clipboardContentKind, ClipboardContentKind::image);
    EXPECT_EQ(store_.load(), items);

    VisualMemoryItem replacingGaps = merged;
    replacingGaps.contextText = "new context";
    replacingGaps.packagePath = "/tmp/pkg2";
    EXPECT_EQ(store_.upsert(replacingGaps).front().contextText, "new context");
    EXPECT_EQ(store_.load().front().packagePath, "/tmp/pkg2");
}

TEST_F(VisualMemoryStoreTest, ManualAndAutomaticTags) {
    VisualMemoryItem entry = item(file("a.png"), t0);
    entry.tags = {"design", "ui"};
    store_.upsert(entry);

    auto items = store_.addManualTag(entry.id, "  #Work Notes# ");
    EXPECT_EQ(items.front().manualTags, std::vector<std::string>{"work-notes"});
    const auto before = fs::last_write_time(store_.indexURL());
    struct stat beforeInfo {};
    ::stat(store_.indexURL().c_str(), &beforeInfo);
    items = store_.addManualTag(entry.id, "WORK-NOTES");
    EXPECT_EQ(items.front().manualTags, std::vector<std::string>{"work-notes"});
    struct stat afterInfo {};
    ::stat(store_.indexURL().c_str(), &afterInfo);
    EXPECT_EQ(beforeInfo.st_ino, afterInfo.st_ino) << "a tag that is already there causes no write";
    EXPECT_EQ(before, fs::last_write_time(store_.indexURL()));
    EXPECT_EQ(store_.addManualTag(entry.id, " # ").front().manualTags.size(), 1u);
    EXPECT_EQ(store_.addManualTag("missing", "x"), items);

    items = store_.removeAutoTag(entry.id, "UI");
    EXPECT_EQ(items.front().tags, (std::vector<std::string>{"design", "ui"})) << "the automatic tag stays stored";
    EXPECT_EQ(items.front().removedAutoTags, std::vector<std::string>{"ui"});
    EXPECT_EQ(items.front().visibleTags(), (std::vector<std::string>{"design", "work-notes"}));
    EXPECT_EQ(store_.removeAutoTag(entry.id, "#ui").front().removedAutoTags, std::vector<std::string>{"ui"});

    items = store_.removeManualTag(entry.id, "Work Notes");
    EXPECT_TRUE(items.front().manualTags.empty());
}

TEST_F(VisualMemoryStoreTest, TogglesPersistAndStampPins) {
    VisualMemoryItem entry = item(file("a.png"), t0);
    store_.upsert(entry);
    EXPECT_TRUE(store_.toggleFavorite(entry.id).front().isFavorite);
    auto items = store_.togglePinned(entry.id, Date{t0 + 60});
    EXPECT_TRUE(items.front().isPinned);
    EXPECT_EQ(items.front().pinnedAt, Date{t0 + 60});
    items = store_.togglePinned(entry.id, Date{t0 + 120});
    EXPECT_FALSE(items.front().isPinned);
    EXPECT_FALSE(items.front().pinnedAt);
    EXPECT_EQ(store_.load(), items);

    VisualMemoryStore fresh(paths_.root() / "empty-library");
    EXPECT_TRUE(fresh.toggleFavorite("nothing").empty());
    EXPECT_TRUE(fs::exists(fresh.indexURL())) << "a toggle persists even when nothing matched";
}

TEST_F(VisualMemoryStoreTest, RemoveDeletesTheFileThumbnailAndPackage) {
    VisualMemoryItem entry = item(file("a.png"), t0);
    entry.thumbnailPath = file("a-thumb.jpg").string();
    const fs::path package = paths_.root() / "files" / "pkg";
    writeFile(package / "screenshot.png", 5);
    entry.packagePath = package.string();
    store_.upsert(entry);
    store_.upsert(item(file("b.png"), t0));

    const auto items = store_.remove(entry.url);
    EXPECT_EQ(ids(items), std::vector<std::string>{"b.png"});
    EXPECT_FALSE(fs::exists(entry.url));
    EXPECT_FALSE(fs::exists(*entry.thumbnailPath));
    EXPECT_FALSE(fs::exists(package));
}

TEST_F(VisualMemoryStoreTest, MissingFilesGoWithTheirThumbnailsAndTheRestKeepsItsOrder) {
    VisualMemoryItem gone = item(file("gone.png"), t0);
    gone.thumbnailPath = file("gone-thumb.jpg").string();
    store_.upsert(item(file("first.png"), t0));
    store_.upsert(gone);
    store_.upsert(item(file("last.png"), t0));
    fs::remove(gone.url);

    const auto items = store_.cleanupMissingFiles();
    EXPECT_EQ(ids(items), (std::vector<std::string>{"last.png", "first.png"}));
    EXPECT_FALSE(fs::exists(*gone.thumbnailPath));
}

TEST_F(VisualMemoryStoreTest, ExpiryByStoredDateSparesFavouritesAndPinnedItems) {
    VisualMemoryItem expired = item(file("expired.png"), t0);
    expired.expiresAt = Date{t0 + 10};
    expired.thumbnailPath = file("expired-thumb.jpg").string();
    VisualMemoryItem favourite = item(file("favourite.png"), t0);
    favourite.expiresAt = Date{t0 + 10};
    favourite.isFavorite = true;
    VisualMemoryItem later = item(file("later.png"), t0);
    later.expiresAt = Date{t0 + 11};
    for (const auto& entry : {expired, favourite, later}) {
        store_.upsert(entry);
    }
    const auto items = store_.cleanupExpiredItems(Date{t0 + 10});
    EXPECT_EQ(ids(items), (std::vector<std::string>{"later.png", "favourite.png"}));
    EXPECT_FALSE(fs::exists(expired.url)) << "the source file goes too";
    EXPECT_FALSE(fs::exists(*expired.thumbnailPath));
}

TEST_F(VisualMemoryStoreTest, ExpiryByCurrentSettingsIgnoresTheStoredDate) {
    AppPreferences preferences = AppPreferences::defaults();
    preferences.screenshotRetentionPeriod = VisualMemoryRetentionPeriod::oneWeek;
    preferences.gifRetentionPeriod = VisualMemoryRetentionPeriod::unlimited;
    VisualMemoryItem old = item(file("old.png"), t0);
    old.expiresAt = Date{t0 + 365 * day}; // recorded under a longer setting
    VisualMemoryItem pinned = item(file("pinned.png"), t0);
    pinned.isPinned = true;
    const VisualMemoryItem gif = item(file("old.gif"), t0, ExportKind::gif);
    const VisualMemoryItem recent = item(file("recent.png"), t0 + 2 * day);
    for (const auto& entry : {old, pinned, gif, recent}) {
        store_.upsert(entry);
    }
    auto items = store_.cleanupExpiredItems(preferences, Date{t0 + 7 * day - 1});
    EXPECT_EQ(items.size(), 4u) << "one second before the week is over";
    items = store_.cleanupExpiredItems(preferences, Date{t0 + 7 * day});
    EXPECT_EQ(ids(items), (std::vector<std::string>{"recent.png", "old.gif", "pinned.png"}));
    EXPECT_FALSE(fs::exists(old.url));
    EXPECT_TRUE(fs::exists(pinned.url));
}

TEST_F(VisualMemoryStoreTest, ByteAccountingCountsSharedFilesAndPackageEntriesOnce) {
    VisualMemoryItem a = item(file("a.png", 100), t0);
    VisualMemoryItem b = item(file("b.png", 200), t0);
    a.thumbnailPath = b.thumbnailPath = file("shared-thumb.jpg", 30).string();
    const fs::path package = paths_.root() / "files" / "pkg";
    writeFile(package / "screenshot.png", 7);
    writeFile(package / "nested" / "context.md", 11);
    a.packagePath = package.string();
    b.packagePath = (package / "nested" / "..").string(); // same directory, written differently
    EXPECT_EQ(store_.storageByteCount({a, b}), 100 + 200 + 30 + 7 + 11);
    EXPECT_EQ(store_.storageByteCount({a}), 100 + 30 + 7 + 11);
    VisualMemoryItem missing = item(paths_.root() / "nowhere.png", t0);
    EXPECT_EQ(store_.storageByteCount({missing}), 0);
}

TEST_F(VisualMemoryStoreTest, StorageLimitEvictsOldestFirstEqualDatesByIdAndNeverFavourites) {
    constexpr std::uintmax_t big = 400'000'000;
    VisualMemoryItem favourite = item(sparse("0-favourite.png", big), t0 - day);
    favourite.isFavorite = true;
    store_.upsert(favourite);
    for (const char* name : {"c.png", "a.png", "b.png"}) {
        store_.upsert(item(sparse(name, big), t0));
    }
    store_.upsert(item(sparse("newest.png", big), t0 + day));
    // 5 × 400 MB against 1 GB: a and b (equal dates, ascending id) then c go; the favourite stays.
    const auto items = store_.cleanupStorageLimit(VisualMemoryStorageLimit::oneGB);
    EXPECT_EQ(ids(items), (std::vector<std::string>{"newest.png", "0-favourite.png"}));
    EXPECT_FALSE(fs::exists(paths_.root() / "files" / "a.png"));
    EXPECT_EQ(store_.storageByteCount(), 800'000'000);
    EXPECT_EQ(store_.cleanupStorageLimit(VisualMemoryStorageLimit::unlimited), items);
}

TEST_F(VisualMemoryStoreTest, StorageLimitWithEverythingPinnedRemovesNothing) {
    for (const char* name : {"a.png", "b.png", "c.png"}) {
        VisualMemoryItem entry = item(sparse(name, 600'000'000), t0);
        entry.isPinned = true;
        store_.upsert(entry);
    }
    const auto items = store_.cleanupStorageLimit(VisualMemoryStorageLimit::oneGB);
    EXPECT_EQ(items.size(), 3u);
    EXPECT_GT(store_.storageByteCount(), 1'000'000'000);
}

TEST_F(VisualMemoryStoreTest, EvictingAnItemKeepsAThumbnailAnotherItemStillUses) {
    const std::string thumbnail = file("shared-thumb.jpg", 50).string();
    VisualMemoryItem old = item(sparse("old.png", 900'000'000), t0);
    old.thumbnailPath = thumbnail;
    VisualMemoryItem kept = item(file("kept.png", 10), t0 + 1);
    kept.thumbnailPath = thumbnail;
    VisualMemoryItem filler = item(sparse("filler.png", 900'000'000), t0 + 2);
    filler.isFavorite = true;
    for (const auto& entry : {old, kept, filler}) {
        store_.upsert(entry);
    }
    const auto items = store_.cleanupStorageLimit(VisualMemoryStorageLimit::oneGB);
    EXPECT_EQ(ids(items), (std::vector<std::string>{"filler.png", "kept.png"}));
    EXPECT_FALSE(fs::exists(old.url));
    EXPECT_TRUE(fs::exists(thumbnail));
}

TEST_F(VisualMemoryStoreTest, DamagedIndexIsSetAsideBeforeTheNextWriteAndNeverReplacedSilently) {
    fs::create_directories(root());
    const std::string damaged = R"([{"id": "x", "url": "file:///tmp/x.png", "kind": "screenshot", "crea)";
    writeText(store_.indexURL(), damaged);

    EXPECT_TRUE(store_.load().empty());
    EXPECT_TRUE(store_.load().empty());
    EXPECT_EQ(readText(store_.indexURL()), damaged) << "reading never moves or changes the file";
    ASSERT_EQ(logLines_.size(), 1u) << "an unchanged damaged file is reported once";
    EXPECT_EQ(logLines_[0].rfind("visualMemory index unreadable error=", 0), 0u) << logLines_[0];

    const auto items = store_.upsert(item(file("new.png"), t0));
    EXPECT_EQ(items.size(), 1u);
    const fs::path aside = root() / "index.damaged-20231114-221320.json";
    ASSERT_TRUE(fs::exists(aside));
    EXPECT_EQ(readText(aside), damaged);
    EXPECT_EQ(store_.load(), items);
    ASSERT_EQ(logLines_.size(), 2u);
    EXPECT_EQ(logLines_[1], "visualMemory index set aside path=" + aside.string());

    // A second damaged file in the same second gets its own name.
    writeText(store_.indexURL(), "not json");
    store_.toggleFavorite("x");
    EXPECT_TRUE(fs::exists(root() / "index.damaged-20231114-221320-2.json"));
    EXPECT_EQ(readText(aside), damaged);
}

TEST_F(VisualMemoryStoreTest, OneBadEntryDoesNotHideTheOthers) {
    store_.upsert(item(file("a.png"), t0));
    store_.upsert(item(file("b.png"), t0));
    auto json = nlohmann::json::parse(readText(store_.indexURL()));
    json.insert(json.begin() + 1, nlohmann::json{{"id", "broken"}, {"kind", "poster"}});
    writeText(store_.indexURL(), json.dump(2));

    EXPECT_EQ(ids(store_.load()), (std::vector<std::string>{"b.png", "a.png"}));
    store_.toggleFavorite("nothing");
    int asideFiles = 0;
    for (const auto& entry : fs::directory_iterator(root())) {
        asideFiles += entry.path().filename().string().rfind("index.damaged-", 0) == 0;
    }
    EXPECT_EQ(asideFiles, 1) << "the original with the unreadable entry is kept";
    EXPECT_EQ(ids(store_.load()), (std::vector<std::string>{"b.png", "a.png"}));
}

TEST_F(VisualMemoryStoreTest, UnchangedIndexIsReadOnceAndEveryChangeOnDiskIsSeen) {
    store_.upsert(item(file("a.png"), t0));
    const std::size_t readsAfterWrite = store_.indexReadCount();
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(store_.load().size(), 1u);
    }
    store_.toggleFavorite(store_.load().front().id);
    EXPECT_EQ(store_.indexReadCount(), readsAfterWrite) << "our own writes are not read back";

    // Another writer replaces the file (new inode).
    VisualMemoryStore other(root());
    other.upsert(item(file("b.png"), t0));
    EXPECT_EQ(store_.load().size(), 2u);
    EXPECT_EQ(store_.indexReadCount(), readsAfterWrite + 1);

    // An in-place edit of the same size with the old modification time put back is still seen,
    // because the change time moves.
    std::string document = readText(store_.indexURL());
    struct stat info {};
    ::stat(store_.indexURL().c_str(), &info);
    const auto at = document.find("\"isFavorite\": false");
    ASSERT_NE(at, std::string::npos);
    document.replace(at, 19, "\"isFavorite\": 0e0  ");
    writeText(store_.indexURL(), document); // same size, now unreadable as a boolean
    const timespec times[2] = {info.st_atim, info.st_mtim};
    ::utimensat(AT_FDCWD, store_.indexURL().c_str(), times, 0);
    EXPECT_EQ(store_.load().size(), 1u) << "the edited entry no longer decodes";
    EXPECT_EQ(store_.indexReadCount(), readsAfterWrite + 2);
}

} // namespace
} // namespace brisklet
