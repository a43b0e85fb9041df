#include "ZelvorApp/Capture/WindowEnumerator.h"

#include "ZelvorApp/Capture/CaptureGeometry.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <random>

namespace brisklet {

namespace {

constexpr double minimumAlpha = 0.05;
constexpr double minimumSide = 120;

std::int64_t randomWindowID() {
    static thread_local std::mt19937 generator{std::random_device{}()};
    return std::uniform_int_distribution<std::int64_t>(1, 999'999)(generator);
}

bool isListed(const WindowServerWindow& window, std::optional<std::int32_t> excludedPID) {
    if (excludedPID && window.ownerPID == excludedPID) {
        return false;
    }
    return window.layer == 0 && window.alpha > minimumAlpha && window.isShareable && window.bounds &&
           window.bounds->width() >= minimumSide && window.bounds->height() >= minimumSide;
}

} // namespace

WindowEnumerator::WindowEnumerator(const WindowListSource& source, const LocalizationStore& localization,
                                   RandomID randomID)
    : source_(source), localization_(localization), randomID_(randomID ? std::move(randomID) : randomWindowID) {}

std::vector<CapturedWindowInfo> WindowEnumerator::systemWindows(std::optional<std::int32_t> excludedPID) const {
    std::vector<CapturedWindowInfo> windows;
    for (const WindowServerWindow& window : source_.onScreenWindows()) {
        if (!isListed(window, excludedPID)) {
            continue;
        }
        CapturedWindowInfo info;
        info.id = window.number != 0 ? window.number : randomID_();
        info.ownerName = window.ownerName && !window.ownerName->empty()
                             ? *window.ownerName
                             : localization_.text(L10nKey::windowPickerUnknownApp);
        info.title = window.name && !window.name->empty() ? *window.name : info.ownerName;
        info.ownerPID = window.ownerPID;
        info.bounds = *window.bounds;
        windows.push_back(std::move(info));
    }
    return windows;
}

std::optional<CapturedWindowInfo> WindowEnumerator::frontmostWindow(Point point,
                                                                    std::optional<std::int32_t> excludedPID) const {
    for (CapturedWindowInfo& window : systemWindows(excludedPID)) {
        if (window.bounds.contains(point)) {
            return std::move(window);
        }
    }
    return std::nullopt;
}

Rect WindowEnumerator::captureRect(const Rect& windowBounds, const Rect& screenFrame) {
    const Rect overlap = windowBounds.intersection(screenFrame);
    if (overlap.isEmpty()) {
        return Rect{};
    }
    return CaptureGeometry::integral(
        Rect{{overlap.minX(), screenFrame.minY() + screenFrame.maxY() - overlap.maxY()}, overlap.size});
}

std::optional<DisplayScreen> WindowEnumerator::bestScreen(const Rect& windowBounds,
                                                          const std::vector<DisplayScreen>& screens) {
    if (screens.size() <= 1) {
        return screens.empty() ? std::nullopt : std::optional<DisplayScreen>(screens.front());
    }
    const DisplayScreen* best = nullptr;
    double bestArea = -1;
    for (const DisplayScreen& screen : screens) {
        const Rect overlap = captureRect(windowBounds, screen.frame);
        const double area = overlap.isEmpty() ? 0 : overlap.width() * overlap.height();
        if (area > bestArea) {
            best = &screen;
            bestArea = area;
        }
    }
    return *best;
}

} // namespace brisklet
