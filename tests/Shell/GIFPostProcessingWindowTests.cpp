#include "Platform/Fake/FakeBackgroundRenderer.h"
#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Shell/GifPost/GIFPostProcessingWindow.h"
#include "Shell/GifPost/GIFPreviewView.h"
#include "Shell/GifPost/GIFTimelineView.h"
#include "Shell/GifPost/QtGIFPostProcessing.h"
#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorApp/Background/BackgroundPreset.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Recording/GIFPostProcessingModel.h"

#include <QAbstractButton>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace brisklet {
namespace {

/// Two seconds at ten frames a second, 160 × 100, every frame a different shade of red.
GIFRecordingDraft solidColourDraft() {
    GIFRecordingDraft draft;
    draft.fps = 10;
    draft.recordingDuration = 2.0;
    draft.exportDirectory = "/tmp";
    for (int i = 0; i < 20; ++i) {
        Image image(160, 100);
        image.fill(static_cast<std::uint8_t>(40 + i * 10), 20, 30);
        draft.frames.push_back({std::make_shared<const Image>(std::move(image)), i * 0.1});
    }
    return draft;
}

class GIFPostProcessingWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        present();
        window = port.window();
        model = port.model();
        ASSERT_NE(window, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }
    void TearDown() override {
        port.close();
        mainQueue.drain();
    }

    void present() {
        port.present(solidColourDraft(),
                     {[this](GIFPostProcessingOptions options) { exports.push_back(options); }, [this] { ++cancels; }});
    }
    /// A point on the timeline's track at recording time `time`, nudged by `dx` points.
    QPoint onTrack(double time, double dx = 0) const {
        const GIFTimelineLayout layout = window->timeline()->layout();
        return QPoint(static_cast<int>(std::lround(layout.x(time) + dx)), static_cast<int>(layout.track().midY()));
    }
    void drag(QPoint from, QPoint to) {
        GIFTimelineView* timeline = window->timeline();
        QTest::mousePress(timeline, Qt::LeftButton, {}, from);
        QTest::mouseMove(timeline, to);
        QTest::mouseRelease(timeline, Qt::LeftButton, {}, to);
    }
    /// Recording time of one point on the track: the precision of a drag.
    double onePoint() const { return model->duration() / window->timeline()->layout().track().width(); }

    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    LocalizationStore localization{[] { return std::vector<std::string>{"en"}; }};
    AppModel appModel;
    FakeBackgroundRenderer background;
    QtGIFPostProcessing port{{mainQueue, localization, appModel, nullptr, &background}};
    GIFPostProcessingWindow* window = nullptr;
    GIFPostProcessingModel* model = nullptr;
    std::vector<GIFPostProcessingOptions> exports;
    int cancels = 0;
};

TEST_F(GIFPostProcessingWindowTest, OpensAsAFocusableToolWindowShowingTheFirstFrame) {
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowFlags() & Qt::Tool);
    EXPECT_FALSE(window->windowFlags() & Qt::FramelessWindowHint) << "decorated: it has a title and a close box";
    EXPECT_EQ(window->windowTitle().toStdString(), localization.text(L10nKey::recordingPostProcessingTitle));
    EXPECT_EQ(window->preview()->image().size(), QSize(160, 100));
    EXPECT_EQ(window->preview()->image().pixelColor(5, 5), QColor(40, 20, 30)) << "the frame at 0 s";
    EXPECT_FALSE(window->progressBar()->isVisible());
    EXPECT_FALSE(window->errorLabel()->isVisible());
    EXPECT_TRUE(window->noBackgroundButton()->isChecked());
    EXPECT_EQ(window->presetButtons().size(), static_cast<int>(BackgroundPreset::all().size()));
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        EXPECT_EQ(button->focusPolicy(), Qt::NoFocus) << "Space and Return belong to the window, not a button";
    }
}

TEST_F(GIFPostProcessingWindowTest, PressingAHandleAndDraggingItTrims) {
    drag(onTrack(0, 4), onTrack(0.5, 4));
    EXPECT_NEAR(model->startTime(), 0.5, 2 * onePoint()) << "the grab point keeps its distance to the edge";
    EXPECT_DOUBLE_EQ(model->endTime(), 2.0);
    EXPECT_DOUBLE_EQ(model->playheadTime(), model->startTime()) << "the preview shows the cut";
    EXPECT_EQ(window->preview()->image().pixelColor(5, 5), QColor(90, 20, 30)) << "the frame at 0.5 s";

    drag(onTrack(2, -4), onTrack(1.5, -4));
    EXPECT_NEAR(model->endTime(), 1.5, 2 * onePoint());
    EXPECT_NE(window->summaryLabel()->text().toStdString().find("1.0"), std::string::npos)
        << window->summaryLabel()->text().toStdString();

    // A press in the kept range moves the playhead only.
    const double start = model->startTime();
    const double end = model->endTime();
    QTest::mouseClick(window->timeline(), Qt::LeftButton, {}, onTrack(1.0));
    EXPECT_NEAR(model->playheadTime(), 1.0, 2 * onePoint());
    EXPECT_DOUBLE_EQ(model->startTime(), start);
    EXPECT_DOUBLE_EQ(model->endTime(), end);
}

