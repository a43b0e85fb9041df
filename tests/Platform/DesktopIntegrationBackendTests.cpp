#include "Platform/Fake/ScriptedProcessRunner.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Desktop/CurrentDesktop.h"
#include "Platform/Linux/Desktop/LinuxDesktopIconsAccessor.h"
#include "Platform/Linux/Desktop/LinuxPrivacyPermissions.h"
#include "Platform/Linux/Desktop/XdgAutostartLoginItem.h"

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <sstream>

namespace brisklet {
namespace {

namespace fs = std::filesystem;
using Arguments = std::vector<std::string>;

// ---- Desktop icons through the desktops' settings tools ------------------------------------

/// The settings stores of xfconf-query and gsettings as far as the accessor uses them: values
/// in their printed forms, a missing Xfce property failing the query as the real tool does.
class DesktopSettingsTools {
public:
    ProcessOutcome operator()(const Arguments& a) {
        if (a.size() >= 5 && a[0] == "xfconf-query" && a[1] == "-c" && a[3] == "-p") {
            const std::string key = a[2] + a[4];
            if (a.size() == 5) {
                const auto found = values.find(key);
                return found == values.end()
                           ? ScriptedProcessRunner::exited(1, {}, "Property \"" + a[4] + "\" does not exist\n")
                           : ScriptedProcessRunner::exited(0, found->second + "\n");
            }
            if (a.size() == 10 && a[5] == "--create" && a[6] == "-t" && a[7] == "int" && a[8] == "-s") {
                values[key] = a[9];
                return ScriptedProcessRunner::exited(0);
            }
        }
        if (a.size() >= 4 && a[0] == "gsettings") {
            const std::string key = a[2] + " " + a[3];
            if (!schemasInstalled) {
                return ScriptedProcessRunner::exited(1, {}, "No such schema\n");
            }
            if (a[1] == "get" && a.size() == 4) {
                return ScriptedProcessRunner::exited(0, values[key] + "\n");
            }
            if (a[1] == "set" && a.size() == 5) {
                values[key] = a[4];
                return ScriptedProcessRunner::exited(0);
            }
        }
        return ScriptedProcessRunner::notFound();
    }

    std::map<std::string, std::string> values{{"org.mate.background show-desktop-icons", "true"},
                                              {"org.nemo.desktop desktop-layout", "'true::true'"}};
    bool schemasInstalled = true;
};

class DesktopIconsAccessorTest : public ::testing::Test {
protected:
    LinuxDesktopIconsAccessor accessor(const std::string& desktop) {
        return LinuxDesktopIconsAccessor(runner, desktop);
    }

