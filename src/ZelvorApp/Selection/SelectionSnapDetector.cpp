#include "ZelvorApp/Selection/SelectionSnapDetector.h"

#include "Platform/RectangleDetector.h"
#include "ZelvorApp/Capture/CaptureGeometry.h"
#include "ZelvorApp/Capture/CapturedWindowInfo.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

namespace {

bool largeEnough(const Rect& rect) {
    return rect.width() >= SelectionSnapDetector::minimumSide && rect.height() >= SelectionSnapDetector::minimumSide;
}

} // namespace

std::vector<SelectionSnapCandidate> SelectionSnapDetector::windowCandidates(const std::vector<CapturedWindowInfo>& windows,
                                                                            const Rect& screenFrame) {
    std::vector<SelectionSnapCandidate> candidates;
    for (std::size_t index = 0; index < windows.size(); ++index) {
        const Rect overlap = windows[index].bounds.intersection(screenFrame);
        if (overlap.isEmpty()) {
            continue;
        }
        // The window server counts y downwards from the screen's top; the view upwards from its bottom.
        const Rect view = CaptureGeometry::integral(Rect{
            {overlap.minX() - screenFrame.minX(), screenFrame.maxY() - overlap.maxY()}, overlap.size});
        if (!largeEnough(view)) {
            continue;
        }
        candidates.push_back({view, SelectionSnapSource::window(windows[index].id), static_cast<int>(index)});
    }
    return candidates;
}

std::vector<SelectionSnapCandidate> SelectionSnapDetector::rectangleCandidates(const RectangleDetector& detector,
                                                                               const Image& snapshot,
                                                                               const Rect& overlayBounds) {
    if (overlayBounds.isEmpty()) {
        return {};
    }
    const RectangleDetector::Outcome outcome = detector.detect(snapshot, RectangleDetectionRequest{});
    if (!outcome.ok()) {
        RuntimeLogger::log("selection snap rectangle detection failed error=" + outcome.error());
        return {};
    }
    const double boundsArea = overlayBounds.width() * overlayBounds.height();
    std::vector<SelectionSnapCandidate> candidates;
    const auto& observations = outcome.value();
    for (std::size_t index = 0; index < observations.size(); ++index) {
        const Rect& box = observations[index].boundingBox;
        const Rect scaled{{overlayBounds.minX() + box.minX() * overlayBounds.width(),
                           overlayBounds.minY() + box.minY() * overlayBounds.height()},
                          {box.width() * overlayBounds.width(), box.height() * overlayBounds.height()}};
        const Rect rect = CaptureGeometry::integral(scaled.intersection(overlayBounds));
        if (!largeEnough(rect) || rect.width() * rect.height() > maximumScreenShare * boundsArea) {
            continue;
        }
        candidates.push_back({rect, SelectionSnapSource::detectedRectangle(static_cast<int>(index)), static_cast<int>(index)});
    }
    return candidates;
}

} // namespace brisklet
