#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ScriptedVideoFrameReader.h"
#include "Shell/Recording/GIFControlBarWindow.h"
#include "Shell/VideoPost/QtVideoPostProcessing.h"
#include "Shell/VideoPost/VideoPostProcessingWindow.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Video/VideoPostProcessingModel.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace brisklet {
namespace {

class VideoRecordingWindowsTest : public ::testing::Test {
protected:
    QString text(L10nKey key) const { return QString::fromStdString(localization.text(key)); }

    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    AppModel model;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    ScriptedVideoFrameReader frames;
    const VideoRecordingDraft draft{"/tmp/brisklet-video-test.mp4", RecordingOutputFormat::mp4, "/tmp", false, {}};
};

TEST_F(VideoRecordingWindowsTest, TheVideoBarCountsUpWithoutALimitAndHasNoDrawingTools) {
    int stops = 0;
    model.setState(AppViewState::recordingGif);
    GIFControlBarWindow bar(model, localization, {[] {}, [] {}, [&] { ++stops; }, [] {}}, nullptr,
                            GIFControlBarWindow::TimeDisplay::videoElapsed);
    model.setGIFRecordingProgress(3725.6, 0);
    EXPECT_EQ(bar.timeText(), QStringLiteral("01:02:05"));
    model.setGIFRecordingProgress(59.99, 0);
    EXPECT_EQ(bar.timeText(), QStringLiteral("00:59")) << "whole seconds, never rounded up";
    EXPECT_EQ(bar.property("briskletWindowRole").toString(), QStringLiteral("videoControlBar"));
    EXPECT_EQ(bar.findChild<QToolButton*>(QStringLiteral("gifControlAnnotate")), nullptr);
    auto* stop = bar.findChild<QToolButton*>(QStringLiteral("gifControlStop"));
    ASSERT_NE(stop, nullptr);
    QTest::mouseClick(stop, Qt::LeftButton);
    EXPECT_EQ(stops, 1);
}

TEST_F(VideoRecordingWindowsTest, ThePostWindowShowsTheFirstFrameAndWhatWasRecorded) {
    Image frame(64, 36);
    frame.fill(53, 132, 228);
    frames.setFrame(draft.temporaryURL, frame);
    QtVideoPostProcessing port({mainQueue, localization, model, frames});
    port.present(draft, {2.7, 640, 360}, {});
    VideoPostProcessingWindow* window = port.window();
    ASSERT_NE(window, nullptr);
    ASSERT_FALSE(window->previewLabel()->pixmap().isNull());
    EXPECT_EQ(window->previewLabel()->pixmap().size(), QSize(64, 36));
    const QString details = window->detailsLabel()->text();
    EXPECT_TRUE(details.contains(QStringLiteral("MP4")) && details.contains(QStringLiteral("00:02")) &&
                details.contains(QStringLiteral("640")) && details.contains(QStringLiteral("360")))
        << details.toStdString();
    EXPECT_TRUE(window->noteLabel()->isHidden()) << "the sound was not missing";

    VideoRecordingDraft silent = draft;
    silent.temporaryURL = "/tmp/unreadable.mov";
    silent.outputFormat = RecordingOutputFormat::mov;
    silent.audioUnavailableReason = "no PulseAudio server";
    port.present(silent, {1, 2, 2}, {});
    window = port.window();
    EXPECT_EQ(window->previewLabel()->text(), text(L10nKey::videoPostProcessingNoPreview));
    EXPECT_TRUE(window->detailsLabel()->text().contains(QStringLiteral("MOV")));
    EXPECT_FALSE(window->noteLabel()->isHidden());
    EXPECT_TRUE(window->noteLabel()->text().contains(QStringLiteral("no PulseAudio server")));
}

TEST_F(VideoRecordingWindowsTest, ReturnExportsOnceAFailureOffersARetryAndEscapeCancels) {
    int exports = 0;
    int cancels = 0;
    QtVideoPostProcessing port({mainQueue, localization, model, frames});
    port.present(draft, {2, 400, 300}, {[&] { ++exports; }, [&] { ++cancels; }});
    VideoPostProcessingWindow* window = port.window();
    ASSERT_NE(window, nullptr);
    QTest::keyClick(window, Qt::Key_Return);
    QTest::keyClick(window, Qt::Key_Return);
    EXPECT_EQ(exports, 1) << "one export at a time";
    EXPECT_FALSE(window->exportButton()->isEnabled());
    EXPECT_FALSE(window->progressBar()->isHidden());

    port.exportFailed("The disk is full.");
    EXPECT_EQ(window->errorLabel()->text(), QStringLiteral("The disk is full."));
    EXPECT_FALSE(window->errorLabel()->isHidden());
    EXPECT_EQ(window->exportButton()->text(), text(L10nKey::videoPostProcessingRetry));
    EXPECT_TRUE(window->exportButton()->isEnabled());
    QTest::mouseClick(window->exportButton(), Qt::LeftButton);
    EXPECT_EQ(exports, 2);
    port.exportProgressed(1);
    EXPECT_EQ(window->progressBar()->value(), 1000);

    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(port.window(), nullptr);
    mainQueue.drain();
}

} // namespace
} // namespace brisklet
