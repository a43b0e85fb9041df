#include "Platform/Fake/InMemoryDesktopIconsAccessor.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ScriptedDisplayServer.h"
#include "Platform/Fake/ScriptedScreenshotTool.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Desktop/LinuxDesktopIconsAccessor.h"
#include "Platform/Linux/Desktop/XdgAutostartLoginItem.h"
#include "Platform/ProcessRunner.h"
#include "Shell/ProcRunningProcesses.h"
#include "ZelvorApp/Control/AppHarness.h"
#include "ZelvorApp/Infrastructure/DesktopVisibilityController.h"
#include "ZelvorApp/Infrastructure/PermissionService.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

struct DesktopIcons : ::testing::Test {
    ManualClock clock;
    ManualMainQueue queue{clock};
    InMemoryDesktopIconsAccessor accessor;
    DesktopVisibilityController controller{accessor, queue};
};

TEST_F(DesktopIcons, OverlappingHidesHideOnceAndRestoreAfterTheLast) {
    const double start = clock.monotonicSeconds();
    const auto gif = controller.beginAutomaticHide(DesktopHideReason::gifRegion);
    const auto shot = controller.beginAutomaticHide(DesktopHideReason::screenshot);
    EXPECT_EQ(accessor.value, false);
    EXPECT_EQ(accessor.writes, 1);
    EXPECT_NEAR(clock.monotonicSeconds() - start, 0.35, 1e-9) << "one redraw wait for one change";
    controller.endAutomaticHide(*gif);
    EXPECT_EQ(controller.currentDesktopIconsState(), DesktopIconsState::hidden);
    controller.endAutomaticHide(*shot);
    EXPECT_EQ(accessor.value, true);
    controller.endAutomaticHide(*shot);
    controller.endAutomaticHide(DesktopVisibilityController::SessionToken{Uuid::generate()});
    EXPECT_EQ(accessor.writes, 2) << "ending twice or an unknown token changes nothing";
}

TEST_F(DesktopIcons, TheUsersOwnChoiceSurvivesAutomaticHides) {
    controller.setDesktopIconsHidden(true);
    const int restarts = accessor.restarts;
    const auto token = controller.beginAutomaticHide(DesktopHideReason::longshot);
    EXPECT_EQ(accessor.restarts, restarts) << "already hidden: no restart";
    controller.endAutomaticHide(*token);
    EXPECT_EQ(accessor.value, false);

    const auto again = controller.beginAutomaticHide(DesktopHideReason::screenshot);
    controller.setDesktopIconsHidden(false);
    EXPECT_EQ(accessor.value, true);
    controller.endAutomaticHide(*again);
    EXPECT_EQ(accessor.value, true) << "the change made during the session is what comes back";
}

TEST_F(DesktopIcons, UnsupportedDesktopsAreLeftAlone) {
    accessor.supported = false;
    const auto token = controller.beginAutomaticHide(DesktopHideReason::screenshot);
    controller.endAutomaticHide(*token);
    EXPECT_EQ(accessor.writes, 0);
    EXPECT_EQ(controller.currentDesktopIconsState(), DesktopIconsState::visible);
}

TEST(XdgAutostartLoginItem, WritesRemovesAndNeverTouchesAForeignEntry) {
    TemporaryPaths paths;
    XdgAutostartLoginItem item(paths.root() / "autostart", "/opt/Brisk let/brisklet");
    ASSERT_TRUE(item.registerMainApp());
    std::ifstream in(item.entryPath());
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("Exec=\"/opt/Brisk let/brisklet\"\n"), std::string::npos);
    EXPECT_TRUE(item.isRegistered());
    ASSERT_TRUE(item.unregisterMainApp());
    EXPECT_FALSE(fs::exists(item.entryPath()));

    std::ofstream(item.entryPath()) << "[Desktop Entry]\nExec=mine\n";
    EXPECT_FALSE(item.registerMainApp());
    EXPECT_TRUE(item.unregisterMainApp()) << "nothing of ours to remove";
    EXPECT_TRUE(fs::exists(item.entryPath()));
    EXPECT_FALSE(item.isRegistered());
}

class ScriptedRunner final : public ProcessRunner {
public:
    ProcessOutcome run(const std::vector<std::string>& arguments, std::string_view, double) const override {
        calls.push_back(arguments);
        ProcessOutcome outcome;
        outcome.launched = true;
        outcome.exitCode = 0;
        if (arguments.size() > 2 && arguments[1] == "get") {
            outcome.standardOutput = value + "\n";
        } else if (arguments[0] == "xfconf-query" && arguments.back() == "/desktop-icons/style") {
            outcome.standardOutput = value + "\n";
        }
        return outcome;
    }
    std::string value = "true";
    mutable std::vector<std::vector<std::string>> calls;
};

