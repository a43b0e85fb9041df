#include "Platform/Fake/ManualClock.h"
#include "Platform/Fake/ManualMainQueue.h"
#include "Platform/RectangleDetector.h"
#include "ZelvorApp/Capture/CapturedWindowInfo.h"
#include "ZelvorApp/Selection/SelectionOverlayLayout.h"
#include "ZelvorApp/Selection/SelectionOverlayViewModel.h"
#include "ZelvorApp/Selection/SelectionSnapDetector.h"
#include "ZelvorApp/Selection/SelectionSnapResolver.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

const Rect screen{{0, 0}, {1280, 800}};

CapturedWindowInfo window(std::int64_t id, Rect bounds) {
    CapturedWindowInfo info;
    info.id = id;
    info.title = "w" + std::to_string(id);
    info.bounds = bounds;
    return info;
}

SelectionSnapCandidate rectangle(Rect rect, int index) {
    return {rect, SelectionSnapSource::detectedRectangle(index), index};
}

class CannedDetector final : public RectangleDetector {
public:
    explicit CannedDetector(Outcome outcome) : outcome_(std::move(outcome)) {}
    Outcome detect(const Image&, const RectangleDetectionRequest& request) const override {
        lastRequest = request;
        return outcome_;
    }
    mutable RectangleDetectionRequest lastRequest{0, 0, 0, 0, 0};

private:
    Outcome outcome_;
};

TEST(SnapDetectorTest, WindowsBecomeFlippedIntegralCandidatesOfAtLeast72Points) {
    const auto candidates = SelectionSnapDetector::windowCandidates(
        {window(1, {{10, 10}, {71, 300}}), window(2, {{100.5, 50}, {200, 99.2}}), window(3, {{2000, 0}, {300, 300}}),
         window(4, {{1240, 760}, {72, 72}}), window(5, {{600, 600}, {72, 72}})},
        screen);
    ASSERT_EQ(candidates.size(), 2u) << "71 wide, off screen and clipped to 40 x 40 are dropped";
    EXPECT_EQ(candidates[0].rect, (Rect{{100, 650}, {201, 100}})) << "y flipped from the top, edges outwards";
    EXPECT_EQ(candidates[0].source, SelectionSnapSource::window(2));
    EXPECT_EQ(candidates[0].priority, 1) << "the position in the window list";
    EXPECT_EQ(candidates[1].rect, (Rect{{600, 128}, {72, 72}}));
    EXPECT_EQ(candidates[1].priority, 4);
}

TEST(SnapDetectorTest, AScreenBelowThePrimaryGetsItsOwnWindows) {
    const Rect lower{{0, 800}, {1280, 800}};
    const auto candidates = SelectionSnapDetector::windowCandidates(
        {window(7, {{10, 100}, {300, 200}}), window(8, {{10, 900}, {300, 200}})}, lower);
    ASSERT_EQ(candidates.size(), 1u) << "a window on the primary screen is not on this one";
    EXPECT_EQ(candidates[0].source, SelectionSnapSource::window(8));
    EXPECT_EQ(candidates[0].rect, (Rect{{10, 500}, {300, 200}}));
}

TEST(SnapDetectorTest, ObservationsAreScaledKeptByIndexAndFiltered) {
    testing::CapturedLog log;
    const CannedDetector detector(RectangleDetector::Outcome::success({
        {{{0.1, 0.2}, {0.3, 0.4}}, 0.9},   // 384 x 320
        {{{0.0, 0.0}, {0.05, 0.5}}, 0.9},  // 64 wide: too small
        {{{0.0, 0.0}, {0.99, 0.99}}, 0.9}, // the whole screen, nearly
        {{{0.9, 0.9}, {0.2, 0.2}}, 0.8},   // runs off the top-right corner: clipped to 128 x 80
    }));
    const Image snapshot(4, 4);
    const auto candidates = SelectionSnapDetector::rectangleCandidates(detector, snapshot, screen);
    ASSERT_EQ(candidates.size(), 2u);
    EXPECT_EQ(candidates[0].rect, (Rect{{128, 160}, {384, 320}}));
    EXPECT_EQ(candidates[1].rect, (Rect{{1152, 720}, {128, 80}}));
    EXPECT_EQ(candidates[1].source, SelectionSnapSource::detectedRectangle(3));
    EXPECT_EQ(candidates[1].priority, 3);
    EXPECT_EQ(detector.lastRequest.maximumObservations, 24);
    EXPECT_DOUBLE_EQ(detector.lastRequest.minimumConfidence, 0.65);
    EXPECT_DOUBLE_EQ(detector.lastRequest.quadratureToleranceDegrees, 18);

    const CannedDetector failing(RectangleDetector::Outcome::failure("no memory"));
    EXPECT_TRUE(SelectionSnapDetector::rectangleCandidates(failing, snapshot, screen).empty());
    EXPECT_TRUE(log.mentions("selection snap rectangle detection failed error=no memory"));
    EXPECT_TRUE(SelectionSnapDetector::rectangleCandidates(detector, snapshot, Rect{{0, 0}, {0, 800}}).empty());
}

