#include "ZelvorApp/Memory/VisualMemorySourceCollector.h"

#include "ZelvorCore/Models/VisualMemoryText.h"

namespace brisklet {

VisualMemorySourceCollector::VisualMemorySourceCollector(Workspace& workspace, const VisualMemoryWindowLookup* windows)
    : workspace_(workspace), windows_(windows) {}

VisualMemorySourceCollector::~VisualMemorySourceCollector() {
    stopTracking();
}

void VisualMemorySourceCollector::startTracking() {
    {
        std::lock_guard lock(mutex_);
        if (tracking_) {
            return;
        }
        tracking_ = true;
    }
    workspace_.startObservingActivations([this](const RunningApplication& app) {
        if (!isBrisklet(app)) {
            remember(app);
        }
    });
}

void VisualMemorySourceCollector::stopTracking() {
    {
        std::lock_guard lock(mutex_);
        if (!tracking_) {
            return;
        }
        tracking_ = false;
    }
    workspace_.stopObservingActivations();
}

bool VisualMemorySourceCollector::isBrisklet(const RunningApplication& app) const {
    if (app.processIdentifier == workspace_.currentProcessIdentifier()) {
        return true;
    }
    const auto mentions = [](const std::string& value) {
        return memorytext::contains(memorytext::lowercased(value), "brisklet");
    };
    return (app.bundleIdentifier && mentions(*app.bundleIdentifier)) || mentions(app.localizedName);
}

VisualMemorySource VisualMemorySourceCollector::sourceFor(const RunningApplication& app) {
    // The window title is the application's name on purpose: reading the focused window's title
    // here would name our own overlay or editor rather than the window that was captured.
    return VisualMemorySource{app.localizedName, app.localizedName, std::nullopt};
}

void VisualMemorySourceCollector::remember(const RunningApplication& app) {
    std::lock_guard lock(mutex_);
    lastNonBrisklet_ = app;
}

VisualMemorySource VisualMemorySourceCollector::currentSource() {
    const auto front = workspace_.frontmostApplication();
    if (front && !isBrisklet(*front)) {
        remember(*front);
        return sourceFor(*front);
    }
    {
        std::lock_guard lock(mutex_);
        if (lastNonBrisklet_) {
            return sourceFor(*lastNonBrisklet_);
        }
    }
    return front ? sourceFor(*front) : VisualMemorySource{};
}

VisualMemorySource VisualMemorySourceCollector::sourceForSelection(const VisualMemorySelection& selection,
                                                                   const VisualMemorySource& fallback) const {
    if (windows_ == nullptr) {
        return fallback;
    }
    std::optional<VisualMemoryWindowOwner> owner;
    if (selection.snappedWindowID) {
        owner = windows_->windowWithID(*selection.snappedWindowID);
    }
    if (!owner) {
        const Point centre{selection.rect.origin.x + selection.rect.size.width / 2,
                           selection.rect.origin.y + selection.rect.size.height / 2};
        owner = windows_->frontmostWindowAt(centre);
    }
    if (!owner) {
        return fallback;
    }
    return VisualMemorySource{owner->ownerName, owner->title, std::nullopt};
}

} // namespace brisklet
