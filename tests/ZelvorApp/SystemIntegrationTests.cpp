#include "Platform/Fake/FakePrivacyPermissions.h"
#include "Platform/Fake/InMemoryDesktopIconsAccessor.h"
#include "Platform/Fake/InMemoryLoginItemService.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ScriptedDisplayServer.h"
#include "Platform/Fake/ScriptedScreenshotTool.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "ZelvorApp/Infrastructure/DebugSwitches.h"
#include "ZelvorApp/Infrastructure/DesktopVisibilityController.h"
#include "ZelvorApp/Infrastructure/LaunchAtLoginService.h"
#include "ZelvorApp/Infrastructure/PermissionService.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

#include <map>
#include <thread>
#include <unordered_set>

namespace brisklet {
namespace {

namespace fs = std::filesystem;
using testing::CapturedLog;

// ---- Desktop icons -------------------------------------------------------------------------

class DesktopVisibilityTest : public ::testing::Test {
protected:
    /// Icons as the desktop shows them, after any change has been applied.
    bool iconsShown() const { return icons.value.value_or(true); }
    double elapsed() const { return clock.monotonicSeconds() - start; }

    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    InMemoryDesktopIconsAccessor icons;
    DesktopVisibilityController controller{icons, mainQueue};
    double start = clock.monotonicSeconds();
};

TEST_F(DesktopVisibilityTest, OverlappingSessionsHideOnceAndRestoreWhenTheLastEnds) {
    const auto gif = controller.beginAutomaticHide(DesktopHideReason::gifRegion);
    ASSERT_TRUE(gif);
    EXPECT_FALSE(iconsShown());
    EXPECT_EQ(controller.currentDesktopIconsState(), DesktopIconsState::hidden);
    const auto screenshot = controller.beginAutomaticHide(DesktopHideReason::screenshot);
    ASSERT_TRUE(screenshot);
    EXPECT_NE(*gif, *screenshot);
    EXPECT_EQ(icons.writes, 1);
    EXPECT_EQ(icons.restarts, 1);

    controller.endAutomaticHide(*gif);
    EXPECT_FALSE(iconsShown()) << "a session is still running";
    controller.endAutomaticHide(*screenshot);
    EXPECT_TRUE(iconsShown());
    EXPECT_EQ(icons.writes, 2);
    EXPECT_EQ(icons.restarts, 2);
    EXPECT_EQ(controller.activeSessionCount(), 0u);
}

TEST_F(DesktopVisibilityTest, EndingTwiceOrAnUnknownTokenChangesNothing) {
    const auto first = controller.beginAutomaticHide(DesktopHideReason::longshot);
    const auto second = controller.beginAutomaticHide(DesktopHideReason::screenshot);
    controller.endAutomaticHide(*first);
    controller.endAutomaticHide(*first);
    controller.endAutomaticHide(DesktopVisibilityController::SessionToken{Uuid::generate()});
    EXPECT_FALSE(iconsShown()) << "the second session must still keep the icons away";
    EXPECT_EQ(controller.activeSessionCount(), 1u);

    controller.endAutomaticHide(*second);
    const int writes = icons.writes;
    controller.endAutomaticHide(*second);
    controller.endAutomaticHide(*first);
    EXPECT_EQ(icons.writes, writes);
    EXPECT_TRUE(iconsShown());
}

TEST_F(DesktopVisibilityTest, IconsTheUserHidStayHiddenAfterASession) {
    icons.value = false;
    const auto token = controller.beginAutomaticHide(DesktopHideReason::screenshot);
    controller.endAutomaticHide(*token);
    EXPECT_FALSE(iconsShown());
    EXPECT_EQ(icons.writes, 0) << "the desktop already had the state: no write, no restart";
    EXPECT_EQ(icons.restarts, 0);
    EXPECT_EQ(elapsed(), 0) << "nothing changed, so nothing to wait for";
}

TEST_F(DesktopVisibilityTest, AManualChangeDuringASessionIsWhatTheLastEndRestores) {
    const auto first = controller.beginAutomaticHide(DesktopHideReason::gifRegion);
    const auto second = controller.beginAutomaticHide(DesktopHideReason::screenshot);
    controller.setDesktopIconsHidden(true);
    EXPECT_EQ(icons.writes, 1) << "already hidden";
    controller.endAutomaticHide(*first);
    controller.endAutomaticHide(*second);
    EXPECT_FALSE(iconsShown());

    icons.value = false;
    const auto third = controller.beginAutomaticHide(DesktopHideReason::longshot);
    controller.setDesktopIconsHidden(false);
    EXPECT_TRUE(iconsShown()) << "the user's choice applies at once";
    controller.endAutomaticHide(*third);
    EXPECT_TRUE(iconsShown()) << "and is what the session's end brings back";
}

TEST_F(DesktopVisibilityTest, AChangeWaitsForTheRedrawWhileTheMainLoopKeepsRunning) {
    bool timerRan = false;
    mainQueue.postAfter(0.2, [&] { timerRan = true; });
    const auto token = controller.beginAutomaticHide(DesktopHideReason::screenshot);
    EXPECT_TRUE(timerRan);
    EXPECT_NEAR(elapsed(), DesktopVisibilityController::redrawWaitSeconds, 1e-9);
    controller.endAutomaticHide(*token);
    EXPECT_NEAR(elapsed(), 2 * DesktopVisibilityController::redrawWaitSeconds, 1e-9);
}

TEST_F(DesktopVisibilityTest, AFailedRestartIsLoggedAndTheSettingStaysWritten) {
    CapturedLog log;
    icons.restartError = "desktop not running";
    controller.setDesktopIconsHidden(true);
    EXPECT_FALSE(iconsShown());
    EXPECT_EQ(log.linesStartingWith("desktop visibility killall Finder failed error="),
              std::vector<std::string>{"desktop visibility killall Finder failed error=desktop not running"});
}

TEST_F(DesktopVisibilityTest, AbsentSettingCountsAsVisibleAndUnsupportedDesktopsAreLeftAlone) {
    EXPECT_EQ(controller.currentDesktopIconsState(), DesktopIconsState::visible);
    controller.setDesktopIconsHidden(false);
    EXPECT_EQ(icons.writes, 0);

    icons.supported = false;
    EXPECT_FALSE(controller.isSupported());
    const auto token = controller.beginAutomaticHide(DesktopHideReason::screenshot);
    EXPECT_TRUE(token) << "callers always get a token to end";
    controller.endAutomaticHide(*token);
    EXPECT_EQ(icons.writes, 0);
}

TEST_F(DesktopVisibilityTest, OffTheMainThreadTheWaitDoesNotTurnTheMainLoop) {
    bool timerRan = false;
    mainQueue.postAfter(0.1, [&] { timerRan = true; });
    std::thread worker([&] { controller.setDesktopIconsHidden(true); });
    worker.join();
    EXPECT_FALSE(iconsShown());
    EXPECT_FALSE(timerRan);
    EXPECT_EQ(elapsed(), 0);
}

TEST(DesktopVisibilitySessionToken, TokensHashAndCompareByTheirId) {
    const DesktopVisibilityController::SessionToken a{Uuid::generate()};
    const DesktopVisibilityController::SessionToken copy = a;
    std::unordered_set<DesktopVisibilityController::SessionToken> set{a, copy, {Uuid::generate()}};
    EXPECT_EQ(set.size(), 2u);
    EXPECT_TRUE(set.contains(copy));
}

// ---- Launch at login ------------------------------------------------------------------------

TEST(LaunchAtLoginServiceTest, SyncRegistersAndUnregistersAndLogsRefusals) {
    CapturedLog log;
    InMemoryLoginItemService items;
    LaunchAtLoginService service(items);
    EXPECT_TRUE(service.sync(true));
    EXPECT_TRUE(items.isRegistered());
    EXPECT_TRUE(service.sync(false));
    EXPECT_FALSE(items.isRegistered());

    items.failure = "read-only file system";
    EXPECT_FALSE(service.sync(true));
    EXPECT_FALSE(items.isRegistered());
    EXPECT_EQ(log.linesStartingWith("launch at login sync failed"),
              std::vector<std::string>{"launch at login sync failed enabled=true error=read-only file system"});
}

// ---- Permissions ----------------------------------------------------------------------------

class PermissionServiceTest : public ::testing::Test {
protected:
    PermissionServiceTest() {
        displays.setScreens({ScriptedDisplayServer::screen(1, Rect{{0, 0}, {1920, 1080}}, true),
                             ScriptedDisplayServer::screen(2, Rect{{-1280, 1080}, {1280, 1024}})});
        tool.setImage(Image(4, 4));
    }

