#include "Platform/Fake/FakeBackgroundRenderer.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/Gif/GiflibGIFEncoder.h"
#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/GIFBackgroundRenderer.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"
#include "ZelvorApp/Recording/GifDecoding.h"
#include "main/GifCommand.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

using testing::DecodedGIF;

/// The frames as a viewer shows them, each one composed over what the frames before left.
std::optional<DecodedGIF> decode(const fs::path& file) {
    return testing::decodeGIF(file);
}

Image gradient(int w, int h, std::uint8_t blue) {
    Image image(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            image.setPixel(x, y, static_cast<std::uint8_t>(x * 255 / (w - 1)),
                           static_cast<std::uint8_t>(y * 255 / (h - 1)), blue);
        }
    }
    return image;
}

int meanDifference(const Image& a, const Image& b) {
    long long sum = 0;
    for (std::size_t i = 0; i < a.pixels().size(); ++i) {
        if (i % 4 != 3)
            sum += std::abs(int(a.pixels()[i]) - int(b.pixels()[i]));
    }
    return static_cast<int>(sum / static_cast<long long>(a.pixels().size() / 4 * 3));
}

class GifRoundTripTest : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("brisklet-gif-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    int run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return runGifCommand(args, {codec, encoder, clock, [this] { return &background; }}, out, err);
    }
    std::string writeFrame(const std::string& name, const Image& image) {
        const auto path = (dir / name).string();
        EXPECT_TRUE(codec.writeFile(image, path, ImageFormat::png).ok());
        return path;
    }
    std::vector<fs::path> entries() const {
        std::vector<fs::path> all;
        for (const auto& e : fs::directory_iterator(dir))
            all.push_back(e.path().filename());
        std::sort(all.begin(), all.end());
        return all;
    }

    fs::path dir;
    LinuxImageCodec codec;
    GiflibGIFEncoder encoder;
    ManualClock clock;
    FakeBackgroundRenderer background;
    std::ostringstream out, err;
};

TEST_F(GifRoundTripTest, WrittenGIFDecodesToTheTimedFramesLoopingForever) {
    const GIFFileWriter writer(encoder, clock, GIFEncodingQuality::standard);
    const auto a = std::make_shared<const Image>(gradient(40, 30, 0));
    const auto b = std::make_shared<const Image>(gradient(40, 30, 200));
    const auto file = dir / "round.gif";
    ASSERT_TRUE(writer.writeGIFFile({{a, 0.0}, {b, 0.04}, {a, 0.31}}, 10, 0.4, file).ok());

    const auto decoded = decode(file);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, 40);
    EXPECT_EQ(decoded->height, 30);
    EXPECT_EQ(decoded->loopCount, 0);
    EXPECT_EQ(decoded->delays, (std::vector<int>{10, 10, 10, 10}));
    ASSERT_EQ(decoded->frames.size(), 4u);
    // Dithered to 256 colours, the frames stay close to their sources and far from the others.
    EXPECT_LT(meanDifference(decoded->frames[0], *a), 8);
    EXPECT_LT(meanDifference(decoded->frames[3], *b), 8);
    EXPECT_GT(meanDifference(decoded->frames[3], *a), 50); // blue differs by 200 in every pixel
}

TEST_F(GifRoundTripTest, CommandEncodesFramesAtTheRequestedRate) {
    std::vector<std::string> args;
    for (int i = 0; i < 6; ++i) {
        args.push_back(
            writeFrame("f" + std::to_string(i) + ".png", gradient(16, 12, static_cast<std::uint8_t>(i * 40))));
    }
    const auto output = (dir / "out.gif").string();
    args.insert(args.end(), {"--fps", "20", "-o", output});
    ASSERT_EQ(run(args), 0) << err.str();
    EXPECT_NE(out.str().find("Wrote 6 frames (16x12, 20 fps, delay 5/100 s)"), std::string::npos) << out.str();
    const auto decoded = decode(output);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->frames.size(), 6u);
    EXPECT_EQ(decoded->delays, std::vector<int>(6, 5));
    EXPECT_EQ(decoded->loopCount, 0);

    // Never overwritten: a second run fails and leaves the first file as it was.
    const auto before = fs::file_size(output);
    EXPECT_EQ(run(args), 1);
    EXPECT_NE(err.str().find("already exists"), std::string::npos);
    EXPECT_EQ(fs::file_size(output), before);
}

