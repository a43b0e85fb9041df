#include "main/PrefsCommand.h"

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <fstream>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <sstream>

namespace brisklet {
namespace {

struct CommandRun {
    int code;
    std::string out;
    std::string err;
};

CommandRun prefs(DefaultsStore& defaults, std::vector<std::string> args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = runPrefsCommand(args, defaults, out, err);
    return {code, out.str(), err.str()};
}

TEST(PrefsCommandTest, ShowPrintsTheEffectiveMigratedRecordWithoutWriting) {
    InMemoryDefaultsStore defaults;
    defaults.setData(DefaultsKeys::preferences, R"({"gifFPS": 12, "saveLogsEnabled": false})");
    const CommandRun run = prefs(defaults, {"show"});
    ASSERT_EQ(run.code, 0) << run.err;
    const auto json = nlohmann::json::parse(run.out);
    EXPECT_EQ(json["gifFPS"], 20.0);
    EXPECT_EQ(json["saveLogsEnabled"], false);
    EXPECT_EQ(json.size(), 62u) << "absent optional fields are left out";
    EXPECT_EQ(defaults.data(DefaultsKeys::preferences), R"({"gifFPS": 12, "saveLogsEnabled": false})");
}

TEST(PrefsCommandTest, ExportImportRoundTripAndExportNeverOverwrites) {
    TemporaryPaths paths;
    InMemoryDefaultsStore defaults;
    AppPreferences custom = AppPreferences::defaults();
    custom.appLanguage = AppLanguage::german;
    PreferencesStore(defaults).save(custom);

    const auto backup = (paths.root() / "backup.json").string();
    ASSERT_EQ(prefs(defaults, {"export", backup}).code, 0);
    const CommandRun again = prefs(defaults, {"export", backup});
    EXPECT_EQ(again.code, 1);
    EXPECT_NE(again.err.find("already exists"), std::string::npos);

    ASSERT_EQ(prefs(defaults, {"reset"}).code, 0);
    EXPECT_EQ(PreferencesStore(defaults).load(), AppPreferences::defaults());
    ASSERT_EQ(prefs(defaults, {"import", backup}).code, 0);
    EXPECT_EQ(PreferencesStore(defaults).load().appLanguage, AppLanguage::german);
}

TEST(PrefsCommandTest, UnusableImportIsRefusedAndChangesNothing) {
    TemporaryPaths paths;
    InMemoryDefaultsStore defaults;
    defaults.setData(DefaultsKeys::preferences, R"({"gifFPS": 25})");
    const auto bad = paths.root() / "bad.json";
    std::ofstream(bad) << R"({"appLanguage": "klingon"})";

    for (const std::string& file : {bad.string(), (paths.root() / "missing.json").string()}) {
        const CommandRun run = prefs(defaults, {"import", file});
        EXPECT_EQ(run.code, 1);
        EXPECT_NE(run.err.find(file), std::string::npos);
    }
    EXPECT_EQ(defaults.data(DefaultsKeys::preferences), R"({"gifFPS": 25})");
    EXPECT_EQ(prefs(defaults, {"frobnicate"}).code, 2);
}

} // namespace
} // namespace brisklet