    PermissionService service(bool debugBypass = false) {
        return PermissionService(platform, displays, tool, paths.temporaryDirectory(), debugBypass);
    }
    std::string bundle() const { return platform.executable.string(); }

    CapturedLog log;
    TemporaryPaths paths;
    FakePrivacyPermissions platform;
    ScriptedDisplayServer displays;
    LinuxImageCodec codec;
    ScriptedScreenshotTool tool{codec};
};

TEST_F(PermissionServiceTest, ScreenRecordingChecksLogWhereTheAnswerCameFrom) {
    EXPECT_TRUE(service().hasScreenRecordingAccess());
    platform.screenCaptureAllowed = false;
    EXPECT_FALSE(service().hasScreenRecordingAccess());
    EXPECT_TRUE(service(true).hasScreenRecordingAccess());
    EXPECT_FALSE(service(true).hasActualScreenRecordingAccess()) << "the bypass never counts as the real thing";
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "hasScreenRecordingAccess=true via preflight bundlePath=" + bundle(),
                               "hasScreenRecordingAccess=false bundlePath=" + bundle(),
                               "hasScreenRecordingAccess=true via debugBypass bundlePath=" + bundle(),
                               "hasActualScreenRecordingAccess=false bundlePath=" + bundle(),
                           }));
}

