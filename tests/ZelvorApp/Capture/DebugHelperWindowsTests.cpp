// The debug capture helper's window list on a scripted HTTP client and a manual clock.

#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ScriptedHttpClient.h"
#include "Platform/Fake/ScriptedWindowList.h"
#include "ZelvorApp/Capture/WindowEnumerator.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <gtest/gtest.h>

#include <map>

namespace brisklet {
namespace {

constexpr const char* base = "http://127.0.0.1:9876/";
constexpr const char* windowsFor42 = "http://127.0.0.1:9876/windows?exclude_pid=42";
constexpr const char* twoWindows = R"([
    {"id": 7, "title": "Report", "ownerName": "Writer", "bounds": {"x": 10, "y": 20, "width": 640, "height": 480}},
    {"id": 8, "title": "", "ownerName": "Terminal", "bounds": {"x": 0, "y": 0, "width": 300, "height": 200}}
])";

class DebugHelperWindowsTest : public ::testing::Test {
protected:
    DebugHelperWindowsTest() {
        WindowServerWindow system;
        system.number = 99;
        system.name = "System window";
        system.ownerName = "Files";
        system.ownerPID = 500;
        system.bounds = Rect{{0, 0}, {400, 400}};
        list_.setWindows({system});
    }

    WindowEnumerator enumerator(bool screenCaptureAvailable = false, bool bypass = true) const {
        DebugCaptureHelperSettings settings{std::string(base), bypass};
        return WindowEnumerator(list_, localization_,
                                DebugCaptureHelper{settings, http_, clock_, cache_, screenCaptureAvailable},
                                [] { return std::int64_t{4242}; });
    }

    static std::vector<std::int64_t> ids(const std::vector<CapturedWindowInfo>& windows) {
        std::vector<std::int64_t> result;
        for (const CapturedWindowInfo& window : windows) {
            result.push_back(window.id);
        }
        return result;
    }

    ScriptedWindowList list_;
    LocalizationStore localization_{[] { return std::vector<std::string>{"en"}; }};
    mutable ScriptedHttpClient http_;
    ManualClock clock_;
    mutable DebugHelperWindowCache cache_;
};

TEST_F(DebugHelperWindowsTest, HelperWindowsAreDecodedWithoutOwnerAndPreferredOverTheSystemList) {
    http_.respond(windowsFor42, 200, twoWindows);
    const auto windows = enumerator().windows(42);
    ASSERT_EQ(windows.size(), 2u);
    EXPECT_EQ(windows[0], (CapturedWindowInfo{7, "Report", "Writer", std::nullopt, Rect{{10, 20}, {640, 480}}}));
    EXPECT_EQ(windows[1].title, "Terminal");
    ASSERT_EQ(http_.requests().size(), 1u);
    EXPECT_EQ(http_.requests()[0].url, windowsFor42);
    EXPECT_EQ(enumerator().frontmostWindow(Point{100, 100}, 42)->id, 7);
}

TEST_F(DebugHelperWindowsTest, AnswersAreReusedForTheSameProcessWithinTheCacheAge) {
    http_.respond(windowsFor42, 200, twoWindows);
    http_.respond("http://127.0.0.1:9876/windows?exclude_pid=43", 200, "[]");
    const WindowEnumerator first = enumerator();
    ASSERT_TRUE(first.debugHelperWindows(42));
    clock_.advance(0.34);
    // Another enumerator of the same process shares the answer.
    EXPECT_EQ(ids(*enumerator().debugHelperWindows(42)), (std::vector<std::int64_t>{7, 8}));
    EXPECT_EQ(http_.requests().size(), 1u);

    clock_.advance(0.01);
    EXPECT_TRUE(first.debugHelperWindows(42));
    EXPECT_EQ(http_.requests().size(), 2u);

    EXPECT_TRUE(first.debugHelperWindows(43)->empty());
    EXPECT_EQ(http_.requests().size(), 3u);
    EXPECT_EQ(http_.requests().back().url, "http://127.0.0.1:9876/windows?exclude_pid=43");
    // The newest answer replaced the one for 42.
    EXPECT_TRUE(first.debugHelperWindows(42));
    EXPECT_EQ(http_.requests().size(), 4u);
}