    DesktopSettingsTools tools;
    ScriptedProcessRunner runner{[this](const Arguments& a) { return tools(a); }};
};

TEST_F(DesktopIconsAccessorTest, DesktopsAreRecognisedByWholeEntriesOfTheirList) {
    using D = LinuxDesktopIconsAccessor::Desktop;
    EXPECT_EQ(LinuxDesktopIconsAccessor::desktopFor("XFCE"), D::xfce);
    EXPECT_EQ(LinuxDesktopIconsAccessor::desktopFor("mate"), D::mate);
    EXPECT_EQ(LinuxDesktopIconsAccessor::desktopFor("X-Cinnamon"), D::nemo);
    EXPECT_EQ(LinuxDesktopIconsAccessor::desktopFor("ubuntu:GNOME"), D::unsupported);
    EXPECT_EQ(LinuxDesktopIconsAccessor::desktopFor("KDE"), D::unsupported);
    EXPECT_EQ(LinuxDesktopIconsAccessor::desktopFor("ULTIMATE"), D::unsupported);
    EXPECT_EQ(LinuxDesktopIconsAccessor::desktopFor(""), D::unsupported);
    EXPECT_TRUE(currentDesktopIncludes("Budgie:GNOME", "gnome"));
    EXPECT_FALSE(currentDesktopIncludes("GNOME-Flashback", "GNOME"));
}

TEST_F(DesktopIconsAccessorTest, XfceHidesWithStyleZeroAndBringsBackTheUsersStyle) {
    auto xfce = accessor("XFCE");
    EXPECT_TRUE(xfce.isSupported());
    EXPECT_EQ(xfce.createDesktop(), std::nullopt) << "a desktop that never set the style";
    ASSERT_TRUE(xfce.setCreateDesktop(false));
    EXPECT_EQ(xfce.createDesktop(), false);
    ASSERT_TRUE(xfce.setCreateDesktop(true));
    EXPECT_EQ(tools.values["xfce4-desktop/desktop-icons/style"], LinuxDesktopIconsAccessor::defaultXfceStyle);

    tools.values["xfce4-desktop/desktop-icons/style"] = "1";
    EXPECT_EQ(xfce.createDesktop(), true);
    ASSERT_TRUE(xfce.setCreateDesktop(false));
    ASSERT_TRUE(xfce.setCreateDesktop(false));
    EXPECT_EQ(tools.values["xfce4-desktop/desktop-icons/style"], "0");
    ASSERT_TRUE(xfce.setCreateDesktop(true));
    EXPECT_EQ(tools.values["xfce4-desktop/desktop-icons/style"], "1") << "hiding twice must not forget the style";

    tools.values["xfce4-desktop/desktop-icons/style"] = "garbage";
    EXPECT_EQ(xfce.createDesktop(), std::nullopt);
    EXPECT_TRUE(xfce.restartDesktop());
}

TEST_F(DesktopIconsAccessorTest, MateSwitchesCajasDesktopKey) {
    auto mate = accessor("MATE");
    EXPECT_EQ(mate.createDesktop(), true);
    ASSERT_TRUE(mate.setCreateDesktop(false));
    EXPECT_EQ(tools.values["org.mate.background show-desktop-icons"], "false");
    EXPECT_EQ(mate.createDesktop(), false);
    tools.values["org.mate.background show-desktop-icons"] = "'yes'";
    EXPECT_EQ(mate.createDesktop(), std::nullopt) << "not a boolean";
    tools.schemasInstalled = false;
    EXPECT_EQ(mate.createDesktop(), std::nullopt);
    EXPECT_FALSE(mate.setCreateDesktop(true));
}

TEST_F(DesktopIconsAccessorTest, CinnamonKeepsTheMonitorLayoutForTheWayBack) {
    auto cinnamon = accessor("X-Cinnamon");
    EXPECT_EQ(cinnamon.createDesktop(), true);
    ASSERT_TRUE(cinnamon.setCreateDesktop(false));
    EXPECT_EQ(tools.values["org.nemo.desktop desktop-layout"], "'false::false'");
    EXPECT_EQ(cinnamon.createDesktop(), false);
    ASSERT_TRUE(cinnamon.setCreateDesktop(true));
    EXPECT_EQ(tools.values["org.nemo.desktop desktop-layout"], "'true::true'");

    tools.values["org.nemo.desktop desktop-layout"] = "'false::true'";
    EXPECT_EQ(cinnamon.createDesktop(), true) << "icons on the other monitors still count as shown";
    tools.values["org.nemo.desktop desktop-layout"] = "'sideways'";
    EXPECT_EQ(cinnamon.createDesktop(), std::nullopt);
}

TEST_F(DesktopIconsAccessorTest, OtherDesktopsAreUnsupportedAndRunNothing) {
    auto gnome = accessor("GNOME");
    EXPECT_FALSE(gnome.isSupported());
    EXPECT_EQ(gnome.createDesktop(), std::nullopt);
    EXPECT_FALSE(gnome.setCreateDesktop(false));
    EXPECT_TRUE(runner.calls().empty());
}

// ---- Privacy settings -----------------------------------------------------------------------

TEST(PrivacySettingsCommandsTest, EachDesktopOpensItsOwnPanel) {
    using P = LinuxPrivacyPermissions;
    const auto none = [](std::string_view) { return false; };
    const auto gnome44 = [](std::string_view panel) { return panel == "privacy" || panel == "universal-access"; };
    const auto gnome46 = [](std::string_view panel) { return panel == "accessibility"; };
    using Commands = std::vector<P::Command>;

    EXPECT_EQ(P::privacySettingsCommands(AppPermission::screenRecording, "ubuntu:GNOME", gnome44),
              (Commands{{"gnome-control-center", "privacy"}}));
    EXPECT_EQ(P::privacySettingsCommands(AppPermission::accessibility, "GNOME", gnome44),
              (Commands{{"gnome-control-center", "universal-access"}}));
    EXPECT_EQ(P::privacySettingsCommands(AppPermission::accessibility, "GNOME", gnome46),
              (Commands{{"gnome-control-center", "accessibility"}}));
    EXPECT_EQ(P::privacySettingsCommands(AppPermission::screenRecording, "GNOME", none),
              (Commands{{"gnome-control-center"}}));
    EXPECT_EQ(P::privacySettingsCommands(AppPermission::accessibility, "KDE", none).front(),
              (P::Command{"systemsettings", "kcm_access"}));
    EXPECT_EQ(P::privacySettingsCommands(AppPermission::accessibility, "XFCE", none).front(),
              (P::Command{"xfce4-accessibility-settings"}));
    EXPECT_EQ(P::privacySettingsCommands(AppPermission::accessibility, "X-Cinnamon", none),
              (Commands{{"cinnamon-settings", "accessibility"}}));

    const Commands unknown = P::privacySettingsCommands(AppPermission::accessibility, "", none);
    EXPECT_GE(unknown.size(), 5u) << "an unknown desktop tries every known tool";
}

// ---- Autostart entry --------------------------------------------------------------------------

std::string readFile(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

/// The value of `key` in the entry's main group.
std::optional<std::string> entryValue(const std::string& text, const std::string& key) {
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind(key + "=", 0) == 0) {
            return line.substr(key.size() + 1);
        }
    }
    return std::nullopt;
}

class AutostartEntryTest : public ::testing::Test {
protected:
    fs::path directory() const { return paths.configDirectory() / "autostart"; }
    XdgAutostartLoginItem item(const fs::path& executable = "/opt/brisklet/bin/brisklet") {
        return XdgAutostartLoginItem(directory(), executable);
    }