TEST(SnapResolverTest, TheSmallestThenNearestThenEarliestRectangleWins) {
    const auto inner = rectangle({{100, 100}, {200, 200}}, 1);
    const auto outer = rectangle({{50, 50}, {400, 400}}, 0);
    EXPECT_EQ(SelectionSnapResolver::bestRectangle({150, 150}, {outer, inner}), inner);
    const auto left = rectangle({{0, 0}, {200, 100}}, 0);
    const auto right = rectangle({{100, 0}, {200, 100}}, 1);
    EXPECT_EQ(SelectionSnapResolver::bestRectangle({180, 50}, {left, right}), right) << "centre 20 away, not 80";
    EXPECT_EQ(SelectionSnapResolver::bestRectangle({150, 50}, {right, left}), left) << "equal distance: lower index";
    EXPECT_FALSE(SelectionSnapResolver::bestRectangle({500, 500}, {left, right}));
}

TEST(SnapResolverTest, RectanglesBeatWindowsAndScreenFillingWindowsAreNoTarget) {
    const SelectionSnapCandidate full{{{0, 0}, {1280, 760}}, SelectionSnapSource::window(1), 0};
    const SelectionSnapCandidate behind{{{0, 0}, {600, 600}}, SelectionSnapSource::window(2), 1};
    const auto panel = rectangle({{100, 100}, {300, 200}}, 0);
    EXPECT_TRUE(SelectionSnapResolver::isScreenFilling(full, screen)) << "95 % of the screen";
    EXPECT_FALSE(SelectionSnapResolver::isScreenFilling(full, Rect{{0, 0}, {0, 0}}));
    EXPECT_FALSE(SelectionSnapResolver::candidateAt({50, 50}, {full, behind}, {panel}, screen))
        << "the frontmost window fills the screen; the one behind is not offered either";
    EXPECT_EQ(SelectionSnapResolver::candidateAt({150, 150}, {full, behind}, {panel}, screen), panel);
    EXPECT_EQ(SelectionSnapResolver::candidateAt({50, 50}, {behind}, {panel}, screen), behind);
    const auto outline = rectangle({{2, 1}, {597, 603}}, 1);
    EXPECT_EQ(SelectionSnapResolver::candidateAt({50, 50}, {behind}, {outline}, screen), behind)
        << "the window's own outline, found in the picture, is the window";
    const auto larger = rectangle({{0, 0}, {605, 600}}, 2);
    EXPECT_EQ(SelectionSnapResolver::candidateAt({50, 50}, {behind}, {larger}, screen), larger) << "5 points off";
}

TEST(SnapBadgeLayoutTest, BadgeSitsInsideTheTopLeftCornerAndStaysOnScreen) {
    EXPECT_EQ(SnapBadgeLayout::frame({{100, 100}, {300, 200}}, screen, 40), (Rect{{110, 270}, {56, 22}}));
    EXPECT_EQ(SnapBadgeLayout::frame({{0, 0}, {1280, 800}}, screen, 40), (Rect{{12, 770}, {56, 22}}));
    EXPECT_EQ(SnapBadgeLayout::frame({{1260, 0}, {20, 20}}, screen, 40), (Rect{{1212, 12}, {56, 22}}));
}