TEST_F(GifRoundTripTest, CommandQualityTradesSizeForFidelity) {
    std::vector<std::string> frames;
    for (int i = 0; i < 5; ++i) { // a gradient brightening step by step, as a fade does
        Image image = gradient(64, 40, 90);
        std::uint8_t* bytes = image.data();
        for (std::size_t k = 0; k < image.pixels().size(); ++k) {
            if (k % 4 != 3)
                bytes[k] = static_cast<std::uint8_t>(std::min(255, bytes[k] + 2 * i));
        }
        frames.push_back(writeFrame("q" + std::to_string(i) + ".png", image));
    }
    std::vector<std::uintmax_t> sizes;
    for (const std::string quality : {"100", "20"}) {
        auto args = frames;
        const auto output = (dir / ("q" + quality + ".gif")).string();
        args.insert(args.end(), {"--quality=" + quality, "-o", output});
        ASSERT_EQ(run(args), 0) << err.str();
        const auto decoded = decode(output);
        ASSERT_TRUE(decoded);
        ASSERT_EQ(decoded->frames.size(), 5u);
        EXPECT_LT(meanDifference(decoded->frames[4], codec.readFile(frames[4]).value()), 8) << quality;
        sizes.push_back(fs::file_size(output));
    }
    EXPECT_GT(sizes[0], sizes[1]) << "the lower quality leaves small changes as they are shown";
}

TEST_F(GifRoundTripTest, CommandUsesRealTimestampsAndDuration) {
    const auto a = writeFrame("a.png", gradient(8, 8, 0));
    const auto b = writeFrame("b.png", gradient(8, 8, 255));
    const auto times = dir / "times.json";
    std::ofstream(times) << "[0, 0.35]";
    const auto output = (dir / "timed.gif").string();
    ASSERT_EQ(run({a, b, "--fps", "10", "--timestamps", times.string(), "--duration", "1", "-o", output}), 0)
        << err.str();
    const auto decoded = decode(output);
    ASSERT_TRUE(decoded);
    ASSERT_EQ(decoded->frames.size(), 10u);
    EXPECT_EQ(decoded->delays, std::vector<int>(10, 10));
    EXPECT_LT(meanDifference(decoded->frames[3], decoded->frames[0]), 8);  // 0.3 still shows a
    EXPECT_GT(meanDifference(decoded->frames[4], decoded->frames[0]), 50); // 0.4 shows b
}

TEST_F(GifRoundTripTest, CommandRejectsBadInputWithoutWritingAnything) {
    const auto a = writeFrame("a.png", gradient(8, 8, 0));
    const auto big = writeFrame("big.png", gradient(9, 8, 0));
    const auto broken = (dir / "broken.png").string();
    std::ofstream(broken) << "not a png";
    const auto badTimes = (dir / "bad.json").string();
    std::ofstream(badTimes) << "[0, -1]";
    const auto output = (dir / "out.gif").string();
    const auto before = entries();

    EXPECT_EQ(run({a, broken, "-o", output}), 1);
    EXPECT_NE(err.str().find("cannot read " + broken), std::string::npos) << err.str();
    EXPECT_EQ(run({a, big, "-o", output}), 1);
    EXPECT_NE(err.str().find("share one size"), std::string::npos);
    EXPECT_EQ(run({a, a, "--timestamps", badTimes, "-o", output}), 1);
    EXPECT_NE(err.str().find("time 2"), std::string::npos);
    EXPECT_EQ(run({a, "--timestamps", badTimes, "-o", output}), 1);
    EXPECT_NE(err.str().find("2 times for 1 frames"), std::string::npos);
    EXPECT_EQ(run({a, "--fps", "0", "-o", output}), 2);
    EXPECT_EQ(run({a, "--duration", "abc", "-o", output}), 2);
    EXPECT_EQ(run({a, "--duration", "1e12", "-o", output}), 2) << "a length no memory could hold";
    EXPECT_EQ(run({a}), 2);
    EXPECT_EQ(run({"-o", output}), 2);
    EXPECT_EQ(run({a, "--loud", "-o", output}), 2);
    for (const char* quality : {"0", "101", "50.5", "high"}) {
        EXPECT_EQ(run({a, "--quality", quality, "-o", output}), 2) << quality;
        EXPECT_NE(err.str().find("--quality must be a whole number from 1 to 100"), std::string::npos) << err.str();
    }
    EXPECT_EQ(entries(), before); // no output, no temporary files left behind
}