TEST(LinuxDesktopIconsAccessor, ReadsAndWritesTheRunningDesktopsSetting) {
    EXPECT_EQ(LinuxDesktopIconsAccessor::desktopFor("X-Cinnamon"), LinuxDesktopIconsAccessor::Desktop::nemo);
    EXPECT_EQ(LinuxDesktopIconsAccessor::desktopFor("ubuntu:GNOME"), LinuxDesktopIconsAccessor::Desktop::unsupported);
    ScriptedRunner runner;
    LinuxDesktopIconsAccessor mate(runner, "MATE");
    EXPECT_EQ(mate.createDesktop(), true);
    runner.value = "'garbage'";
    EXPECT_EQ(mate.createDesktop(), std::nullopt);
    ASSERT_TRUE(mate.setCreateDesktop(false));
    EXPECT_EQ(runner.calls.back(),
              (std::vector<std::string>{"gsettings", "set", "org.mate.background", "show-desktop-icons", "false"}));

    runner.value = "1";
    LinuxDesktopIconsAccessor xfce(runner, "XFCE");
    EXPECT_EQ(xfce.createDesktop(), true);
    ASSERT_TRUE(xfce.setCreateDesktop(false));
    EXPECT_EQ(runner.calls.back().back(), "0");
    ASSERT_TRUE(xfce.setCreateDesktop(true));
    EXPECT_EQ(runner.calls.back().back(), "1") << "the icon style from before comes back";
}

TEST(PermissionService, LogsEveryAnswerAndHonoursTheBypassOnlyForOrdinaryCaptures) {
    control_testing::AppHarness app;
    app.privacy.screenGranted = false;
    PermissionService bypassed(app.privacy, app.displays, app.tool, app.paths.temporaryDirectory(), true);
    EXPECT_TRUE(bypassed.hasScreenRecordingAccess());
    EXPECT_FALSE(bypassed.hasActualScreenRecordingAccess());
    EXPECT_TRUE(bypassed.requestScreenRecordingAccess());
    EXPECT_EQ(app.privacy.screenRequests, 0);
    EXPECT_FALSE(app.log.linesStartingWith("hasScreenRecordingAccess=true via debugBypass bundlePath=").empty());
    EXPECT_FALSE(app.permissions.requestActualScreenRecordingAccess());
    EXPECT_EQ(app.privacy.screenRequests, 1);
    EXPECT_FALSE(app.log.linesStartingWith("requestActualScreenRecordingAccess result=false").empty());
}

TEST(PermissionService, RegistrationProbeAlwaysDeletesItsFile) {
    control_testing::AppHarness app;
    Image pixel(1, 1);
    app.tool.setImage(pixel);
    app.permissions.runRegistrationProbe();
    ASSERT_EQ(app.tool.calls().size(), 1u);
    EXPECT_FALSE(app.log.linesStartingWith("screenRecordingRegistrationProbe imageCreated=true").empty());
    int left = 0;
    for (const auto& entry : fs::directory_iterator(app.paths.temporaryDirectory())) {
        left += entry.path().extension() == ".png";
    }
    EXPECT_EQ(left, 0);
    app.displays.setScreens({});
    app.permissions.runRegistrationProbe();
    EXPECT_FALSE(app.log.linesStartingWith("screenRecordingRegistrationProbe skipped reason=noDisplay").empty());
}

TEST(RunningProcesses, OnlyDirectoryOptionsStartTheApplication) {
    EXPECT_TRUE(commandLineRunsApplication({"brisklet-engine"}));
    EXPECT_TRUE(commandLineRunsApplication({"brisklet-engine", "--config-dir", "/c", "--data-dir=/d"}));
    EXPECT_FALSE(commandLineRunsApplication({"brisklet-engine", "action", "screenshot"}));
    EXPECT_FALSE(commandLineRunsApplication({"brisklet-engine", "--config-dir", "/c", "library", "list"}));
    const auto self = currentExecutablePath();
    ASSERT_TRUE(self.has_value());
    const auto processes = listRunningProcesses();
    EXPECT_TRUE(std::any_of(processes.begin(), processes.end(),
                            [&](const RunningProcess& p) { return p.executable == self && p.session; }))
        << "this test program is listed with its session";
}

TEST(RunningProcesses, UnreadableEntriesOfAnEndingProcessAreSkippedNotThrown) {
    TemporaryPaths paths;
    const auto proc = paths.root() / "proc";
    const auto self = currentExecutablePath();
    ASSERT_TRUE(self.has_value());
    // Reading a directory fails the way reading the entries of a process that just ended does.
    std::filesystem::create_directories(proc / "4242" / "cmdline");
    std::filesystem::create_directories(proc / "4242" / "environ");
    std::filesystem::create_symlink(*self, proc / "4242" / "exe");
    std::filesystem::create_directories(proc / "4243");
    std::filesystem::create_symlink(*self, proc / "4243" / "exe");
    std::ofstream(proc / "4243" / "cmdline", std::ios::binary) << std::string("brisklet-engine\0", 16);
    std::vector<RunningProcess> processes;
    ASSERT_NO_THROW(processes = listRunningProcesses(proc));
    ASSERT_EQ(processes.size(), 2u);
    std::sort(processes.begin(), processes.end(),
              [](const RunningProcess& a, const RunningProcess& b) { return a.processIdentifier < b.processIdentifier; });
    EXPECT_FALSE(processes[0].runsApplication);
    EXPECT_FALSE(processes[0].session);
    EXPECT_TRUE(processes[1].runsApplication);
}

} // namespace
} // namespace brisklet