TEST_F(PermissionServiceTest, RequestsShortCircuitWhenAllowedAndProbeBeforeAsking) {
    EXPECT_TRUE(service().requestScreenRecordingAccess());
    EXPECT_TRUE(service().requestActualScreenRecordingAccess());
    EXPECT_EQ(platform.screenCaptureRequests, 0);
    EXPECT_TRUE(tool.calls().empty());

    platform.screenCaptureAllowed = false;
    EXPECT_TRUE(service(true).requestScreenRecordingAccess());
    EXPECT_TRUE(log.mentions("requestScreenRecordingAccess short-circuited via debugBypass"));
    EXPECT_EQ(platform.screenCaptureRequests, 0);

    EXPECT_FALSE(service(true).requestActualScreenRecordingAccess());
    EXPECT_EQ(platform.screenCaptureRequests, 1);
    EXPECT_EQ(tool.calls().size(), 1u) << "the probe runs before the platform is asked";
    platform.grantsScreenCapture = true;
    EXPECT_TRUE(service().requestScreenRecordingAccess());
    EXPECT_EQ(log.linesStartingWith("requestActualScreenRecordingAccess result="),
              std::vector<std::string>{"requestActualScreenRecordingAccess result=false"});
    EXPECT_EQ(log.linesStartingWith("requestScreenRecordingAccess result="),
              std::vector<std::string>{"requestScreenRecordingAccess result=true"});
}

TEST_F(PermissionServiceTest, TheProbeCapturesTheMainScreenCornerAndAlwaysDeletesItsFile) {
    service().runRegistrationProbe();
    ASSERT_EQ(tool.calls().size(), 1u);
    const auto& call = tool.calls()[0];
    // The other screen sits left of and above the primary one, so the primary's top-left
    // corner is 1280 px right of and 1024 px below the desktop's.
    ASSERT_TRUE(call.toolRect);
    EXPECT_EQ(*call.toolRect,
              (Rect{{1280, 1024}, {PermissionService::probeSidePixels, PermissionService::probeSidePixels}}));
    EXPECT_EQ(call.output.parent_path(), paths.temporaryDirectory());
    EXPECT_EQ(call.output.extension(), ".png");
    EXPECT_TRUE(Uuid::parse(call.output.stem().string()));
    EXPECT_FALSE(fs::exists(call.output));

    tool.setImage(std::nullopt);
    service().runRegistrationProbe();
    EXPECT_NE(tool.calls()[1].output, call.output) << "every probe gets a fresh name";

    tool.setImage(Image(4, 4));
    tool.setOutcome(ScreenshotToolRun{false, "import: not found", false, -1, {}, {}});
    service().runRegistrationProbe();
    EXPECT_FALSE(fs::exists(tool.calls()[2].output)) << "even a failed run's leftovers go";

    displays.setScreens({});
    service().runRegistrationProbe();
    EXPECT_EQ(tool.calls().size(), 3u);
    EXPECT_EQ(log.linesStartingWith("screenRecordingRegistrationProbe"),
              (std::vector<std::string>{"screenRecordingRegistrationProbe imageCreated=true",
                                        "screenRecordingRegistrationProbe imageCreated=false",
                                        "screenRecordingRegistrationProbe failed error=import: not found",
                                        "screenRecordingRegistrationProbe skipped reason=noDisplay"}));
    EXPECT_TRUE(fs::is_empty(paths.temporaryDirectory()));
}