TEST_F(GifRoundTripTest, CommandPutsEveryFrameOnABackgroundPreset) {
    const Image first = gradient(40, 30, 0);
    const auto a = writeFrame("a.png", first);
    const auto b = writeFrame("b.png", gradient(40, 30, 200));
    const auto output = (dir / "framed.gif").string();
    std::ostringstream headlessOut, headlessErr;
    ASSERT_EQ(runGifCommandHeadless({a, b, "--fps", "10", "--background", "dark-moon", "-o", output}, headlessOut,
                                    headlessErr),
              0)
        << headlessErr.str();

    const auto composition = GIFBackgroundChoice::preset("dark-moon").composition({40, 30});
    ASSERT_TRUE(composition);
    EXPECT_GE(composition->padding, 76);
    const BackgroundLayout layout = BackgroundLayout::make({40, 30}, *composition);
    const auto decoded = decode(output);
    ASSERT_TRUE(decoded);
    EXPECT_EQ(decoded->width, static_cast<int>(std::lround(layout.canvasSize.width)));
    EXPECT_EQ(decoded->height, static_cast<int>(std::lround(layout.canvasSize.height)));
    EXPECT_NE(headlessOut.str().find("Wrote 2 frames (" + std::to_string(decoded->width) + "x" +
                                     std::to_string(decoded->height) + ", 10 fps"),
              std::string::npos)
        << headlessOut.str();
    EXPECT_NE(headlessOut.str().find("on dark-moon"), std::string::npos);

    // The recorded frame sits in the content rectangle; the dark preset surrounds it.
    ASSERT_EQ(decoded->frames.size(), 2u);
    const Image& shown = decoded->frames[0];
    const int left = static_cast<int>(std::ceil(layout.contentRect.minX()));
    const int top = static_cast<int>(std::ceil(layout.contentRect.minY()));
    const std::uint8_t* inside = shown.row(top + 15) + (left + 30) * 4;
    const std::uint8_t* source = first.row(15) + 30 * 4;
    EXPECT_NEAR(inside[0], source[0], 24);
    EXPECT_NEAR(inside[1], source[1], 24);
    const std::uint8_t* corner = shown.row(2) + 2 * 4;
    EXPECT_LT(corner[0] + corner[1] + corner[2], 3 * 90) << "the canvas corner shows the dark background";
}

TEST_F(GifRoundTripTest, CommandRefusesUnknownPresetsAndUndrawableBackgroundsWithoutWritingAnything) {
    const auto a = writeFrame("a.png", gradient(8, 8, 0));
    const auto output = (dir / "out.gif").string();
    const auto before = entries();

    EXPECT_EQ(run({a, "--background", "no-such-preset", "-o", output}), 2);
    EXPECT_NE(err.str().find("unknown background preset 'no-such-preset' (see brisklet background --list)"),
              std::string::npos)
        << err.str();
    EXPECT_EQ(run({a, "--background", "-o", output}), 2) << "the option needs a value";

    background.failure = BackgroundRenderError::renderFailed;
    EXPECT_EQ(run({a, "--background", "ocean-glass", "-o", output}), 1);
    EXPECT_NE(err.str().find("cannot encode"), std::string::npos) << err.str();
    EXPECT_NE(err.str().find("renderFailed"), std::string::npos) << err.str();

    std::ostringstream noOut, noErr;
    EXPECT_EQ(
        runGifCommand({a, "--background", "ocean-glass", "-o", output}, {codec, encoder, clock, {}}, noOut, noErr), 1);
    EXPECT_NE(noErr.str().find("backgrounds cannot be drawn here"), std::string::npos) << noErr.str();
    EXPECT_EQ(entries(), before); // no output, no temporary files left behind
}

} // namespace
} // namespace brisklet
