#include "MemoryTestSupport.h"

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/FFmpeg/FFmpegVideoFrameReader.h"
#include "Platform/Linux/X11/X11Workspace.h"
#include "ZelvorApp/Memory/LocalVisualMemoryAnalyzer.h"
#include "ZelvorApp/Memory/VideoThumbnailGenerator.h"
#include "main/LibraryCommand.h"
#include "support/PrivateXServer.h"
#include "support/XcbTesting.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/display.h>
}

#include <xcb/xcb.h>

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <sstream>
#include <unistd.h>

namespace brisklet {
namespace {

using namespace memory_testing;

// Writes a short MPEG-4 video of solid red frames; `rotationDegrees` goes into the display matrix.
bool writeRedVideo(const fs::path& file, int width, int height, int rotationDegrees) {
    AVFormatContext* format = nullptr;
    if (avformat_alloc_output_context2(&format, nullptr, nullptr, file.c_str()) < 0) {
        return false;
    }
    const AVCodec* encoder = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    AVStream* stream = avformat_new_stream(format, nullptr);
    AVCodecContext* codec = avcodec_alloc_context3(encoder);
    codec->width = width;
    codec->height = height;
    codec->time_base = {1, 10};
    codec->framerate = {10, 1};
    codec->pix_fmt = AV_PIX_FMT_YUV420P;
    if ((format->oformat->flags & AVFMT_GLOBALHEADER) != 0) {
        codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    }
    bool ok =
        avcodec_open2(codec, encoder, nullptr) == 0 && avcodec_parameters_from_context(stream->codecpar, codec) >= 0;
    stream->time_base = codec->time_base;
    if (ok && rotationDegrees != 0) {
        auto* matrix = reinterpret_cast<std::int32_t*>(
            av_stream_new_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, 9 * sizeof(std::int32_t)));
        av_display_rotation_set(matrix, rotationDegrees);
    }
    ok =
        ok && avio_open(&format->pb, file.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(format, nullptr) >= 0;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();
    frame->format = AV_PIX_FMT_YUV420P;
    frame->width = width;
    frame->height = height;
    ok = ok && av_frame_get_buffer(frame, 0) >= 0;
    const auto drain = [&] {
        while (avcodec_receive_packet(codec, packet) == 0) {
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            av_interleaved_write_frame(format, packet);
        }
    };
    for (int i = 0; ok && i < 3; ++i) {
        av_frame_make_writable(frame);
        for (int y = 0; y < height; ++y) {
            std::memset(frame->data[0] + y * frame->linesize[0], 81, static_cast<std::size_t>(width));
        }
        for (int y = 0; y < height / 2; ++y) {
            std::memset(frame->data[1] + y * frame->linesize[1], 90, static_cast<std::size_t>(width / 2));
            std::memset(frame->data[2] + y * frame->linesize[2], 240, static_cast<std::size_t>(width / 2));
        }
        frame->pts = i;
        ok = avcodec_send_frame(codec, frame) >= 0;
        drain();
    }
    avcodec_send_frame(codec, nullptr);
    drain();
    ok = ok && av_write_trailer(format) >= 0;
    av_packet_free(&packet);
    av_frame_free(&frame);
    avcodec_free_context(&codec);
    avio_closep(&format->pb);
    avformat_free_context(format);
    return ok;
}

TEST(FFmpegVideoFrameReaderTest, FirstFrameOfAVideoScaledDownAndTurnedUpright) {
    TemporaryPaths paths;
    fs::create_directories(paths.root());
    const fs::path plain = paths.root() / "plain.mp4";
    ASSERT_TRUE(writeRedVideo(plain, 64, 48, 0));
    const FFmpegVideoFrameReader reader;
    auto frame = reader.firstFrame(plain, 840, 840);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame.value().width(), 64);
    EXPECT_EQ(frame.value().height(), 48);
    const std::uint8_t* centre = frame.value().row(24) + 32 * 4;
    EXPECT_GT(centre[0], 200);
    EXPECT_LT(centre[1], 60);
    EXPECT_EQ(centre[3], 255);
    frame = reader.firstFrame(plain, 32, 32);
    ASSERT_TRUE(frame);
    EXPECT_EQ(std::make_pair(frame.value().width(), frame.value().height()), std::make_pair(32, 24));

    const fs::path rotated = paths.root() / "rotated.mov";
    ASSERT_TRUE(writeRedVideo(rotated, 64, 48, 90));
    frame = reader.firstFrame(rotated, 840, 840);
    ASSERT_TRUE(frame);
    EXPECT_EQ(std::make_pair(frame.value().width(), frame.value().height()), std::make_pair(48, 64));

    EXPECT_EQ(reader.firstFrame(paths.root() / "missing.mp4", 10, 10).error(), VideoFrameReaderError::openFailed);
    writeText(paths.root() / "text.mp4", "plain text, not a video");
    EXPECT_FALSE(reader.firstFrame(paths.root() / "text.mp4", 10, 10));
}

TEST(FFmpegVideoFrameReaderTest, GifFirstFrameFeedsTheAnalyzersThumbnail) {
    TemporaryPaths paths;
    // A 1 × 1 GIF whose only pixel is red.
    const std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\x00\x00\x00\x00\x00!\xf9\x04\x00\x00\x00\x00\x00"
                          ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                          43);
    const fs::path file = writeText(paths.root() / "gif-1.gif", gif);
    const FFmpegVideoFrameReader reader;
    const auto frame = reader.firstFrame(file, 840, 840);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame.value().width(), 1);
    EXPECT_EQ(frame.value().row(0)[0], 255);

    const LinuxImageCodec codec;
    VideoThumbnailGenerator videos(reader);
    LocalVisualMemoryAnalyzer analyzer(paths.root() / "Thumbnails", codec, videos, nullptr);
    const auto analysis = analyzer.analyze(file, ExportKind::gif, {});
    ASSERT_TRUE(analysis);
    ASSERT_TRUE(analysis.value().thumbnailPath);
    EXPECT_EQ(codec.readPixelSize(*analysis.value().thumbnailPath), (PixelSize{1, 1}));
}

