// `brisklet record` end to end on a private Xvfb: the live stream, the recorder, the encoder and
// the file, with a window of known colour in the recorded region. Skipped where Xvfb is missing.

#include "GifDecoding.h"

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "ZelvorCore/Stores/RecentExportStore.h"
#include "main/RecordCommand.h"
#include "support/PrivateXServer.h"
#include "support/XcbTesting.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <thread>
#include <unistd.h>

#include <xcb/xcb.h>

namespace brisklet {
namespace {

class X11RecordCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        server_ = std::make_unique<testing::PrivateXServer>(testing::PrivateXServer::Options{320, 240, true});
        if (server_->display().empty()) {
            GTEST_SKIP() << "Xvfb is not available";
        }
        connection_ = xcb_connect(server_->display().c_str(), nullptr);
        ASSERT_FALSE(xcb_connection_has_error(connection_));
        std::filesystem::create_directories(paths_.root());
        AppPreferences preferences;
        preferences.exportDirectory = (paths_.root() / "Exports").string();
        PreferencesStore(defaults_).save(preferences);
    }
    void TearDown() override {
        if (connection_) {
            xcb_disconnect(connection_);
        }
    }

    /// A window of one colour at (20, 20), 120 × 80, painted before this returns.
    void showColouredWindow() {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        const xcb_window_t window = xcb_generate_id(connection_);
        const std::uint32_t values[] = {0x3080ff, 1};
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window, screen->root, 20, 20, 120, 80, 0,
                          XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                          XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
        xcb_map_window(connection_, window);
        testing::roundTrip(connection_);
    }

    int record(const std::vector<std::string>& args) {
        out_.str("");
        err_.str("");
        return runRecordCommand(args, defaults_, paths_, out_, err_, server_->display());
    }

    std::unique_ptr<testing::PrivateXServer> server_;
    xcb_connection_t* connection_ = nullptr;
    TemporaryPaths paths_;
    InMemoryDefaultsStore defaults_;
    std::ostringstream out_, err_;
};

TEST_F(X11RecordCommandTest, RecordsTheRegionForItsDurationIntoANewGif) {
    showColouredWindow();
    const auto output = paths_.root() / "clip.gif";
    ASSERT_EQ(record({"100x60+30+30", "--fps", "10", "--duration", "1", "--no-cursor", "-o", output.string()}), 0)
        << err_.str();
    EXPECT_EQ(out_.str(), output.string() + "\n");

    const auto decoded = testing::decodeGIF(output);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 100);
    EXPECT_EQ(decoded->height, 60);
    EXPECT_EQ(decoded->loopCount, 0);
    // One second at 10 frames a second on the export grid, whatever the stream delivered.
    EXPECT_GE(decoded->frames.size(), 9u);
    EXPECT_LE(decoded->frames.size(), 12u);
    for (const int delay : decoded->delays) {
        EXPECT_EQ(delay, 10);
    }
    const Image& last = decoded->frames.back();
    const std::uint8_t* centre = last.row(30) + 50 * 4;
    EXPECT_NEAR(centre[0], 0x30, 8);
    EXPECT_NEAR(centre[1], 0x80, 8);
    EXPECT_NEAR(centre[2], 0xff, 8);

    EXPECT_EQ(record({"100x60+30+30", "--duration", "1", "-o", output.string()}), 1) << "never overwrites";
    EXPECT_NE(err_.str().find("already exists"), std::string::npos);
}

TEST_F(X11RecordCommandTest, CtrlCEndsTheRecordingAndKeepsIt) {
    const auto output = paths_.root() / "stopped.gif";
    // Ctrl+C half a second in, long before the 30 seconds asked for.
    std::thread interrupter([] {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        ::kill(::getpid(), SIGINT);
    });
    const int status = record({"80x40+0+0", "--fps", "10", "--duration", "30", "-o", output.string()});
    interrupter.join();
    ASSERT_EQ(status, 0) << err_.str();
    const auto decoded = testing::decodeGIF(output);
    ASSERT_TRUE(decoded);
    EXPECT_GE(decoded->frames.size(), 1u);
    EXPECT_LT(decoded->frames.size(), 100u) << "stopped well before the length limit";
}

TEST_F(X11RecordCommandTest, WithoutOutputTheGifGoesToTheExportsAndTheRecentList) {
    ASSERT_EQ(record({"40x30+0+0", "--fps", "5", "--duration", "1"}), 0) << err_.str();
    const std::filesystem::path file = out_.str().substr(0, out_.str().size() - 1);
    EXPECT_EQ(file.parent_path(), paths_.root() / "Exports");
    EXPECT_EQ(file.extension(), ".gif");
    EXPECT_TRUE(std::filesystem::exists(file));
    const auto recent = RecentExportStore(defaults_, DefaultsKeys::recentExports, 8).load();
    ASSERT_EQ(recent.size(), 1u);
    EXPECT_EQ(recent[0].url, file);
}

TEST_F(X11RecordCommandTest, BadRegionsAndOptionsAreRefusedBeforeRecording) {
    EXPECT_EQ(record({}), 2);
    EXPECT_EQ(record({"1x1+0+0"}), 2);
    EXPECT_EQ(record({"100x60+0+0", "--fps", "0"}), 2);
    EXPECT_EQ(record({"100x60+0+0", "--duration", "0.5"}), 2);
    EXPECT_EQ(record({"100x60+300+0", "--duration", "1"}), 1) << "off the 320x240 screen";
    EXPECT_NE(err_.str().find("one screen"), std::string::npos);
    EXPECT_EQ(runRecordCommand({"100x60+0+0"}, defaults_, paths_, out_, err_, ":9999"), 1);
    EXPECT_FALSE(std::filesystem::exists(paths_.root() / "Exports")) << "nothing written";
}

} // namespace
} // namespace brisklet