TEST_F(DebugHelperWindowsTest, FailuresFallBackToTheSystemListAndAreNotCached) {
    const std::vector<std::int64_t> systemOnly{99};
    http_.respond(windowsFor42, 200, "{not json");
    EXPECT_EQ(ids(enumerator().windows(42)), systemOnly);
    http_.respond(windowsFor42, 200, R"({"id": 7})");
    EXPECT_EQ(ids(enumerator().windows(42)), systemOnly);
    http_.respond(windowsFor42, 200, R"([3])");
    EXPECT_EQ(ids(enumerator().windows(42)), systemOnly);
    http_.respond(windowsFor42, 503, twoWindows);
    EXPECT_EQ(ids(enumerator().windows(42)), systemOnly);
    http_.fail(windowsFor42, HttpError{HttpError::Kind::timedOut, "Timeout was reached"});
    EXPECT_EQ(ids(enumerator().windows(42)), systemOnly);
    EXPECT_EQ(http_.requests().size(), 5u);

    http_.respond(windowsFor42, 200, twoWindows);
    EXPECT_EQ(ids(enumerator().windows(42)), (std::vector<std::int64_t>{7, 8}));
}

TEST_F(DebugHelperWindowsTest, TheHelperStandsInOnlyWithoutScreenCaptureAndWithTheBypass) {
    http_.respond(windowsFor42, 200, twoWindows);
    EXPECT_FALSE(enumerator(true, true).debugHelperWindows(42));
    EXPECT_FALSE(enumerator(false, false).debugHelperWindows(42));
    EXPECT_EQ(ids(enumerator(true, true).windows(42)), (std::vector<std::int64_t>{99}));
    const WindowEnumerator plain(list_, localization_);
    EXPECT_FALSE(plain.debugHelperWindows(42));
    EXPECT_TRUE(http_.requests().empty());
}

TEST_F(DebugHelperWindowsTest, UnreadableFieldsCountAsMissing) {
    http_.respond(windowsFor42, 200, R"([
        {"id": "seven", "title": 5, "ownerName": null, "bounds": {"x": 1.5, "y": "top", "width": 200, "height": 100}},
        {"id": 12.0, "ownerName": "Viewer"},
        {}
    ])");
    const auto windows = *enumerator().debugHelperWindows(42);
    ASSERT_EQ(windows.size(), 3u);
    const std::string unknown = localization_.text(L10nKey::windowPickerUnknownApp);
    EXPECT_EQ(windows[0], (CapturedWindowInfo{4242, unknown, unknown, std::nullopt, Rect{{1.5, 0}, {200, 100}}}));
    EXPECT_EQ(windows[1], (CapturedWindowInfo{12, "Viewer", "Viewer", std::nullopt, Rect{}}));
    EXPECT_EQ(windows[2].id, 4242);
}

TEST(DebugCaptureHelperSettingsTest, EnvironmentNamesTheHelperAndEitherBypassSwitch) {
    std::map<std::string, std::string> environment{{"BRISKLET_DEBUG_CAPTURE_HELPER_URL", "http://localhost:8000"}};
    const auto lookup = [&](const std::string& name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
    auto settings = DebugCaptureHelperSettings::fromEnvironment(lookup);
    EXPECT_EQ(settings.baseURL, "http://localhost:8000");
    EXPECT_FALSE(settings.bypassesScreenRecordingPermission);
    environment["ZELVOR_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION"] = "true";
    EXPECT_TRUE(DebugCaptureHelperSettings::fromEnvironment(lookup).bypassesScreenRecordingPermission);
    environment["ZELVOR_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION"] = "0";
    environment["BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION"] = "1";
    EXPECT_TRUE(DebugCaptureHelperSettings::fromEnvironment(lookup).bypassesScreenRecordingPermission);
    environment["BRISKLET_DEBUG_CAPTURE_HELPER_URL"] = "";
    EXPECT_FALSE(DebugCaptureHelperSettings::fromEnvironment(lookup).baseURL);
}

TEST(DebugHelperWindowsURLTest, WindowsPathAndExcludedProcessAreAppended) {
    EXPECT_EQ(WindowEnumerator::debugHelperWindowsURL("http://h:1", 42), "http://h:1/windows?exclude_pid=42");
    EXPECT_EQ(WindowEnumerator::debugHelperWindowsURL("http://h:1/api//", 42), "http://h:1/api/windows?exclude_pid=42");
    EXPECT_EQ(WindowEnumerator::debugHelperWindowsURL("http://h:1/?token=a#top", 42),
              "http://h:1/windows?token=a&exclude_pid=42");
    EXPECT_EQ(WindowEnumerator::debugHelperWindowsURL("http://h:1", std::nullopt), "http://h:1/windows");
}

} // namespace
} // namespace brisklet
