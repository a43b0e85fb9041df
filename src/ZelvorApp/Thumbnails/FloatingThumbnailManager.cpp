#include "ZelvorApp/Thumbnails/FloatingThumbnailManager.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailFileStore.h"

#include <algorithm>
#include <string>

namespace brisklet {

FloatingThumbnailManager::FloatingThumbnailManager(FloatingThumbnailPosition position, double dismissDelay,
                                                   MainQueue& mainQueue, const Clock& clock,
                                                   const FloatingThumbnailFileStore& fileStore)
    : mainQueue_(mainQueue), clock_(clock), fileStore_(fileStore), position_(position),
      dismissDelay_(std::max(0.0, dismissDelay)) {}

FloatingThumbnailManager::~FloatingThumbnailManager() = default;

const FloatingThumbnailDismissTimer* FloatingThumbnailManager::timer(const Uuid& id) const {
    const auto found = timers_.find(id.toString());
    return found == timers_.end() ? nullptr : found->second.get();
}

void FloatingThumbnailManager::add(FloatingThumbnailItem item) {
    if (find(item.id)) {
        // The same card again (a repeated export notification): show it once, at the front.
        removeItem(item.id, false);
    }
    while (items_.size() >= maximumVisibleItems) {
        const Uuid oldest = items_.back().id;
        askDelegate(FloatingThumbnailAction::hide, oldest);
        // The stack never grows past its limit, whatever the delegate answered.
        removeItem(oldest, true);
    }
    const Uuid id = item.id;
    presentationContext_ = {item.displayID, item.captureFrame};
    RuntimeLogger::log("floating thumbnail added kind=" + std::string(toString(item.kind)) +
                       " temporary=" + (item.isTemporary() ? "true" : "false") +
                       " count=" + std::to_string(items_.size() + 1));
    items_.insert(items_.begin(), std::move(item));
    auto timer = std::make_unique<FloatingThumbnailDismissTimer>(mainQueue_, clock_, dismissDelay_,
                                                                 [this, id] { remove(id); });
    timer->start();
    timers_[id.toString()] = std::move(timer);
    notifyChange();
}

void FloatingThumbnailManager::remove(const Uuid& id) {
    removeItem(id, true);
}

void FloatingThumbnailManager::dismissAll() {
    if (items_.empty()) {
        return;
    }
    const auto removed = std::move(items_);
    items_.clear();
    timers_.clear();
    for (const auto& item : removed) {
        if (item.isTemporary()) {
            fileStore_.removeIfTemporary(item.url);
        }
    }
    notifyChange();
}

bool FloatingThumbnailManager::perform(FloatingThumbnailAction action, const Uuid& id) {
    if (!find(id)) {
        return false;
    }
    switch (action) {
    case FloatingThumbnailAction::annotate: {
        // The card waits while the editor is open; it only continues its countdown when nothing opened.
        pauseDismissal(id);
        const bool handled = askDelegate(action, id);
        if (!handled) {
            resumeDismissal(id);
        }
        return handled;
    }
    case FloatingThumbnailAction::retainedAfterDrag: {
        const bool handled = askDelegate(action, id);
        if (handled) {
            // The receiving application may still be reading a temporary file; the delegate has
            // scheduled its removal.
            removeItem(id, false);
        } else if (auto* timer = timerFor(id)) {
            timer->start();
        }
        return handled;
    }
    default: {
        const bool handled = askDelegate(action, id);
        if (handled) {
            removeItem(id, true);
        }
        return handled;
    }
    }
}

void FloatingThumbnailManager::pauseDismissal(const Uuid& id) {
    if (auto* timer = timerFor(id)) {
        timer->pause();
    }
}

void FloatingThumbnailManager::resumeDismissal(const Uuid& id) {
    if (auto* timer = timerFor(id)) {
        timer->resume();
    }
}

void FloatingThumbnailManager::beginDragging(const std::vector<Uuid>& ids) {
    for (const auto& id : ids) {
        pauseDismissal(id);
    }
}

void FloatingThumbnailManager::finishDragging(const std::vector<Uuid>& ids, bool succeeded) {
    for (const auto& id : ids) {
        if (succeeded) {
            perform(FloatingThumbnailAction::retainedAfterDrag, id);
        } else if (auto* timer = timerFor(id)) {
            timer->start();
        }
    }
}

bool FloatingThumbnailManager::suspendPresentation() {
    const bool wasVisible = isVisible();
    if (!isPresentationSuspended_) {
        isPresentationSuspended_ = true;
        notifyChange();
    }
    return wasVisible;
}

void FloatingThumbnailManager::resumePresentation() {
    if (!isPresentationSuspended_) {
        return;
    }
    isPresentationSuspended_ = false;
    notifyChange();
}

void FloatingThumbnailManager::updateConfiguration(FloatingThumbnailPosition position, double dismissDelay) {
    position_ = position;
    dismissDelay_ = std::max(0.0, dismissDelay);
    for (auto& [id, timer] : timers_) {
        timer->restart(dismissDelay_);
    }
    notifyChange();
}

const FloatingThumbnailItem* FloatingThumbnailManager::find(const Uuid& id) const {
    const auto found = std::find_if(items_.begin(), items_.end(), [&](const auto& item) { return item.id == id; });
    return found == items_.end() ? nullptr : &*found;
}

FloatingThumbnailDismissTimer* FloatingThumbnailManager::timerFor(const Uuid& id) {
    const auto found = timers_.find(id.toString());
    return found == timers_.end() ? nullptr : found->second.get();
}

bool FloatingThumbnailManager::askDelegate(FloatingThumbnailAction action, const Uuid& id) {
    const FloatingThumbnailItem* item = find(id);
    if (!delegate_ || !item) {
        return false;
    }
    // A copy: the delegate may change the stack while it works.
    const FloatingThumbnailItem snapshot = *item;
    return delegate_->handle(action, snapshot);
}

void FloatingThumbnailManager::removeItem(const Uuid& id, bool releasesFile) {
    const auto found = std::find_if(items_.begin(), items_.end(), [&](const auto& item) { return item.id == id; });
    if (found == items_.end()) {
        return;
    }
    const FloatingThumbnailItem item = std::move(*found);
    items_.erase(found);
    // Destroying the timer is safe even from inside its own expiry.
    timers_.erase(id.toString());
    if (releasesFile && item.isTemporary()) {
        fileStore_.removeIfTemporary(item.url);
    }
    notifyChange();
}

void FloatingThumbnailManager::notifyChange() {
    if (onChange_) {
        onChange_();
    }
}

} // namespace brisklet
