#include "ZelvorApp/Infrastructure/DesktopVisibilityController.h"

#include "Platform/DesktopIconsAccessor.h"
#include "Platform/MainQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <algorithm>
#include <chrono>
#include <thread>

namespace brisklet {

DesktopVisibilityController::DesktopVisibilityController(DesktopIconsAccessor& accessor, MainQueue& mainQueue)
    : accessor_(accessor), mainQueue_(mainQueue) {}

bool DesktopVisibilityController::isSupported() const {
    return accessor_.isSupported();
}

DesktopIconsState DesktopVisibilityController::currentDesktopIconsState() const {
    const std::optional<bool> shown = accessor_.createDesktop();
    return shown && !*shown ? DesktopIconsState::hidden : DesktopIconsState::visible;
}

std::optional<DesktopVisibilityController::SessionToken>
DesktopVisibilityController::beginAutomaticHide(DesktopHideReason) {
    SessionToken token{Uuid::generate()};
    if (active_.empty()) {
        remembered_ = currentDesktopIconsState();
    }
    active_.push_back(token);
    apply(DesktopIconsState::hidden);
    return token;
}

void DesktopVisibilityController::endAutomaticHide(const SessionToken& token) {
    const auto found = std::find(active_.begin(), active_.end(), token);
    if (found == active_.end()) {
        return;
    }
    active_.erase(found);
    if (!active_.empty()) {
        return;
    }
    const DesktopIconsState restored = remembered_.value_or(DesktopIconsState::visible);
    remembered_.reset();
    apply(restored);
}

void DesktopVisibilityController::setDesktopIconsHidden(bool hidden) {
    const DesktopIconsState requested = hidden ? DesktopIconsState::hidden : DesktopIconsState::visible;
    if (!active_.empty()) {
        remembered_ = requested;
    }
    apply(requested);
}

void DesktopVisibilityController::apply(DesktopIconsState state) {
    if (!accessor_.isSupported() || currentDesktopIconsState() == state) {
        return;
    }
    const bool shown = state == DesktopIconsState::visible;
    if (!accessor_.setCreateDesktop(shown)) {
        // Nothing changed on screen, so there is nothing to restart or wait for.
        RuntimeLogger::log(std::string("desktop visibility write failed shown=") + (shown ? "true" : "false"));
        return;
    }
    if (const Status<std::string> restarted = accessor_.restartDesktop(); !restarted) {
        RuntimeLogger::log("desktop visibility killall Finder failed error=" + restarted.error());
    }
    // The desktop redraws on its own schedule; the capture must not read the screen before.
    if (mainQueue_.isMainThread()) {
        mainQueue_.runFor(redrawWaitSeconds);
    } else {
        std::this_thread::sleep_for(std::chrono::duration<double>(redrawWaitSeconds));
    }
}

} // namespace brisklet
