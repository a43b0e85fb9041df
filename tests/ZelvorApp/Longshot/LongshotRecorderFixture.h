#pragma once

#include "LongshotTestSupport.h"
#include "SyntheticPage.h"

#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/Fake/ScriptedScreenCaptureBackend.h"
#include "Platform/Fake/ScriptedScrollingPage.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Platform/Linux/OpenCV/OpenCVImageRegistration.h"
#include "Platform/MainQueue.h"
#include "ZelvorApp/Longshot/LongshotRecorder.h"

#include <gtest/gtest.h>

namespace brisklet::testing_support {

/// A main queue whose tasks are followed by the background queues' work, so that a capture
/// started by a timer completes at the moment the timer fires, as it would in real time.
class PumpingMainQueue final : public MainQueue {
public:
    explicit PumpingMainQueue(ManualMainQueue& inner) : inner_(inner) {}

    void post(Task task) override { postAfter(0, std::move(task)); }
    void postAfter(double delaySeconds, Task task) override {
        inner_.postAfter(delaySeconds, [this, task = std::move(task)] {
            task();
            if (pumping && afterEachTask_) {
                afterEachTask_();
            }
        });
    }
    void runFor(double seconds) override { inner_.runFor(seconds); }
    bool isMainThread() const override { return inner_.isMainThread(); }

    void setAfterEachTask(std::function<void()> work) { afterEachTask_ = std::move(work); }
    /// Off: the background queues run only when the test runs them.
    bool pumping = true;

private:
    ManualMainQueue& inner_;
    std::function<void()> afterEachTask_;
};

/// A recorder over a scripted page, with manual queues and clock, and everything its callbacks
/// report collected for inspection.
class LongshotRecorderFixture : public ::testing::Test {
protected:
    static constexpr Rect screenFrame{{0, 0}, {1920, 1080}};
    static constexpr Rect selection{{100, 300}, {800, 500}};

    ManualClock clock;
    ManualMainQueue manualMainQueue{clock};
    PumpingMainQueue mainQueue{manualMainQueue};
    ManualSerialQueueFactory queues;
    TemporaryPaths paths;
    CapturedLog log;
    Image content = makeTextPage(800, 2000, 51);
    Image header = makeBar(800, 60, 40, 70, 140, 52);
    Image footer = makeBar(800, 40, 70, 70, 70, 53);
    ScriptedScrollingPage page{content, 500, header, footer};
    ScriptedScreenCaptureBackend capture{[this](const Rect&, const ScreenCaptureContext&, int) {
        return Result<Image, ScreenCaptureError>::success(page.frame());
    }};
    OpenCVImageRegistration registration;
    LongshotComposer composer{registration};
    LinuxImageCodec codec;
    LongshotRecorder recorder{capture, composer, codec, mainQueue, queues, clock};

    LongshotRecorderFixture() {
        mainQueue.setAfterEachTask([this] {
            captureQueue().runPending();
            exportQueue().runPending();
        });
    }

    std::vector<bool> activity;
    std::vector<LongshotPreviewSnapshot> previews;
    int stableBottoms = 0;
    std::vector<LongshotRecorder::FinishResult> finishes;

    ManualSerialQueue& captureQueue() { return queues.queue(LongshotRecorder::captureQueueLabel); }
    ManualSerialQueue& exportQueue() { return queues.queue(LongshotRecorder::exportQueueLabel); }

    AppPreferences preferences(LongshotConfig config = {}) {
        AppPreferences prefs = AppPreferences::defaults();
        prefs.exportDirectory = (paths.root() / "Exports").string();
        prefs.longshotConfig = config;
        return prefs;
    }

    LongshotRecorder::StartRequest request(LongshotConfig config = {}) {
        LongshotRecorder::StartRequest start;
        start.rect = selection;
        start.screenDisplayID = 7;
        start.screenFrame = screenFrame;
        start.preferences = preferences(config);
        return start;
    }

    LongshotRecorder::Callbacks callbacks() {
        LongshotRecorder::Callbacks c;
        c.hiddenWindowsProvider = [] { return std::vector<std::uint32_t>{41, 42}; };
        c.onCaptureActivity = [this](bool active) { activity.push_back(active); };
        c.onPreview = [this](const LongshotPreviewSnapshot& snapshot) { previews.push_back(snapshot); };
        c.onStableBottom = [this] { ++stableBottoms; };
        c.onFinish = [this](const LongshotRecorder::FinishResult& result) { finishes.push_back(result); };
        return c;
    }

    /// Runs the background queues and the main queue's due tasks until nothing is left to do now.
    void settle() {
        for (;;) {
            manualMainQueue.drain();
            if (captureQueue().runPending() + exportQueue().runPending() == 0) {
                return;
            }
        }
    }

    /// Lets `seconds` pass; a little more, so that a timer due at the very end surely fires.
    void wait(double seconds) {
        settle();
        manualMainQueue.runFor(seconds + 1e-6);
        settle();
    }

    /// Waits until the recording finished, at most `seconds`.
    void waitForFinish(double seconds) {
        const double end = clock.monotonicSeconds() + seconds;
        while (finishes.empty() && clock.monotonicSeconds() < end) {
            wait(0.05);
        }
    }

    std::size_t captureCount() const { return capture.calls().size(); }

    /// What a recording whose last frame showed the page at `lastOffset` must stitch to.
    Image expectedStitch(int lastOffset) const {
        return stacked(stacked(header, rowsOf(content, 0, lastOffset + page.visibleContentHeight())), footer);
    }
};

} // namespace brisklet::testing_support