TEST(LibraryCommandIntegrationTest, AddAnalysesWithTheRealBackendsAndListsTheItem) {
    TemporaryPaths paths;
    InMemoryDefaultsStore defaults;
    const LinuxImageCodec codec;
    Image picture(900, 300);
    picture.fill(20, 120, 220);
    const fs::path file = paths.root() / "Pictures" / "team_offsite-agenda.png";
    fs::create_directories(file.parent_path());
    ASSERT_TRUE(codec.writeFile(picture, file, ImageFormat::png));
    const fs::path movie = paths.root() / "Pictures" / "demo.mp4";
    ASSERT_TRUE(writeRedVideo(movie, 64, 48, 0));

    std::istringstream in;
    std::ostringstream out;
    std::ostringstream err;
    ASSERT_EQ(runLibraryCommand({"add", file.string()}, paths, defaults, in, out, err), 0) << err.str();
    ASSERT_EQ(runLibraryCommand({"add", movie.string()}, paths, defaults, in, out, err), 0) << err.str();
    const fs::path thumbnails = paths.applicationSupportDirectory() / "Brisklet" / "VisualMemory" / "Thumbnails";
    EXPECT_EQ(codec.readPixelSize(thumbnails / "team_offsite-agenda-thumb.jpg"), (PixelSize{420, 140}));
    EXPECT_EQ(codec.readPixelSize(thumbnails / "demo-thumb.jpg"), (PixelSize{64, 48}));
    out.str("");
    ASSERT_EQ(runLibraryCommand({"list", "--query", "offsite"}, paths, defaults, in, out, err), 0);
    EXPECT_NE(out.str().find("\tscreenshot\tteam offsite agenda\tscreenshot\t" + file.string()), std::string::npos)
        << out.str();
}

xcb_atom_t atom(xcb_connection_t* c, const char* name) {
    return testing::internAtom(c, name);
}

// Plays the window manager: makes a window with a title, class and process id and focuses it.
xcb_window_t focusNewWindow(xcb_connection_t* c, const std::string& title, const std::string& wmClass,
                            std::uint32_t pid) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
    const xcb_window_t window = xcb_generate_id(c);
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 50, 50, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                      screen->root_visual, 0, nullptr);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_NAME"), atom(c, "UTF8_STRING"), 8,
                        static_cast<std::uint32_t>(title.size()), title.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        static_cast<std::uint32_t>(wmClass.size()), wmClass.data());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, atom(c, "_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, screen->root, atom(c, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 32, 1,
                        &window);
    xcb_flush(c);
    testing::roundTrip(c); // round trip: the server has it all
    return window;
}

TEST(X11WorkspaceTest, NamesTheFocusedWindowsApplicationAndReportsActivations) {
    testing::PrivateXServer server;
    if (server.display().empty()) {
        GTEST_SKIP() << "Xvfb is not available";
    }
    xcb_connection_t* wm = xcb_connect(server.display().c_str(), nullptr);
    ASSERT_EQ(xcb_connection_has_error(wm), 0);
    const auto workspace = X11Workspace::connect(server.display());
    ASSERT_TRUE(workspace);
    EXPECT_FALSE(workspace->frontmostApplication()) << "nothing is focused yet";

    focusNewWindow(wm, "Résumé — Editor", std::string("editor\0Gedit\0", 13), static_cast<std::uint32_t>(::getpid()));
    auto front = workspace->frontmostApplication();
    ASSERT_TRUE(front);
    EXPECT_EQ(front->localizedName, "Gedit");
    EXPECT_EQ(front->bundleIdentifier, "gedit");
    EXPECT_EQ(front->processIdentifier, ::getpid());
    EXPECT_EQ(front->processIdentifier, workspace->currentProcessIdentifier());
    EXPECT_EQ(workspace->frontmostWindowTitle(), "Résumé — Editor");
    EXPECT_FALSE(workspace->frontmostBrowserURL());

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<RunningApplication> activations;
    workspace->startObservingActivations([&](const RunningApplication& app) {
        std::lock_guard lock(mutex);
        activations.push_back(app);
        changed.notify_all();
    });
    focusNewWindow(wm, "Inbox", std::string("mail\0Thunderbird\0", 17), 1);
    {
        std::unique_lock lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(10), [&] { return !activations.empty(); }));
        EXPECT_EQ(activations[0].localizedName, "Thunderbird");
        EXPECT_EQ(activations[0].processIdentifier, 1);
    }
    workspace->stopObservingActivations();
    focusNewWindow(wm, "Later", std::string("x\0Later\0", 8), 1);
    EXPECT_EQ(workspace->frontmostApplication()->localizedName, "Later");
    std::lock_guard lock(mutex);
    EXPECT_EQ(activations.size(), 1u) << "nothing is reported after stopping";
    xcb_disconnect(wm);
}

} // namespace
} // namespace brisklet
