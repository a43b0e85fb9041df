#include "ZelvorApp/Control/AppHarness.h"
#include "ZelvorApp/Control/Ports/CaptureSessionPorts.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using control_testing::AppHarness;

class RecordingOptionsBar final : public RecordingOptionsBarPort {
public:
    void present(const Rect& region, const DisplayScreen&, const RecordingOptions& options,
                 Handlers handlers) override {
        regions.push_back(region);
        offered.push_back(options);
        handlers_ = std::move(handlers);
    }
    void close() override { ++closes; }
    void confirm(RecordingOptions options) { handlers_.onConfirm(options); }
    void cancel() { handlers_.onCancel(); }

    std::vector<Rect> regions;
    std::vector<RecordingOptions> offered;
    int closes = 0;

private:
    Handlers handlers_;
};

class RecordingSession final : public CaptureSessionPort {
public:
    bool start(const Rect& region, const DisplayScreen&, const RecordingOptions& options) override {
        starts.emplace_back(region, options);
        active = true;
        return true;
    }
    void pause() override { ++pauses; }
    void resume() override { ++resumes; }
    void stop() override { ++stops; }
    void cancel() override {
        ++cancels;
        active = false;
    }
    bool isActive() const override { return active; }

    std::vector<std::pair<Rect, RecordingOptions>> starts;
    bool active = false;
    int pauses = 0;
    int resumes = 0;
    int stops = 0;
    int cancels = 0;
};

class RecordingFlowsTest : public ::testing::Test {
protected:
    RecordingFlowsTest() {
        app.ports.recordingOptionsBar = &bar;
        app.ports.gifSession = &gif;
    }
    AppController& selectRegion() {
        AppController& controller = app.started();
        controller.startGIFRegion();
        app.settle();
        app.overlay.select(app.regionSelection());
        app.settle();
        return controller;
    }

    AppHarness app;
    RecordingOptionsBar bar;
    RecordingSession gif;
};

TEST_F(RecordingFlowsTest, ConfirmedOptionsStartTheRecordingAndBecomeTheNextDefaults) {
    AppController& controller = selectRegion();
    ASSERT_EQ(bar.offered.size(), 1u);
    EXPECT_EQ(bar.offered[0], RecordingOptions{});
    RecordingOptions chosen;
    chosen.quality = RecordingQuality::low;
    chosen.showsClickEffects = false;
    bar.confirm(chosen);
    EXPECT_EQ(bar.closes, 1);
    ASSERT_EQ(gif.starts.size(), 1u);
    EXPECT_EQ(gif.starts[0].second, chosen);
    EXPECT_EQ(app.model.state(), AppViewState::recordingGif);
    EXPECT_EQ(app.model.preferences().recordingOptions, chosen);
    EXPECT_EQ(PreferencesStore(app.defaults).load().recordingOptions, chosen) << "stored, not only published";

    controller.gifRecordingProgressed(7.4, 30);
    EXPECT_DOUBLE_EQ(app.model.gifRecordingElapsed(), 7.4);
    EXPECT_DOUBLE_EQ(app.model.gifRecordingMaxDuration(), 30);
    controller.pauseCapture();
    EXPECT_EQ(app.model.state(), AppViewState::pausedGif);
    controller.resumeCapture();
    EXPECT_EQ(gif.pauses, 1);
    EXPECT_EQ(gif.resumes, 1);

    // The next recording offers what was chosen this time.
    controller.cancelCapture();
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    controller.startGIFRegion();
    app.settle();
    app.overlay.select(app.regionSelection());
    app.settle();
    ASSERT_EQ(bar.offered.size(), 2u);
    EXPECT_EQ(bar.offered[1], chosen);
}

TEST_F(RecordingFlowsTest, CancelAtTheBarStoresNothingAndReturnsToIdle) {
    selectRegion();
    bar.cancel();
    EXPECT_TRUE(gif.starts.empty());
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_EQ(PreferencesStore(app.defaults).load().recordingOptions, RecordingOptions{});
    EXPECT_FALSE(app.log.linesStartingWith("recording options cancelled").empty());
}

TEST_F(RecordingFlowsTest, AVideoChoiceWithoutAVideoSessionFailsBackToIdle) {
    selectRegion();
    RecordingOptions video;
    video.outputFormat = RecordingOutputFormat::mp4;
    bar.confirm(video);
    EXPECT_TRUE(gif.starts.empty());
    EXPECT_EQ(app.model.state(), AppViewState::idle);
    EXPECT_FALSE(app.log.linesStartingWith("video").empty());
    // The GIF session is used again for the next GIF.
    AppController& controller = *app.controller;
    controller.startGIFRegion();
    app.settle();
    app.overlay.select(app.regionSelection());
    app.settle();
    bar.confirm(RecordingOptions{});
    EXPECT_EQ(gif.starts.size(), 1u);
}

} // namespace
} // namespace brisklet
