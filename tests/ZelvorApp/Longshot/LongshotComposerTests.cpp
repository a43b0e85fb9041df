#include "SyntheticPage.h"

#include "Platform/Fake/ScriptedImageRegistration.h"
#include "Platform/Linux/OpenCV/OpenCVImageRegistration.h"
#include "ZelvorApp/Longshot/LongshotComposer.h"
#include "ZelvorApp/Longshot/LongshotImageOps.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using namespace testing_support;
using Exclusions = LongshotFixedBarDetector::Exclusions;

ImageRegistration::Outcome translationOf(double tx, double ty) {
    return ImageRegistration::Outcome::success(RegistrationTranslation{tx, ty});
}

LongshotAnalysisOptions forwardOptions(std::optional<double> expectedStep = std::nullopt) {
    LongshotAnalysisOptions options;
    options.allowedPixelDirection = LongshotPixelOverlapMatcher::Direction::forward;
    options.expectedScrollStep = expectedStep;
    return options;
}

/// A viewport of `height` rows over `page` at `offset`, with a sticky header and footer.
struct StickyPage {
    Image page = makeTextPage(800, 4000, 21);
    Image header = makeBar(800, 60, 40, 70, 140, 5);
    Image footer = makeBar(800, 40, 70, 70, 70, 6);
    int height = 500;
    Image frame(int offset) const { return stacked(stacked(header, rowsOf(page, offset, height - 100)), footer); }
};

AcceptedLongshotFrame accepted(Image image, std::optional<LongshotOverlapMatch> match = std::nullopt) {
    return {std::make_shared<const Image>(std::move(image)), match};
}

LongshotOverlapMatch seam(int seamOffset, int header = 0, int footer = 0) {
    LongshotOverlapMatch match;
    match.seamOffset = seamOffset;
    match.headerExclusionHeight = header;
    match.footerExclusionHeight = footer;
    match.isReliable = true;
    return match;
}

// --- analysis ---------------------------------------------------------------------------------

TEST(LongshotAnalysisTest, IdenticalFramesAreStationaryWithoutAskingTheRegistration) {
    const ScriptedImageRegistration registration(translationOf(0, 0));
    const LongshotComposer composer(registration);
    const Image frame = StickyPage{}.frame(300);
    EXPECT_EQ(composer.analyze(frame, frame, forwardOptions()), (LongshotOverlapMatch{0, 0, 1.0, 0, 0, 0, 0, false}));
    EXPECT_EQ(registration.requests(), 0);
}

TEST(LongshotAnalysisTest, AScrolledPageIsReliableWithTheExactSeamAndItsBars) {
    const OpenCVImageRegistration registration;
    const LongshotComposer composer(registration);
    const StickyPage page;
    const auto match = composer.analyze(page.frame(200), page.frame(475), forwardOptions(275.0));
    EXPECT_TRUE(match.isReliable);
    EXPECT_EQ(match.seamOffset, 275);
    EXPECT_EQ(match.overlapPixels, 500 - match.footerExclusionHeight - 275);
    EXPECT_NEAR(match.headerExclusionHeight, 60, 500.0 / 80);
    EXPECT_NEAR(match.footerExclusionHeight, 40, 500.0 / 80);
    EXPECT_GT(match.score, 0.5);
}

TEST(LongshotAnalysisTest, TheSeamIsMadeExactOnTheFullFramesWhateverTheRegistrationSaid) {
    const StickyPage page;
    const ScriptedImageRegistration exact(translationOf(1.5, -275.0));
    const auto agreed = LongshotComposer(exact).analyze(page.frame(200), page.frame(475), forwardOptions());
    EXPECT_TRUE(agreed.isReliable);
    EXPECT_EQ(agreed.seamOffset, 275);

    const ScriptedImageRegistration nearby(translationOf(1.5, -278.0));
    const auto snapped = LongshotComposer(nearby).analyze(page.frame(200), page.frame(475), forwardOptions());
    EXPECT_TRUE(snapped.isReliable);
    EXPECT_EQ(snapped.seamOffset, 275) << "the estimate taken over from the registration is corrected";

    const ScriptedImageRegistration faraway(translationOf(0, 40.0));
    const auto own = LongshotComposer(faraway).analyze(page.frame(200), page.frame(475), forwardOptions());
    EXPECT_TRUE(own.isReliable);
    EXPECT_EQ(own.seamOffset, 275) << "the matcher's coarser estimate is made exact";
}

