#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualSerialQueue.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/ThreadSerialQueue.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <fstream>
#include <gtest/gtest.h>
#include <set>
#include <sstream>
#include <thread>

namespace brisklet {
namespace {

std::string contents(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

void setModified(const std::filesystem::path& file, Date date) {
    const auto since = std::chrono::duration_cast<std::chrono::system_clock::duration>(
        std::chrono::duration<double>(date.secondsSince1970));
    std::filesystem::last_write_time(file,
                                     std::chrono::file_clock::from_sys(std::chrono::system_clock::time_point(since)));
}

class RuntimeLogWriterTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    ManualClock clock{*parseIso8601("2026-12-04T00:04:19Z")};
    std::filesystem::path logs = paths.root() / "Brisklet" / "Logs";

    std::unique_ptr<RuntimeLogWriter> makeWriter(RuntimeLogWriter::InitialState state = {}) {
        return std::make_unique<RuntimeLogWriter>(std::make_unique<ManualSerialQueue>(RuntimeLogWriter::queueLabel),
                                                  clock, logs, [state] { return state; });
    }
};

TEST_F(RuntimeLogWriterTest, LinesAreStampedAndLatestLogStartsAfreshEachProcess) {
    std::filesystem::create_directories(logs);
    std::ofstream(logs / "latest.log") << "line of an earlier process\n";
    auto writer = makeWriter();
    clock.advance(293);
    EXPECT_EQ(writer->formatLine("applicationDidFinishLaunching begin"),
              "[2026-12-04T00:09:12Z] [session 2026-12-04T00:04:19Z] applicationDidFinishLaunching begin\n");
    writer->log("first");
    writer->log("second");
    writer->flush();
    const std::string expected = "[2026-12-04T00:09:12Z] [session 2026-12-04T00:04:19Z] first\n"
                                 "[2026-12-04T00:09:12Z] [session 2026-12-04T00:04:19Z] second\n";
    EXPECT_EQ(contents(logs / "latest.log"), expected);
    EXPECT_EQ(writer->sessionLogFileURL(), logs / "session-2026-12-04T00-04-19Z.log");
    EXPECT_EQ(contents(writer->sessionLogFileURL()), expected);
    EXPECT_EQ(writer->fileURL(), logs / "latest.log");
}

TEST_F(RuntimeLogWriterTest, AppendingKeepsEarlierLinesOfTheSessionFile) {
    auto writer = makeWriter();
    std::filesystem::create_directories(logs);
    std::ofstream(writer->sessionLogFileURL()) << "kept\n";
    writer->log("added");
    writer->flush();
    EXPECT_EQ(contents(writer->sessionLogFileURL()),
              "kept\n[2026-12-04T00:04:19Z] [session 2026-12-04T00:04:19Z] added\n");
}

TEST_F(RuntimeLogWriterTest, DisabledLoggingCreatesNothingAndStoredSwitchIsReadLazily) {
    auto writer = makeWriter({false, VisualMemoryRetentionPeriod::threeDays});
    writer->log("dropped");
    writer->flush();
    EXPECT_FALSE(std::filesystem::exists(logs));

    writer->configure(true, VisualMemoryRetentionPeriod::threeDays, std::nullopt, clock.now());
    writer->log("kept");
    writer->configure(false, VisualMemoryRetentionPeriod::threeDays, std::nullopt, clock.now());
    writer->log("dropped again");
    writer->flush();
    EXPECT_NE(contents(logs / "latest.log").find("kept"), std::string::npos);
    EXPECT_EQ(contents(logs / "latest.log").find("dropped"), std::string::npos);

    InMemoryDefaultsStore defaults;
    AppPreferences prefs = AppPreferences::defaults();
    prefs.saveLogsEnabled = false;
    prefs.logRetentionPeriod = VisualMemoryRetentionPeriod::oneYear;
    PreferencesStore(defaults).save(prefs);
    const auto state = RuntimeLogWriter::storedPreferencesProvider(defaults)();
    EXPECT_FALSE(state.isEnabled);
    EXPECT_EQ(state.retentionPeriod, VisualMemoryRetentionPeriod::oneYear);
}

TEST_F(RuntimeLogWriterTest, RetentionDeletesOnlyOldSessionLogs) {
    std::filesystem::create_directories(logs);
    const Date now = clock.now();
    const Date old = now.addingSeconds(-25 * 3600);
    for (const char* name : {"session-old.log", "latest.log", "notes.txt", ".hidden.log", "session-new.log"}) {
        std::ofstream(logs / name) << "x";
        setModified(logs / name, std::string(name) == "session-new.log" ? now : old);
    }
    auto writer = makeWriter();
    writer->configure(true, VisualMemoryRetentionPeriod::unlimited, std::nullopt, now);
    EXPECT_TRUE(std::filesystem::exists(logs / "session-old.log"));

    writer->configure(true, VisualMemoryRetentionPeriod::oneDay, std::nullopt, now);
    EXPECT_FALSE(std::filesystem::exists(logs / "session-old.log"));
    for (const char* kept : {"latest.log", "notes.txt", ".hidden.log", "session-new.log"}) {
        EXPECT_TRUE(std::filesystem::exists(logs / kept)) << kept;
    }
}

TEST_F(RuntimeLogWriterTest, SwitchingDirectoryStartsANewLatestLogThere) {
    auto writer = makeWriter();
    writer->log("one");
    const auto elsewhere = paths.root() / "elsewhere";
    writer->configure(true, VisualMemoryRetentionPeriod::threeDays, elsewhere, clock.now());
    writer->log("two");
    writer->flush();
    EXPECT_EQ(writer->logsDirectoryURL(), elsewhere);
    EXPECT_EQ(contents(elsewhere / "latest.log"), "[2026-12-04T00:04:19Z] [session 2026-12-04T00:04:19Z] two\n");
    EXPECT_NE(contents(logs / "latest.log").find("one"), std::string::npos);
}

TEST_F(RuntimeLogWriterTest, ManyThreadsLoseAndInterleaveNothing) {
    auto writer = std::make_shared<RuntimeLogWriter>(std::make_unique<ThreadSerialQueue>(RuntimeLogWriter::queueLabel),
                                                     clock, logs, [] { return RuntimeLogWriter::InitialState{}; });
    RuntimeLogger::install(writer);
    std::vector<std::thread> threads;
    for (int t = 0; t < 6; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < 300; ++i) {
                RuntimeLogger::log("thread=" + std::to_string(t) + " line=" + std::to_string(i));
            }
        });
    }
    for (auto& thread : threads) {
        thread.join();
    }
    RuntimeLogger::flush();
    RuntimeLogger::uninstall();

    std::istringstream lines(contents(writer->sessionLogFileURL()));
    std::set<std::string> seen;
    std::vector<int> lastPerThread(6, -1);
    for (std::string line; std::getline(lines, line);) {
        const auto at = line.find("] thread=");
        ASSERT_NE(at, std::string::npos) << line;
        const int t = std::stoi(line.substr(at + 9));
        const int i = std::stoi(line.substr(line.find("line=") + 5));
        EXPECT_EQ(i, lastPerThread[static_cast<std::size_t>(t)] + 1) << "lines of one thread stay in order";
        lastPerThread[static_cast<std::size_t>(t)] = i;
        seen.insert(line);
    }
    EXPECT_EQ(seen.size(), 1800u);
}

} // namespace
} // namespace brisklet