TEST_F(PermissionServiceTest, AccessibilityIsAskedOnlyWhenNotTrusted) {
    PermissionService permissions = service();
    EXPECT_FALSE(permissions.isAccessibilityTrusted());
    EXPECT_TRUE(log.lines().empty()) << "the plain check is silent";
    EXPECT_FALSE(permissions.requestAccess(AppPermission::accessibility));
    platform.grantsAccessibility = true;
    EXPECT_TRUE(permissions.requestAccessibilityAccess());
    EXPECT_TRUE(permissions.requestAccessibilityAccess());
    EXPECT_EQ(platform.accessibilityRequests, 2);
    EXPECT_EQ(log.lines(), (std::vector<std::string>{"requestAccessibilityAccess result=false",
                                                     "requestAccessibilityAccess result=true"}));
    EXPECT_EQ(permissions.snapshot(), (AppPermissionSnapshot{true, true}));
    platform.screenCaptureAllowed = false;
    EXPECT_EQ(service(true).snapshot(), (AppPermissionSnapshot{true, true}));
    EXPECT_EQ(service(false).snapshot(), (AppPermissionSnapshot{false, true}));
}

TEST_F(PermissionServiceTest, SettingsAndTranslocationAreLoggedWithTheirNames) {
    PermissionService permissions = service();
    permissions.openPrivacySettings();
    platform.hasSettingsApplication = false;
    permissions.openPrivacySettings(AppPermission::accessibility);
    EXPECT_EQ(platform.openedSettings,
              (std::vector<AppPermission>{AppPermission::screenRecording, AppPermission::accessibility}));
    EXPECT_FALSE(permissions.isAppTranslocated());
    platform.executable = "/private/var/folders/x/AppTranslocation/ABC/d/Brisklet.app";
    EXPECT_TRUE(permissions.isAppTranslocated());
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "openPrivacySettings permission=screenRecording",
                               "openPrivacySettings permission=accessibility",
                               "openPrivacySettings failed reason=noSettingsApplication",
                               "isAppTranslocated=false bundlePath=/usr/bin/brisklet-engine",
                               "isAppTranslocated=true bundlePath=" + platform.executable.string(),
                           }));
}

TEST(DebugSwitchesTest, EitherBypassNameSwitchesOnAndOnlyOnValuesCount) {
    std::map<std::string, std::string> environment;
    const auto lookup = [&](const std::string& name) -> std::optional<std::string> {
        const auto found = environment.find(name);
        return found == environment.end() ? std::nullopt : std::optional<std::string>(found->second);
    };
    EXPECT_FALSE(debugBypassScreenRecordingPermission(lookup));
    for (const std::string off : {"", "0", "false", "no", "on2"}) {
        environment["BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION"] = off;
        EXPECT_FALSE(debugBypassScreenRecordingPermission(lookup)) << off;
    }
    for (const std::string on : {"1", "true", "TRUE", "yes"}) {
        environment["BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION"] = on;
        EXPECT_TRUE(debugBypassScreenRecordingPermission(lookup)) << on;
    }
    environment["BRISKLET_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION"] = "0";
    environment["ZELVOR_DEBUG_BYPASS_SCREEN_RECORDING_PERMISSION"] = "true";
    EXPECT_TRUE(debugBypassScreenRecordingPermission(lookup));
}

} // namespace
} // namespace brisklet
