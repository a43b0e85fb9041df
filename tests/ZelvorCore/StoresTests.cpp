#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/RecentExportStore.h"

#include "Platform/Fake/InMemoryDefaultsStore.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace brisklet {
namespace {

ExportedAsset asset(const std::string& path, double createdAt, std::optional<std::int64_t> bytes = std::nullopt) {
    return ExportedAsset{path, ExportKind::screenshot, Date{createdAt}, bytes};
}

TEST(PreferencesStoreTest, FirstLaunchReadsDefaultsAndWritesNothing) {
    InMemoryDefaultsStore defaults;
    PreferencesStore store(defaults);
    RecentExportStore recent(defaults, DefaultsKeys::recentExports, 8);
    EXPECT_EQ(store.load(), AppPreferences::defaults());
    EXPECT_TRUE(recent.load().empty());
    EXPECT_TRUE(defaults.snapshot().empty());
}

TEST(PreferencesStoreTest, UnreadableDocumentFallsBackAsAWholeAndIsLeftUntilTheNextSave) {
    InMemoryDefaultsStore defaults;
    const std::string broken = R"({"appLanguage": "xx", "gifFPS": 30})";
    defaults.setData(DefaultsKeys::preferences, broken);
    PreferencesStore store(defaults);
    std::optional<std::string> error;
    EXPECT_EQ(store.load(error), AppPreferences::defaults());
    ASSERT_TRUE(error);
    EXPECT_NE(error->find("appLanguage"), std::string::npos);
    EXPECT_EQ(defaults.data(DefaultsKeys::preferences), broken);

    AppPreferences changed = AppPreferences::defaults();
    changed.gifFPS = 25;
    store.save(changed);
    EXPECT_EQ(store.load(), changed);
}

TEST(RecentExportStoreTest, RecordingMovesToFrontAndKeepsAtMostMaxItems) {
    InMemoryDefaultsStore defaults;
    RecentExportStore store(defaults, DefaultsKeys::recentExports, 8);
    for (int i = 0; i < 8; ++i) {
        store.record(asset("/x/" + std::to_string(i) + ".png", i));
    }
    auto list = store.record(asset("/x/3.png", 100, 2048));
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front(), asset("/x/3.png", 100, 2048));
    EXPECT_EQ(std::count_if(list.begin(), list.end(), [](const auto& a) { return a.id() == "/x/3.png"; }), 1);

    list = store.record(asset("/x/new.png", 200));
    ASSERT_EQ(list.size(), 8u);
    EXPECT_EQ(list.front().url, "/x/new.png");
    EXPECT_EQ(list.back().url, "/x/1.png") << "the oldest entry (0) fell off";
    EXPECT_EQ(store.load(), list) << "a second read sees what was written";
}

TEST(RecentExportStoreTest, RemoveAndDocumentForm) {
    InMemoryDefaultsStore defaults;
    RecentExportStore store(defaults, DefaultsKeys::recentExports, 8);
    store.record(asset("/x/a b.png", Date::referenceDateOffset + 10));
    store.record(asset("/x/c.png", Date::referenceDateOffset + 20));
    const auto before = defaults.data(DefaultsKeys::recentExports);
    EXPECT_EQ(store.remove("/x/missing.png").size(), 2u);
    EXPECT_EQ(defaults.data(DefaultsKeys::recentExports), before);

    const auto json = nlohmann::json::parse(*before);
    EXPECT_EQ(json[1]["url"], "file:///x/a%20b.png");
    EXPECT_EQ(json[1]["createdAt"], 10.0) << "dates are seconds since 2001";
    EXPECT_FALSE(json[1].contains("byteCount"));

    EXPECT_EQ(store.remove("/x/c.png").size(), 1u);
    defaults.setData(DefaultsKeys::recentExports, R"([{"url": "file:///x/a.png", "kind": "poster", "createdAt": 1}])");
    EXPECT_TRUE(store.load().empty());
}

} // namespace
} // namespace brisklet