class SnapOverlayTest : public ::testing::Test {
protected:
    void SetUp() override { model = make(true); }
    std::unique_ptr<SelectionOverlayViewModel> make(bool snaps) {
        SelectionOverlayViewModel::Options options;
        options.smartSnapEnabled = snaps;
        options.autoConfirmOnMouseUp = true;
        auto made = std::make_unique<SelectionOverlayViewModel>(options, screen, Rect{}, mainQueue);
        made->onConfirm = [this](Rect rect, std::optional<std::int64_t> id) { confirmed.push_back({rect, id}); };
        made->setWindowCandidates({windowTarget});
        made->setRectangleCandidates(made->beginRectangleDetection(), {panel});
        return made;
    }
    void click(Point from, Point to) {
        model->mouseDown(from);
        model->mouseDragged(to);
        model->mouseUp(to);
        mainQueue.drain();
    }

    testing::CapturedLog log;
    ManualClock clock;
    ManualMainQueue mainQueue{clock};
    const SelectionSnapCandidate windowTarget{{{100, 100}, {600, 400}}, SelectionSnapSource::window(812), 0};
    const SelectionSnapCandidate panel = rectangle({{800, 100}, {200, 150}}, 0);
    std::unique_ptr<SelectionOverlayViewModel> model;
    std::vector<std::pair<Rect, std::optional<std::int64_t>>> confirmed;
};

TEST_F(SnapOverlayTest, TheTargetUnderAnIdlePointerIsPreviewed) {
    model->mouseMoved({200, 200});
    EXPECT_EQ(model->hoveredSnapCandidate(), windowTarget);
    model->mouseMoved({850, 150});
    EXPECT_EQ(model->hoveredSnapCandidate(), panel);
    model->mouseMoved({1200, 700});
    EXPECT_FALSE(model->hoveredSnapCandidate());
    model->mouseDown({1200, 700});
    model->mouseDragged({1100, 600});
    model->mouseMoved({850, 150});
    EXPECT_FALSE(model->hoveredSnapCandidate()) << "not while a selection is being drawn";
}

TEST_F(SnapOverlayTest, AClickWithin6PointsConfirmsTheWindowAndLogsIt) {
    click({200, 200}, {205, 200});
    ASSERT_EQ(confirmed.size(), 1u);
    EXPECT_EQ(confirmed[0].first, windowTarget.rect);
    EXPECT_EQ(confirmed[0].second, 812);
    EXPECT_TRUE(log.mentions("selection snap confirmed source=window(windowID: 812) rect={{100, 100}, {600, 400}} "
                             "screenAreaRatio=0.234"));
}

TEST_F(SnapOverlayTest, AClickOnADetectedRectangleIsARegion) {
    click({850, 150}, {850, 150});
    ASSERT_EQ(confirmed.size(), 1u);
    EXPECT_EQ(confirmed[0].first, panel.rect);
    EXPECT_FALSE(confirmed[0].second);
}

TEST_F(SnapOverlayTest, DraggingMoreThan6PointsDrawsFromThePressPoint) {
    model->mouseDown({200, 200});
    model->mouseDragged({207, 200});
    EXPECT_EQ(model->dragMode().kind, SelectionOverlayViewModel::DragMode::Kind::creating);
    EXPECT_FALSE(model->snapSession().pendingCandidate);
    model->mouseDragged({400, 350});
    model->mouseUp({400, 350});
    mainQueue.drain();
    ASSERT_EQ(confirmed.size(), 1u);
    EXPECT_EQ(confirmed[0].first, (Rect{{200, 200}, {200, 150}}));
    EXPECT_FALSE(confirmed[0].second);
}

TEST_F(SnapOverlayTest, WithSmartSnapOffNothingIsPreviewedOrSnapped) {
    model = make(false);
    model->mouseMoved({200, 200});
    EXPECT_FALSE(model->hoveredSnapCandidate());
    click({200, 200}, {202, 200});
    EXPECT_TRUE(confirmed.empty());
}

TEST_F(SnapOverlayTest, AnOlderDetectionsResultIsDropped) {
    const int older = model->beginRectangleDetection();
    const int newer = model->beginRectangleDetection();
    const auto late = rectangle({{300, 300}, {100, 100}}, 0);
    model->setRectangleCandidates(newer, {});
    model->setRectangleCandidates(older, {late});
    model->mouseMoved({350, 350});
    EXPECT_EQ(model->hoveredSnapCandidate(), windowTarget) << "the stale rectangle must not win";
    EXPECT_TRUE(log.mentions("selection snap rectangles dropped generation=" + std::to_string(older)));
}

} // namespace
} // namespace brisklet
