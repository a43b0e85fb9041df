// The update window's answers and how it follows the download after "Install Update".

#include "ZelvorApp/Updater/UpdateWindowModel.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <gtest/gtest.h>

#include <vector>

namespace brisklet {
namespace {

struct UpdateWindowModelTest : ::testing::Test {
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    std::vector<UpdatePromptDecision> decisions;

    UpdateWindowModel make(std::optional<std::string> notes = std::string("* Faster capture")) {
        return UpdateWindowModel(localization, PendingUpdatePrompt{"9.9.9", std::move(notes), false}, "0.1.0",
                                 [this](UpdatePromptDecision d) { decisions.push_back(d); });
    }
};

TEST_F(UpdateWindowModelTest, ShowsBothVersionsAndTheNotesOrTheirAbsence) {
    UpdateWindowModel model = make();
    EXPECT_EQ(model.message(), "Brisklet 9.9.9 is available. You have version 0.1.0.");
    EXPECT_TRUE(model.hasReleaseNotes());
    EXPECT_EQ(model.releaseNotes(), "* Faster capture");
    UpdateWindowModel bare = make(std::string(" \n"));
    EXPECT_FALSE(bare.hasReleaseNotes());
    EXPECT_EQ(bare.releaseNotes(), localization.text(L10nKey::updateNoReleaseNotes));
}

TEST_F(UpdateWindowModelTest, OnlyTheFirstAnswerCountsAndClosingMeansRemindLater) {
    UpdateWindowModel skipped = make();
    EXPECT_FALSE(skipped.choose(UpdatePromptDecision::skip));
    skipped.closed();
    skipped.choose(UpdatePromptDecision::install);
    EXPECT_EQ(decisions, std::vector<UpdatePromptDecision>{UpdatePromptDecision::skip});
    decisions.clear();
    UpdateWindowModel closed = make();
    closed.closed();
    EXPECT_EQ(decisions, std::vector<UpdatePromptDecision>{UpdatePromptDecision::remindLater});
}

TEST_F(UpdateWindowModelTest, InstallFollowsTheDownloadUntilItFailsOrIsCancelled) {
    UpdateWindowModel model = make();
    AppUpdaterStatus status;
    status.phase = AppUpdaterPhase::downloading;
    // Before an answer the offer ignores the updater.
    EXPECT_TRUE(model.follow(status));
    EXPECT_EQ(model.stage(), UpdateWindowStage::offer);
    EXPECT_TRUE(model.choose(UpdatePromptDecision::install));
    EXPECT_EQ(model.stage(), UpdateWindowStage::downloading);
    EXPECT_TRUE(model.canCancel());
    status.progressFraction = 0.25;
    status.downloadedByteCount = 3'100'000;
    status.totalByteCount = 12'400'000;
    EXPECT_TRUE(model.follow(status));
    EXPECT_EQ(model.progress(), 0.25);
    EXPECT_EQ(model.progressText(), "3.1 MB of 12.4 MB downloaded");

    status = {};
    status.phase = AppUpdaterPhase::error;
    status.detail = "brisklet_9.9.9_amd64.deb was discarded";
    EXPECT_TRUE(model.follow(status));
    EXPECT_EQ(model.stage(), UpdateWindowStage::failed);
    EXPECT_FALSE(model.canCancel());
    EXPECT_EQ(model.statusText(), status.detail);
    EXPECT_FALSE(model.progress());

    status.phase = AppUpdaterPhase::updateAvailable;
    EXPECT_FALSE(model.follow(status));
}

TEST(UpdateWindowModelByteTest, SizesReadAsPeopleWriteThem) {
    EXPECT_EQ(UpdateWindowModel::byteCountText(512), "512 B");
    EXPECT_EQ(UpdateWindowModel::byteCountText(820'400), "820 KB");
    EXPECT_EQ(UpdateWindowModel::byteCountText(12'400'000), "12.4 MB");
}

} // namespace
} // namespace brisklet
