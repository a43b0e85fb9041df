#include "BackgroundTestSupport.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Desktop/LinuxDesktopPictureSource.h"
#include "ZelvorCore/Foundation/FileUrl.h"

#include <gtest/gtest.h>

#include <map>

namespace brisklet {
namespace {

using backgroundtest::touch;

/// Answers the desktop tools' questions from a table; unknown questions fail like a missing
/// schema does.
class ScriptedTools {
public:
    void answer(const std::string& command, std::string output) { answers_[command] = std::move(output); }
    DesktopCommandRunner runner() {
        return [this](const std::vector<std::string>& arguments) -> std::optional<std::string> {
            std::string command;
            for (const auto& argument : arguments) {
                command += (command.empty() ? "" : " ") + argument;
            }
            asked.push_back(command);
            const auto found = answers_.find(command);
            return found == answers_.end() ? std::nullopt : std::optional<std::string>(found->second);
        };
    }
    std::vector<std::string> asked;

private:
    std::map<std::string, std::string> answers_;
};

class LinuxDesktopPictureSourceTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    ScriptedTools tools;
    std::filesystem::path light = touch(paths.root() / "backgrounds" / "it's light.jpg");
    std::filesystem::path dark = touch(paths.root() / "backgrounds" / "dark.png");

    static std::string quoted(const std::string& text) { return "'" + text + "'\n"; }
    void gnome(const std::string& scheme, const std::string& uri, const std::string& darkUri) {
        tools.answer("gsettings get org.gnome.desktop.interface color-scheme", quoted(scheme));
        tools.answer("gsettings get org.gnome.desktop.background picture-options", quoted("zoom"));
        tools.answer("gsettings get org.gnome.desktop.background picture-uri", "\"" + uri + "\"\n");
        tools.answer("gsettings get org.gnome.desktop.background picture-uri-dark", quoted(darkUri));
    }
};

TEST_F(LinuxDesktopPictureSourceTest, GnomeShowsTheDarkPictureWhenDarkIsPreferred) {
    gnome("default", fileURLString(light), fileURLString(dark));
    EXPECT_EQ(LinuxDesktopPictureSource(tools.runner(), "ubuntu:GNOME").currentDesktopPicture(), light)
        << "a percent-escaped URL in double quotes (the name has an apostrophe)";
    gnome("prefer-dark", fileURLString(light), fileURLString(dark));
    EXPECT_EQ(LinuxDesktopPictureSource(tools.runner(), "GNOME").currentDesktopPicture(), dark);
    gnome("prefer-dark", fileURLString(light), "");
    EXPECT_EQ(LinuxDesktopPictureSource(tools.runner(), "Budgie:GNOME").currentDesktopPicture(), light)
        << "no dark picture set: the light one shows";
}

TEST_F(LinuxDesktopPictureSourceTest, NoPictureWhenTheDesktopShowsAColourOrAMissingFile) {
    gnome("default", fileURLString(paths.root() / "gone.jpg"), "");
    EXPECT_FALSE(LinuxDesktopPictureSource(tools.runner(), "GNOME").currentDesktopPicture());
    gnome("default", "https://example.com/remote.jpg", "");
    EXPECT_FALSE(LinuxDesktopPictureSource(tools.runner(), "GNOME").currentDesktopPicture());
    gnome("default", fileURLString(light), "");
    tools.answer("gsettings get org.gnome.desktop.background picture-options", "'none'\n");
    EXPECT_FALSE(LinuxDesktopPictureSource(tools.runner(), "GNOME").currentDesktopPicture());

    ScriptedTools silent;
    EXPECT_FALSE(LinuxDesktopPictureSource(silent.runner(), "GNOME").currentDesktopPicture()) << "no gsettings";
    const std::size_t askedByGnome = silent.asked.size();
    EXPECT_FALSE(LinuxDesktopPictureSource(silent.runner(), "KDE").currentDesktopPicture());
    EXPECT_FALSE(LinuxDesktopPictureSource(silent.runner(), "").currentDesktopPicture());
    EXPECT_EQ(silent.asked.size(), askedByGnome) << "desktops we cannot read are not asked at all";
}

TEST_F(LinuxDesktopPictureSourceTest, XfceNamesTheFirstWorkspaceOfTheFirstMonitor) {
    tools.answer("xfconf-query -c xfce4-desktop -l", "/backdrop/screen0/monitorHDMI-1/workspace1/last-image\n"
                                                     "/backdrop/screen0/monitorHDMI-1/workspace0/image-style\n"
                                                     "/backdrop/screen0/monitorHDMI-1/workspace0/last-image\n"
                                                     "/backdrop/screen0/monitorDP-1/workspace0/last-image\n");
    tools.answer("xfconf-query -c xfce4-desktop -p /backdrop/screen0/monitorDP-1/workspace0/last-image",
                 dark.string() + "\n");
    EXPECT_EQ(LinuxDesktopPictureSource(tools.runner(), "XFCE").currentDesktopPicture(), dark);
}

TEST_F(LinuxDesktopPictureSourceTest, CinnamonAndMateUseTheirOwnSettings) {
    tools.answer("gsettings get org.cinnamon.desktop.background picture-uri", quoted(fileURLString(light)));
    EXPECT_EQ(LinuxDesktopPictureSource(tools.runner(), "X-Cinnamon").currentDesktopPicture(), light);
    tools.answer("gsettings get org.mate.background picture-filename", quoted(dark.string()));
    EXPECT_EQ(LinuxDesktopPictureSource(tools.runner(), "MATE").currentDesktopPicture(), dark);
}

TEST(GVariantStrings, QuotesAndEscapesAreRead) {
    EXPECT_EQ(LinuxDesktopPictureSource::parseGVariantString("'file:///a.jpg'\n"), "file:///a.jpg");
    EXPECT_EQ(LinuxDesktopPictureSource::parseGVariantString(R"("it's")"), "it's");
    EXPECT_EQ(LinuxDesktopPictureSource::parseGVariantString(R"('a\'b\\c')"), R"(a'b\c)");
    EXPECT_EQ(LinuxDesktopPictureSource::parseGVariantString("''"), "");
    EXPECT_FALSE(LinuxDesktopPictureSource::parseGVariantString("@as []"));
    EXPECT_FALSE(LinuxDesktopPictureSource::parseGVariantString("'unterminated"));
    EXPECT_FALSE(LinuxDesktopPictureSource::parseGVariantString("'"));
}

} // namespace
} // namespace brisklet
