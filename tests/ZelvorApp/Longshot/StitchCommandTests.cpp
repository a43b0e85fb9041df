#include "SyntheticPage.h"

#include "Platform/Fake/ScriptedScrollingPage.h"
#include "Platform/Fake/TemporaryPaths.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "main/StitchCommand.h"

#include <fstream>
#include <gtest/gtest.h>
#include <sstream>

namespace brisklet {
namespace {

using namespace testing_support;

class StitchCommandTest : public ::testing::Test {
protected:
    TemporaryPaths paths;
    LinuxImageCodec codec;
    ScriptedScrollingPage page{makeTextPage(640, 1400, 71), 420, makeBar(640, 50, 30, 90, 60, 72),
                               makeBar(640, 36, 90, 90, 90, 73)};
    std::string out;
    std::string err;

    std::string framePath(const std::string& name) { return (paths.root() / name).string(); }

    /// Writes the page's view at each offset as frame<N>.png.
    std::vector<std::string> writeFrames(const std::vector<int>& offsets) {
        std::vector<std::string> files;
        for (std::size_t i = 0; i < offsets.size(); ++i) {
            page.setOffset(offsets[i]);
            files.push_back(framePath("frame" + std::to_string(i + 1) + ".png"));
            EXPECT_TRUE(codec.writeFile(page.frame(), files.back(), ImageFormat::png));
        }
        return files;
    }

    int run(std::vector<std::string> args) {
        std::ostringstream o, e;
        const int code = runStitchCommand(args, codec, o, e);
        out = o.str();
        err = e.str();
        return code;
    }
};

TEST_F(StitchCommandTest, StitchesFramesIntoThePageAndReportsEveryFrame) {
    auto args = writeFrames({0, 200, 200, 420, 640, 860, 1066}); // 1066: the end of the page
    const std::string output = framePath("page.png");
    args.insert(args.end(), {"-o", output});
    ASSERT_EQ(run(args), 0) << err;
    EXPECT_NE(out.find("frame 1 " + args[0] + ": accepted (first frame)"), std::string::npos) << out;
    EXPECT_NE(out.find("frame 2 " + args[1] + ": accepted shift=200 overlap="), std::string::npos) << out;
    EXPECT_NE(out.find("frame 3 " + args[2] + ": skipped, nothing moved"), std::string::npos) << out;
    EXPECT_NE(out.find("frame 7 " + args[6] + ": accepted shift=206 "), std::string::npos) << out;
    EXPECT_NE(out.find("Stitched 6 of 7 frames into " + output +
                       " (640x1486); seams guessed: 0; bars found: header=50 footer=36\n"),
              std::string::npos)
        << out;
    const auto stitched = codec.readFile(output);
    ASSERT_TRUE(stitched);
    EXPECT_EQ(stitched.value(), page.fullPage());
}

TEST_F(StitchCommandTest, WithoutHeaderCropTheHeaderRepeats) {
    auto args = writeFrames({0, 200});
    args.insert(args.end(), {"--no-header-crop", "--output", framePath("page.png")});
    ASSERT_EQ(run(args), 0) << err;
    const auto stitched = codec.readFile(framePath("page.png")).value();
    EXPECT_EQ(stitched.height(), 200 + 420) << out;
}

TEST_F(StitchCommandTest, AFrameThatDoesNotLineUpIsSkippedAndSaidSo) {
    auto args = writeFrames({400, 600, 100});
    args.insert(args.end(), {"-o", framePath("page.png")});
    ASSERT_EQ(run(args), 0) << err;
    EXPECT_NE(out.find("frame 3 " + args[2] + ": skipped, no reliable match shift="), std::string::npos) << out;
    EXPECT_NE(out.find("Stitched 2 of 3 frames"), std::string::npos) << out;
}

TEST_F(StitchCommandTest, AnUnreadableFrameIsNamedAndNothingIsWritten) {
    auto args = writeFrames({0, 200});
    std::ofstream(framePath("broken.png")) << "not a picture";
    args.insert(args.begin() + 1, framePath("broken.png"));
    args.insert(args.end(), {"-o", framePath("page.png")});
    EXPECT_EQ(run(args), 1);
    EXPECT_NE(err.find("cannot read " + framePath("broken.png")), std::string::npos) << err;
    EXPECT_FALSE(std::filesystem::exists(framePath("page.png")));

    args[1] = framePath("missing.png");
    EXPECT_EQ(run(args), 1);
    EXPECT_NE(err.find("cannot read " + framePath("missing.png")), std::string::npos) << err;
}

TEST_F(StitchCommandTest, FramesOfAnotherSizeAreRefusedByName) {
    auto args = writeFrames({0, 200});
    ASSERT_TRUE(codec.writeFile(Image(640, 400), framePath("other.png"), ImageFormat::png));
    args.push_back(framePath("other.png"));
    args.insert(args.end(), {"-o", framePath("page.png")});
    EXPECT_EQ(run(args), 1);
    EXPECT_NE(err.find(framePath("other.png") + " is 640x400 but " + args[0] + " is 640x420"), std::string::npos)
        << err;
    EXPECT_FALSE(std::filesystem::exists(framePath("page.png")));
}

TEST_F(StitchCommandTest, AnExistingOutputIsNeverOverwritten) {
    auto args = writeFrames({0, 200});
    std::ofstream(framePath("page.png")) << "precious";
    args.insert(args.end(), {"-o", framePath("page.png")});
    EXPECT_EQ(run(args), 1);
    EXPECT_NE(err.find("already exists"), std::string::npos);
    std::ifstream kept(framePath("page.png"));
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), {}), "precious");
}

TEST_F(StitchCommandTest, MisuseGetsTheUsage) {
    EXPECT_EQ(run({"-o", framePath("page.png")}), 2);
    EXPECT_NE(err.find("no frames given"), std::string::npos);
    EXPECT_NE(err.find("Usage: brisklet stitch"), std::string::npos);
    EXPECT_EQ(run({framePath("a.png")}), 2);
    EXPECT_NE(err.find("no output file"), std::string::npos);
    EXPECT_EQ(run({framePath("a.png"), "-o"}), 2);
    EXPECT_EQ(run({framePath("a.png"), "--sideways", "-o", framePath("b.png")}), 2);
    EXPECT_NE(err.find("unknown option --sideways"), std::string::npos);
}

} // namespace
} // namespace brisklet