TEST(LongshotAnalysisTest, TheRegistrationSeesTheBandWithoutTheBars) {
    const ScriptedImageRegistration registration(translationOf(0, 275.0));
    const StickyPage page;
    const Image previous = page.frame(200);
    const Image current = page.frame(475);
    LongshotComposer(registration).analyze(previous, current, forwardOptions());
    const auto bars = LongshotFixedBarDetector::detect(previous, current, LongshotCropOptions::automatic());
    const auto [band, currentBand] =
        LongshotComposer::registrationImages(previous, current, LongshotCropOptions::automatic(), bars);
    const PixelRegion region = registration.lastRegion();
    EXPECT_EQ(region.y, std::max(bars.top, 60));
    EXPECT_EQ(region.height, band.height());
    EXPECT_EQ(region.x, bars.left);
    EXPECT_EQ(region.width, band.width());
    EXPECT_EQ(LongshotImageOps::crop(previous, region.x, region.y, region.width, region.height), band);
}

TEST(LongshotAnalysisTest, AFailedRegistrationGivesAnUnreliableZeroResultWithTheBars) {
    const ScriptedImageRegistration failing(ImageRegistration::Outcome::failure(ImageRegistrationError::requestFailed));
    const StickyPage page;
    const auto match = LongshotComposer(failing).analyze(page.frame(200), page.frame(475), forwardOptions());
    EXPECT_FALSE(match.isReliable);
    EXPECT_EQ(match.seamOffset, 0);
    EXPECT_EQ(match.overlapPixels, 0);
    EXPECT_EQ(match.score, 0.0);
    EXPECT_GT(match.headerExclusionHeight, 0);
}

TEST(LongshotAnalysisTest, AnUntexturedPageIsLeftToTheRegistrationAndNeverReliable) {
    const auto gradient = [](int offset) {
        Image image(640, 480);
        for (int y = 0; y < 480; ++y) {
            const auto level = static_cast<std::uint8_t>(30 + (y + offset) / 3);
            for (int x = 0; x < 640; ++x) {
                image.setPixel(x, y, level, level, level);
            }
        }
        return image;
    };
    const ScriptedImageRegistration registration(translationOf(5.0, 120.0));
    const auto match = LongshotComposer(registration).analyze(gradient(0), gradient(120), forwardOptions());
    EXPECT_FALSE(match.isReliable);
    EXPECT_EQ(match.seamOffset, 120);
    EXPECT_DOUBLE_EQ(match.score, 0.75) << "1 - drift / 20";
}

// In the samples, text lines shifted by a line pitch look alike; only the full frames tell such
// a coincidence from the real scroll, which here lies outside what the matcher may report.
TEST(LongshotAnalysisTest, MovementBelowTheProgressThresholdIsNotReliable) {
    const OpenCVImageRegistration registration;
    const StickyPage page;
    const auto match = LongshotComposer(registration).analyze(page.frame(200), page.frame(212), forwardOptions());
    EXPECT_FALSE(match.isReliable) << write(match).dump();
}

TEST(LongshotAnalysisTest, AScrollBackIsNotReliableWhenOnlyForwardIsAllowed) {
    const OpenCVImageRegistration registration;
    const StickyPage page;
    const auto match = LongshotComposer(registration).analyze(page.frame(600), page.frame(400), forwardOptions());
    EXPECT_FALSE(match.isReliable) << write(match).dump();
}

TEST(LongshotOverlapMatchTest, JsonUsesTheFieldNamesAndRequiresEveryKey) {
    const LongshotOverlapMatch match{340, 160, 0.875, 60, 40, 0, 12, true};
    const Json json = write(match);
    EXPECT_EQ(json.dump(), R"({"overlapPixels":340,"seamOffset":160,"score":0.875,"headerExclusionHeight":60,)"
                           R"("footerExclusionHeight":40,"leftExclusionWidth":0,"rightExclusionWidth":12,)"
                           R"("isReliable":true})");
    LongshotOverlapMatch decoded;
    read(json, decoded);
    EXPECT_EQ(decoded, match);
    Json missing = json;
    missing.erase("score");
    EXPECT_THROW(read(missing, decoded), json::DecodeError);
}

// --- registration bands -----------------------------------------------------------------------

TEST(LongshotRegistrationImagesTest, BandsLeaveOutTheBarsAndAtLeastTwelvePercentAtCroppedEdges) {
    const Image previous(800, 500);
    const Image current(800, 500);
    const auto [a, b] = LongshotComposer::registrationImages(previous, current, LongshotCropOptions::automatic(),
                                                             Exclusions{30, 80, 100, 500});
    EXPECT_EQ(a.height(), 500 - 60 - 80) << "header 30 raised to 12 % (60), footer 80 kept";
    EXPECT_EQ(a.width(), 800 - 100 - 266) << "side bars limited to a third of the width";
    EXPECT_EQ(b.width(), a.width());

    const auto [kept, keptCurrent] = LongshotComposer::registrationImages(
        previous, current, LongshotCropOptions{false, false}, Exclusions{30, 80, 0, 0});
    EXPECT_EQ(kept.height(), 500) << "edges that are not cropped keep every row";
}