TEST_F(GIFPostProcessingWindowTest, SpacePlaysThePreviewOnTheMainQueueAndPausesIt) {
    const int rendersBefore = window->previewRenderCount();
    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_TRUE(model->isPlaying());
    EXPECT_EQ(window->playButton()->accessibleName().toStdString(), localization.text(L10nKey::recordingPausePlayback));
    mainQueue.runFor(0.5);
    EXPECT_NEAR(model->playheadTime(), 0.5, 1.0 / 24);
    EXPECT_GT(window->previewRenderCount(), rendersBefore);
    EXPECT_LT(window->previewRenderCount() - rendersBefore, model->playbackTickCount() + 1)
        << "ticks that land on the same frame draw nothing new";

    QTest::keyClick(window, Qt::Key_Space);
    EXPECT_FALSE(model->isPlaying());
    const double paused = model->playheadTime();
    mainQueue.runFor(0.5);
    EXPECT_DOUBLE_EQ(model->playheadTime(), paused);
    EXPECT_EQ(window->playButton()->accessibleName().toStdString(), localization.text(L10nKey::recordingPlay));

    QTest::mouseClick(window->playButton(), Qt::LeftButton);
    EXPECT_TRUE(model->isPlaying()) << "the button does what Space does";
    QTest::keyClick(window, Qt::Key_Right);
    EXPECT_FALSE(model->isPlaying()) << "stepping a frame pauses";
}

TEST_F(GIFPostProcessingWindowTest, ExportHandsOverTheTrimmedSegmentShowsProgressAndSurvivesAFailure) {
    drag(onTrack(0, 4), onTrack(0.6, 4));
    drag(onTrack(2, -4), onTrack(1.4, -4));
    window->presetButtons().at(2)->click();
    QTest::keyClick(window, Qt::Key_Return);
    ASSERT_EQ(exports.size(), 1u);
    ASSERT_EQ(exports[0].segments.size(), 1u);
    EXPECT_DOUBLE_EQ(exports[0].segments[0].start, model->startTime());
    EXPECT_DOUBLE_EQ(exports[0].segments[0].end, model->endTime());
    EXPECT_EQ(exports[0].backgroundComposition, model->backgroundComposition());
    EXPECT_TRUE(exports[0].backgroundComposition.has_value());

    EXPECT_TRUE(window->progressBar()->isVisible());
    EXPECT_FALSE(window->exportButton()->isEnabled());
    EXPECT_FALSE(window->timeline()->isEnabled()) << "the options already went out";
    port.exportProgressed(0.5);
    EXPECT_EQ(window->progressBar()->value(), window->progressBar()->maximum() / 2);
    EXPECT_EQ(window->statusLabel()->text().toStdString(), localization.format(L10nKey::recordingExportProgress, {50}));
    QTest::keyClick(window, Qt::Key_Return);
    QTest::mouseClick(window->exportButton(), Qt::LeftButton);
    EXPECT_EQ(exports.size(), 1u) << "one export at a time";

    // A failed export shows its message and can be tried again.
    port.exportFailed("The export folder is not writable.");
    EXPECT_TRUE(window->errorLabel()->isVisible());
    EXPECT_EQ(window->errorLabel()->text(), QStringLiteral("The export folder is not writable."));
    EXPECT_FALSE(window->progressBar()->isVisible());
    EXPECT_TRUE(window->exportButton()->isEnabled());
    QTest::mouseClick(window->exportButton(), Qt::LeftButton);
    EXPECT_EQ(exports.size(), 2u);
    EXPECT_FALSE(window->errorLabel()->isVisible()) << "a new attempt clears the old error";

    port.close();
    EXPECT_EQ(port.window(), nullptr);
    EXPECT_EQ(cancels, 0) << "closed by its owner, not cancelled";
}

TEST_F(GIFPostProcessingWindowTest, BackgroundChoiceIsPreviewedAndNoneTakesItAway) {
    window->presetButtons().front()->click();
    EXPECT_TRUE(window->presetButtons().front()->isChecked());
    EXPECT_FALSE(window->noBackgroundButton()->isChecked());
    const BackgroundLayout layout = BackgroundLayout::make(model->contentSize(), *model->backgroundComposition());
    EXPECT_EQ(window->preview()->image().size(),
              QSize(static_cast<int>(layout.canvasSize.width), static_cast<int>(layout.canvasSize.height)));
    EXPECT_EQ(window->preview()->image().pixelColor(0, 0), QColor(60, 60, 60)) << "the fake background's stage";

    window->noBackgroundButton()->click();
    EXPECT_FALSE(model->backgroundComposition().has_value());
    EXPECT_EQ(window->preview()->image().size(), QSize(160, 100));
}

TEST_F(GIFPostProcessingWindowTest, EscapeAndTheCloseBoxCancel) {
    QTest::keyClick(window, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(exports.empty());
    EXPECT_EQ(port.window(), nullptr);
    mainQueue.drain();

    present();
    QTest::keyClick(port.window(), Qt::Key_Return);
    QTest::mouseClick(port.window()->cancelButton(), Qt::LeftButton);
    EXPECT_EQ(cancels, 2) << "Cancel also stops an export in progress";
    mainQueue.drain();

    present();
    EXPECT_FALSE(port.window()->close()) << "the window stays until its owner is done";
    EXPECT_EQ(cancels, 3);
    EXPECT_EQ(port.window(), nullptr);
}

} // namespace
} // namespace brisklet
