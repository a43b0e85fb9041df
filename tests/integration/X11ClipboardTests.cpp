// The Qt clipboard backend on a real X server, with xclip as the other application: the change
// count follows foreign copies, contents read back both ways, and our own writes stay ours.
// One QGuiApplication per process, so this program holds only these tests.

#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Qt/QtPasteboard.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Memory/ClipboardVisualMemoryMonitor.h"
#include "support/PrivateXServer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QLibraryInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <memory>

namespace brisklet {
namespace {

constexpr auto generousDeadline = std::chrono::seconds(10);

/// Lets Qt handle X events (selection requests and ownership changes) for about 20 ms.
void pumpEvents() {
    QEventLoop loop;
    QTimer::singleShot(20, &loop, &QEventLoop::quit);
    loop.exec();
}

bool pumpUntil(const std::function<bool()>& condition) {
    const auto deadline = std::chrono::steady_clock::now() + generousDeadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        pumpEvents();
    }
    return true;
}

struct XclipRun {
    bool finished = false;
    int exitCode = -1;
    QByteArray output;
};

/// Runs xclip on the CLIPBOARD selection while our event loop keeps serving it (xclip -o asks
/// us for our data, so blocking here would deadlock).
XclipRun xclip(const QStringList& arguments, const QByteArray& input = {}) {
    QProcess process;
    QStringList all{"-selection", "clipboard"};
    all += arguments;
    if (!arguments.contains("-o")) {
        // A copying xclip stays behind in the background; it must not hold our pipe open.
        process.setStandardOutputFile(QProcess::nullDevice());
    }
    process.start("xclip", all);
    XclipRun run;
    if (!process.waitForStarted(5000)) {
        return run;
    }
    process.write(input);
    process.closeWriteChannel();
    run.finished = pumpUntil([&] { return process.state() == QProcess::NotRunning; });
    run.exitCode = process.exitCode();
    run.output = process.readAllStandardOutput();
    return run;
}

Image testPicture() {
    Image image(40, 30);
    image.fill(20, 90, 200);
    for (int x = 0; x < 40; ++x) {
        image.setPixel(x, x % 30, 250, 240, 10);
    }
    return image;
}

class X11ClipboardTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const QString plugin = QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/libqxcb.so";
        if (!QFile::exists(plugin)) {
            skipReason() =
                "the Qt xcb platform plugin is missing (" + plugin.toStdString() + "; Debian package qt6-qpa-plugins)";
            return;
        }
        if (QStandardPaths::findExecutable("xclip").isEmpty()) {
            skipReason() = "xclip is not installed";
            return;
        }
        server() = std::make_unique<testing::PrivateXServer>();
        if (server()->display().empty()) {
            skipReason() = "Xvfb is not available";
            return;
        }
        ::setenv("DISPLAY", server()->display().c_str(), 1);
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
        static int argc = 1;
        static char name[] = "x11_clipboard_tests";
        static char* argv[] = {name, nullptr};
        application() = std::make_unique<QGuiApplication>(argc, argv);
    }
    static void TearDownTestSuite() {
        application().reset();
        // Background xclip copies exit when their server goes.
        server().reset();
    }

    void SetUp() override {
        if (!skipReason().empty()) {
            GTEST_SKIP() << skipReason();
        }
    }

    static std::string& skipReason() {
        static std::string reason;
        return reason;
    }
    static std::unique_ptr<testing::PrivateXServer>& server() {
        static std::unique_ptr<testing::PrivateXServer> instance;
        return instance;
    }
    static std::unique_ptr<QGuiApplication>& application() {
        static std::unique_ptr<QGuiApplication> instance;
        return instance;
    }

    /// Copies with xclip and waits until our change count has seen it.
    void copyElsewhere(const QStringList& arguments, const QByteArray& input) {
        const std::int64_t before = pasteboard_.changeCount();
        const XclipRun run = xclip(arguments, input);
        ASSERT_TRUE(run.finished && run.exitCode == 0) << "xclip " << arguments.join(' ').toStdString();
        ASSERT_TRUE(pumpUntil([&] { return pasteboard_.changeCount() != before; }))
            << "the change count never moved after xclip copied";
    }

    QtPasteboard pasteboard_;
    LinuxImageCodec codec_;
};

TEST_F(X11ClipboardTest, CopiesOfAnotherClientMoveTheChangeCountAndReadBack) {
    copyElsewhere({"-i"}, "copied in a terminal");
    EXPECT_EQ(pasteboard_.readText(), "copied in a terminal");

    const Image picture = testPicture();
    const std::string png = codec_.encode(picture, ImageFormat::png).value();
    copyElsewhere({"-t", "image/png", "-i"}, QByteArray(png.data(), static_cast<qsizetype>(png.size())));
    const std::optional<Image> pasted = pasteboard_.readImage();
    ASSERT_TRUE(pasted);
    EXPECT_EQ(*pasted, picture);
}

TEST_F(X11ClipboardTest, OwnWritesAreSkippedByTheMonitorAndOthersReadThem) {
    AppClipboardWriteTracker tracker;
    ExportService exports(pasteboard_, tracker);
    ManualClock clock;
    ManualMainQueue mainQueue(clock);
    ClipboardVisualMemoryMonitor monitor(pasteboard_, nullptr, tracker, mainQueue, codec_);
    std::vector<std::string> texts;
    int images = 0;
    monitor.onTextCopied = [&](const std::string& text) { texts.push_back(text); };
    monitor.onImageCopied = [&](const Image&, const std::string&) { ++images; };

    exports.copyTextToPasteboard("written by Brisklet");
    // Reading it from another client also gives late ownership events time to arrive.
    const XclipRun text = xclip({"-o"});
    ASSERT_TRUE(text.finished);
    EXPECT_EQ(text.output.toStdString(), "written by Brisklet");
    monitor.poll();
    EXPECT_TRUE(texts.empty()) << "our own copy was taken for a foreign one: " << texts.front();

    copyElsewhere({"-i"}, "typed in another editor");
    monitor.poll();
    EXPECT_EQ(texts, std::vector<std::string>{"typed in another editor"});

    const Image picture = testPicture();
    exports.copyImageToPasteboard(picture);
    const XclipRun png = xclip({"-t", "image/png", "-o"});
    ASSERT_TRUE(png.finished);
    const auto decoded =
        codec_.decode(std::string_view(png.output.constData(), static_cast<std::size_t>(png.output.size())));
    ASSERT_TRUE(decoded) << "xclip did not get a PNG from us";
    EXPECT_EQ(decoded.value(), picture);
    monitor.poll();
    EXPECT_EQ(images, 0);
    EXPECT_EQ(texts.size(), 1u);
}

} // namespace
} // namespace brisklet