TEST(LongshotRegistrationImagesTest, TooLittleLeftOrMismatchedFramesUseTheWholeFrames) {
    const Image previous(800, 500);
    const Image current(800, 500);
    const auto [a, b] = LongshotComposer::registrationImages(previous, current, LongshotCropOptions::automatic(),
                                                             Exclusions{125, 125, 0, 0});
    EXPECT_EQ(a.height(), 250) << "250 rows are at least a third: the band is used";
    const auto [c, d] = LongshotComposer::registrationImages(previous, current, LongshotCropOptions::automatic(),
                                                             Exclusions{125, 220, 0, 0});
    EXPECT_EQ(c.height(), 500) << "155 rows are less than a third";
    EXPECT_EQ(d.height(), 500);

    const Image small(150, 120);
    const auto [e, f] =
        LongshotComposer::registrationImages(small, small, LongshotCropOptions::automatic(), Exclusions{30, 30, 0, 0});
    EXPECT_EQ(e.height(), 120) << "narrow frames need 64 rows left";
}

// --- composition ------------------------------------------------------------------------------

TEST(LongshotComposeTest, ATwoFrameRecordingShowsTheHeaderOnceAtTheTop) {
    const StickyPage page;
    const std::vector<AcceptedLongshotFrame> frames{accepted(page.frame(0)),
                                                    accepted(page.frame(300), seam(300, 60, 40))};
    const auto image = LongshotComposer::compose(frames, LongshotCropOptions::automatic());
    ASSERT_TRUE(image);
    const Image expected = stacked(stacked(page.header, rowsOf(page.page, 0, 300 + 400)), page.footer);
    EXPECT_EQ(*image, expected);
}

TEST(LongshotComposeTest, AHeaderDetectedAFewRowsShortIsCutExactly) {
    const StickyPage page;
    const std::vector<AcceptedLongshotFrame> frames{accepted(page.frame(0)),
                                                    accepted(page.frame(250), seam(250, 56, 40)),
                                                    accepted(page.frame(500), seam(250, 55, 40))};
    EXPECT_GE(LongshotComposer::refinedHeaderHeight(frames, 55), 60);
    EXPECT_LE(LongshotComposer::refinedHeaderHeight(frames, 55), 55 + 7 + 2);
    const auto image = LongshotComposer::compose(frames, LongshotCropOptions::automatic());
    ASSERT_TRUE(image);
    EXPECT_EQ(*image, stacked(stacked(page.header, rowsOf(page.page, 0, 500 + 400)), page.footer));
}

TEST(LongshotComposeTest, WithoutHeaderCroppingTheHeaderIsNeverCut) {
    const StickyPage page;
    const std::vector<AcceptedLongshotFrame> frames{accepted(page.frame(0)),
                                                    accepted(page.frame(300), seam(300, 60, 40))};
    const auto image = LongshotComposer::compose(frames, LongshotCropOptions{false, true});
    ASSERT_TRUE(image);
    EXPECT_EQ(image->height(), 300 + 500) << "every slice starts at the frame's top row";
    EXPECT_EQ(rowsOf(*image, 300, 60), page.header) << "the header repeats where the second frame begins";
}

TEST(LongshotComposeTest, OneFrameIsUnchangedAndFramesOfUnequalWidthAreCutToTheNarrowest) {
    const StickyPage page;
    const Image frame = page.frame(0);
    EXPECT_EQ(LongshotComposer::compose({accepted(frame)}, LongshotCropOptions::automatic()), frame);
    EXPECT_FALSE(LongshotComposer::compose({}, LongshotCropOptions::automatic()));

    Image narrow(700, 500);
    for (int y = 0; y < 500; ++y) {
        std::copy(frame.row(y), frame.row(y) + 700 * 4, narrow.row(y));
    }
    const auto image =
        LongshotComposer::compose({accepted(frame), accepted(narrow, seam(100))}, LongshotCropOptions::automatic());
    ASSERT_TRUE(image);
    EXPECT_EQ(image->width(), 700);
    EXPECT_EQ(image->height(), 100 + 500);
}

TEST(LongshotComposeTest, AnAdvanceLargerThanTheContentIsCappedBelowTheBars) {
    const StickyPage page;
    const std::vector<AcceptedLongshotFrame> frames{
        accepted(page.frame(0)), accepted(page.frame(450), seam(450, 60, 40)),
        accepted(page.frame(900), seam(450, 60, 40)), accepted(page.frame(1350), seam(450, 60, 40))};
    const auto image = LongshotComposer::compose(frames, LongshotCropOptions::automatic());
    ASSERT_TRUE(image);
    // Header + 400 content rows per frame before the last (advance capped at 500 - 60 - 40),
    // then the last frame from below its header.
    EXPECT_EQ(image->height(), 60 + 400 + 400 + 400 + 440);
}

} // namespace
} // namespace brisklet
