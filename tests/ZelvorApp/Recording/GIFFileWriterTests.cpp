#include "Platform/Fake/FakeGIFEncoder.h"
#include "Platform/Fake/ManualClock.h"
#include "ZelvorApp/Recording/GIFFileWriter.h"
#include "ZelvorApp/Recording/GIFPerformancePolicy.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

std::shared_ptr<const Image> solid(std::uint8_t r, int w = 4, int h = 3) {
    Image image(w, h);
    image.fill(r, 10, 20);
    return std::make_shared<const Image>(std::move(image));
}

class GIFFileWriterTest : public ::testing::Test {
protected:
    FakeGIFEncoder encoder;
    ManualClock clock;
    GIFFileWriter writer{encoder, clock, GIFEncodingQuality::standard};
};

TEST_F(GIFFileWriterTest, WritesTheTimedFramesWithHundredthDelaysAndEndlessLooping) {
    std::vector<double> progress;
    const auto a = solid(1), b = solid(2), c = solid(3);
    const auto status = writer.writeGIFFile({{a, 0.0}, {b, 0.04}, {c, 0.31}}, 10, 0.4, "/tmp/out.gif",
                                            [&](double p) { progress.push_back(p); });
    ASSERT_TRUE(status.ok());
    const auto& w = encoder.written();
    EXPECT_EQ(w.file, "/tmp/out.gif");
    EXPECT_EQ(w.loopCount, 0);
    EXPECT_EQ(w.width, 4);
    EXPECT_EQ(w.height, 3);
    ASSERT_EQ(w.frames.size(), 4u);
    EXPECT_EQ(w.delays, (std::vector<int>{10, 10, 10, 10}));
    EXPECT_EQ(w.frames[0], *a);
    EXPECT_EQ(w.frames[3], *b);
    EXPECT_TRUE(w.finished);
    ASSERT_EQ(progress.size(), 5u);
    EXPECT_DOUBLE_EQ(progress[0], 0.95 * 0.25);
    EXPECT_DOUBLE_EQ(progress[3], 0.95);
    EXPECT_DOUBLE_EQ(progress[4], 1.0);
}

TEST_F(GIFFileWriterTest, HandsItsQualityToTheEncoderWithinRange) {
    const auto a = solid(1);
    for (const auto& [asked, given] : std::vector<std::pair<int, int>>{{60, 60}, {0, 1}, {250, 100}}) {
        const GIFFileWriter qualityWriter{encoder, clock, asked};
        ASSERT_TRUE(qualityWriter.writeGIFFile({{a, 0.0}}, 10, 0.1, "/tmp/q.gif").ok());
        EXPECT_EQ(encoder.written().quality, given) << asked;
    }
    EXPECT_EQ(GIFPerformancePolicy::encodingQuality(RecordingQuality::medium), GIFEncodingQuality::standard);
    EXPECT_LT(GIFPerformancePolicy::encodingQuality(RecordingQuality::low), GIFEncodingQuality::standard);
    EXPECT_GT(GIFPerformancePolicy::encodingQuality(RecordingQuality::high), GIFEncodingQuality::standard);
}

TEST_F(GIFFileWriterTest, CapsTheFrameCountByLoweringTheRate) {
    std::vector<CapturedGIFFrame> frames;
    for (int i = 0; i < 450; ++i) {
        frames.push_back({solid(static_cast<std::uint8_t>(i % 256)), i / 30.0});
    }
    ASSERT_TRUE(writer.writeGIFFile(frames, 30, 15.0, "/tmp/x.gif").ok());
    EXPECT_EQ(encoder.written().frames.size(), 300u); // 22 fps, delay 5/100
    EXPECT_EQ(encoder.written().delays.front(), 5);
}

TEST_F(GIFFileWriterTest, RendererAndPlannerShapeTheWrittenFrames) {
    const auto a = solid(1);
    std::vector<double> renderedAt;
    const auto planner = [](const std::vector<CapturedGIFFrame>& frames, int, double) {
        return std::vector<GIFFrameTiming::ExportFrame>{{frames.front(), 0.5}, {frames.front(), 0.25}};
    };
    const auto renderer = [&](const Image&, double time) {
        renderedAt.push_back(time);
        Image wider(6, 3);
        wider.fill(9, 9, 9);
        return Result<Image, std::string>::success(wider);
    };
    ASSERT_TRUE(writer.writeGIFFile({{a, 0.7}}, 20, 2.0, "/tmp/y.gif", {}, planner, renderer).ok());
    EXPECT_EQ(encoder.written().width, 6);
    EXPECT_EQ(encoder.written().delays, (std::vector<int>{50, 25}));
    EXPECT_EQ(renderedAt, (std::vector<double>{0.7, 0.7}));
}

TEST_F(GIFFileWriterTest, ReportsEveryFailureAsExportFailedOrNoFrames) {
    const auto a = solid(1);
    EXPECT_EQ(writer.writeGIFFile({}, 20, 1.0, "/tmp/z.gif").error().error, GIFRecorderError::noFrames);
    EXPECT_EQ(encoder.beginCount(), 0);

    encoder.failBegin = GIFEncoderError{GIFEncoderError::Kind::cannotCreate, "read-only"};
    auto failed = writer.writeGIFFile({{a, 0}}, 20, 1.0, "/tmp/z.gif");
    ASSERT_FALSE(failed.ok());
    EXPECT_EQ(failed.error().error, GIFRecorderError::exportFailed);
    EXPECT_NE(failed.error().detail.find("read-only"), std::string::npos);

    encoder.failBegin.reset();
    encoder.failFrameAt = 2;
    EXPECT_EQ(writer.writeGIFFile({{a, 0}}, 20, 1.0, "/tmp/z.gif").error().error, GIFRecorderError::exportFailed);
    EXPECT_FALSE(encoder.written().finished);

    encoder.failFrameAt.reset();
    encoder.failFinish = GIFEncoderError{GIFEncoderError::Kind::finalizeFailed, "disk full"};
    EXPECT_EQ(writer.writeGIFFile({{a, 0}}, 20, 1.0, "/tmp/z.gif").error().error, GIFRecorderError::exportFailed);

    // A frame that cannot be drawn (say, its background) fails the export instead of being skipped.
    const auto failingRenderer = [](const Image&, double) {
        return Result<Image, std::string>::failure("background unavailable");
    };
    failed = writer.writeGIFFile({{a, 0}}, 20, 1.0, "/tmp/z.gif", {}, {}, failingRenderer);
    ASSERT_FALSE(failed.ok());
    EXPECT_NE(failed.error().detail.find("background unavailable"), std::string::npos);

    // Frames of different sizes cannot share one canvas.
    encoder.failFinish.reset();
    EXPECT_FALSE(writer.writeGIFFile({{a, 0}, {solid(2, 8, 8), 0.5}}, 20, 1.0, "/tmp/z.gif").ok());
    EXPECT_EQ(messageKey(GIFRecorderError::noFrames), L10nKey::errorGifNoFrames);
    EXPECT_EQ(messageKey(GIFRecorderError::exportFailed), L10nKey::errorGifExportFailed);
}

} // namespace
} // namespace brisklet