    TemporaryPaths paths;
};

TEST_F(AutostartEntryTest, RegisteringWritesOurEntryAndUnregisteringRemovesIt) {
    auto login = item();
    EXPECT_FALSE(login.isRegistered());
    ASSERT_TRUE(login.registerMainApp());
    const std::string text = readFile(login.entryPath());
    EXPECT_EQ(login.entryPath(), directory() / "brisklet.desktop");
    EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_EQ(entryValue(text, "Exec"), "\"/opt/brisklet/bin/brisklet\"");
    EXPECT_EQ(entryValue(text, "Name"), "Brisklet");
    EXPECT_EQ(entryValue(text, "Icon"), "brisklet");
    EXPECT_EQ(entryValue(text, "X-GNOME-Autostart-enabled"), "true");
    EXPECT_TRUE(login.isRegistered());
    EXPECT_TRUE(login.registerMainApp()) << "registering again is fine";

    ASSERT_TRUE(login.unregisterMainApp());
    EXPECT_FALSE(fs::exists(login.entryPath()));
    EXPECT_FALSE(login.isRegistered());
    EXPECT_TRUE(login.unregisterMainApp()) << "nothing left to remove is not an error";
}

TEST_F(AutostartEntryTest, AMovedExecutableRewritesOurEntryWithoutLeavingTemporaryFiles) {
    ASSERT_TRUE(item().registerMainApp());
    ASSERT_TRUE(item("/home/ann/My Apps/brisklet").registerMainApp());
    EXPECT_EQ(entryValue(readFile(item().entryPath()), "Exec"), "\"/home/ann/My Apps/brisklet\"");
    EXPECT_EQ(std::distance(fs::directory_iterator(directory()), fs::directory_iterator()), 1);
}

TEST_F(AutostartEntryTest, AForeignEntryIsNeitherOverwrittenNorDeleted) {
    fs::create_directories(directory());
    const std::string foreign = "[Desktop Entry]\nType=Application\nExec=brisklet --hidden\n"
                                "[Other Group]\nX-Brisklet-Autostart=true\n";
    std::ofstream(directory() / "brisklet.desktop") << foreign;
    auto login = item();
    EXPECT_FALSE(login.isRegistered()) << "our marker only counts in the main group";
    const Status<std::string> registered = login.registerMainApp();
    ASSERT_FALSE(registered);
    EXPECT_NE(registered.error().find("did not write"), std::string::npos);
    EXPECT_TRUE(login.unregisterMainApp());
    EXPECT_EQ(readFile(login.entryPath()), foreign);
}

TEST_F(AutostartEntryTest, ExecEscapesWhatDesktopEntriesReserve) {
    const auto text = XdgAutostartLoginItem::entryText(R"(/opt/a "b" $c\d 100%)");
    ASSERT_TRUE(text);
    EXPECT_EQ(entryValue(*text, "Exec"), R"("/opt/a \\"b\\" \\$c\\\\d 100%%")");
    EXPECT_FALSE(XdgAutostartLoginItem::entryText("/opt/a\nX-Evil=true"));
    EXPECT_FALSE(item("/opt/a\nb").registerMainApp());
    EXPECT_FALSE(fs::exists(directory() / "brisklet.desktop"));
}

TEST_F(AutostartEntryTest, TheInstalledTemplateIsTheEntryWrittenForTheInstalledExecutable) {
    std::string installed = readFile(fs::path(BRISKLET_TEST_RESOURCES_DIR) / "brisklet-autostart.desktop.in");
    const std::string placeholder = "@BRISKLET_AUTOSTART_EXEC@";
    const auto at = installed.find(placeholder);
    ASSERT_NE(at, std::string::npos);
    installed.replace(at, placeholder.size(), "\"/usr/bin/brisklet\"");
    EXPECT_EQ(XdgAutostartLoginItem::entryText("/usr/bin/brisklet"), installed);
}

TEST_F(AutostartEntryTest, AnUnwritableDirectoryIsReportedNotThrown) {
    std::ofstream(paths.configDirectory() / "blocker") << "a file where a directory should be";
    XdgAutostartLoginItem login(paths.configDirectory() / "blocker" / "autostart", "/usr/bin/brisklet");
    const Status<std::string> registered = login.registerMainApp();
    ASSERT_FALSE(registered);
    EXPECT_FALSE(registered.error().empty());
    EXPECT_FALSE(login.isRegistered());
}

} // namespace
} // namespace brisklet
