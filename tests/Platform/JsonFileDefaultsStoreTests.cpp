#include "Platform/Linux/System/JsonFileDefaultsStore.h"

#include "Platform/Fake/TemporaryPaths.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace brisklet {
namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::filesystem::path> keptAside(const std::filesystem::path& dir) {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        if (entry.path().filename().string().find(".corrupt-") != std::string::npos) {
            found.push_back(entry.path());
        }
    }
    return found;
}

TEST(JsonFileDefaultsStoreTest, ValuesOfEveryKindSurviveAReopen) {
    TemporaryPaths paths;
    const auto file = JsonFileDefaultsStore::defaultFile(paths.configDirectory());
    {
        JsonFileDefaultsStore store(file);
        store.setData("brisklet.preferences", R"({"gifFPS": 30})");
        store.setData("brisklet.binary", std::string("\xff\x00\x01", 3));
        store.setBool("brisklet.didShowWelcomeWindow", true);
        store.setString("brisklet.updater.skippedVersion", "1.2.3");
        store.setDate("brisklet.updater.remindAfter", Date{1234.5});
        store.setBool("brisklet.gone", true);
        store.removeValue("brisklet.gone");
    }
    JsonFileDefaultsStore reopened(file);
    EXPECT_EQ(reopened.data("brisklet.preferences"), R"({"gifFPS": 30})");
    EXPECT_EQ(reopened.data("brisklet.binary"), std::string("\xff\x00\x01", 3));
    EXPECT_TRUE(reopened.boolValue("brisklet.didShowWelcomeWindow"));
    EXPECT_FALSE(reopened.boolValue("brisklet.gone"));
    EXPECT_FALSE(reopened.boolValue("brisklet.never.written"));
    EXPECT_EQ(reopened.string("brisklet.updater.skippedVersion"), "1.2.3");
    EXPECT_EQ(reopened.date("brisklet.updater.remindAfter"), Date{1234.5});
    EXPECT_FALSE(reopened.data("brisklet.didShowWelcomeWindow")) << "a boolean is not data";
}

TEST(JsonFileDefaultsStoreTest, DamagedFileIsKeptAsideReportedAndTreatedAsEmpty) {
    TemporaryPaths paths;
    const auto file = JsonFileDefaultsStore::defaultFile(paths.configDirectory());
    std::filesystem::create_directories(file.parent_path());
    const std::string damaged = "{\"brisklet.preferences\": {\"data\": \"{}\"},  <<< garbage";
    std::ofstream(file) << damaged;

    std::vector<std::string> reports;
    JsonFileDefaultsStore store(file, [&](const std::string& message) { reports.push_back(message); });
    EXPECT_FALSE(store.data("brisklet.preferences"));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("defaults file unreadable"), std::string::npos);

    const auto aside = keptAside(file.parent_path());
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(contents(aside[0]), damaged);

    store.setBool("brisklet.didShowWelcomeWindow", true);
    EXPECT_TRUE(JsonFileDefaultsStore(file).boolValue("brisklet.didShowWelcomeWindow"));
    EXPECT_EQ(contents(aside[0]), damaged) << "the damaged copy is never touched again";
}

TEST(JsonFileDefaultsStoreTest, WrongValueShapesCountAsDamage) {
    TemporaryPaths paths;
    const auto file = paths.root() / "defaults.json";
    std::ofstream(file) << R"({"brisklet.preferences": {"data": 42}})";
    JsonFileDefaultsStore store(file);
    EXPECT_FALSE(store.data("brisklet.preferences"));
    EXPECT_EQ(keptAside(paths.root()).size(), 1u);
}

} // namespace
} // namespace brisklet

namespace brisklet {
namespace {

TEST(JsonFileDefaultsStoreTest, AWriteKeepsWhatAnotherProcessStoredMeanwhile) {
    TemporaryPaths paths;
    const auto file = JsonFileDefaultsStore::defaultFile(paths.configDirectory());
    JsonFileDefaultsStore application(file);
    application.setData("brisklet.preferences", R"({"launchAtLoginEnabled": true})");
    {
        // `brisklet prefs import` while the application runs.
        JsonFileDefaultsStore command(file);
        command.setData("brisklet.preferences", R"({"launchAtLoginEnabled": false})");
    }
    // The application changes an unrelated key before it reloads.
    application.setBool("brisklet.didShowWelcomeWindow", true);
    application.removeValue("brisklet.nothing");
    JsonFileDefaultsStore reopened(file);
    EXPECT_EQ(reopened.data("brisklet.preferences"), R"({"launchAtLoginEnabled": false})");
    EXPECT_TRUE(reopened.boolValue("brisklet.didShowWelcomeWindow"));
    application.removeValue("brisklet.didShowWelcomeWindow");
    EXPECT_FALSE(JsonFileDefaultsStore(file).boolValue("brisklet.didShowWelcomeWindow"));
}

TEST(JsonFileDefaultsStoreReload, SeesWhatAnotherProcessWroteAndKeepsMemoryOverADamagedFile) {
    TemporaryPaths paths;
    const auto file = paths.root() / "defaults.json";
    JsonFileDefaultsStore running(file);
    running.setBool("brisklet.a", true);
    {
        JsonFileDefaultsStore other(file);
        other.setString("brisklet.b", "imported");
    }
    running.reload();
    EXPECT_EQ(running.string("brisklet.b"), "imported");
    EXPECT_TRUE(running.boolValue("brisklet.a"));
    running.setBool("brisklet.c", true);
    EXPECT_EQ(JsonFileDefaultsStore(file).string("brisklet.b"), "imported") << "a later write keeps the import";

    std::ofstream(file) << "{ damaged";
    running.reload();
    EXPECT_EQ(running.string("brisklet.b"), "imported");
}

} // namespace
} // namespace brisklet
