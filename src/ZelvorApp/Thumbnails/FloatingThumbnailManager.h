#pragma once

#include "ZelvorApp/Thumbnails/FloatingThumbnailAction.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailDismissTimer.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailItem.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailManagerDelegate.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailPresentationContext.h"
#include "ZelvorCore/Models/PreferenceChoices.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace brisklet {

class Clock;
class FloatingThumbnailFileStore;
class MainQueue;

/// The stack of cards shown after exports: at most five, newest first, each leaving after its own
/// dismiss delay unless the pointer rests on it, it is being dragged or it is being annotated.
/// It decides when cards come and go; the delegate decides what an action does with the file, and
/// the window only draws `items()` and calls back.
class FloatingThumbnailManager {
public:
    static constexpr std::size_t maximumVisibleItems = 5;
    static constexpr double defaultDismissDelay = 10;

    FloatingThumbnailManager(FloatingThumbnailPosition position, double dismissDelay, MainQueue& mainQueue,
                             const Clock& clock, const FloatingThumbnailFileStore& fileStore);
    ~FloatingThumbnailManager();
    FloatingThumbnailManager(const FloatingThumbnailManager&) = delete;
    FloatingThumbnailManager& operator=(const FloatingThumbnailManager&) = delete;

    /// Not owned; the delegate outlives the manager or is reset first.
    void setDelegate(FloatingThumbnailManagerDelegate* delegate) { delegate_ = delegate; }
    /// Called after every change of the items, the corner or the suspension; the window re-lays out.
    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

    const std::vector<FloatingThumbnailItem>& items() const { return items_; }
    FloatingThumbnailPosition position() const { return position_; }
    double dismissDelay() const { return dismissDelay_; }
    bool isPresentationSuspended() const { return isPresentationSuspended_; }
    /// Whether the panel should be on screen now.
    bool isVisible() const { return !isPresentationSuspended_ && !items_.empty(); }
    const FloatingThumbnailPresentationContext& presentationContext() const { return presentationContext_; }
    /// The card's dismiss timer, or null for an unknown id (for the window's progress hints and tests).
    const FloatingThumbnailDismissTimer* timer(const Uuid& id) const;

    void add(FloatingThumbnailItem item);
    /// Takes the card off the stack, stops its timer and deletes its temporary file.
    void remove(const Uuid& id);
    void dismissAll();
    /// Returns whether the delegate carried the action out.
    bool perform(FloatingThumbnailAction action, const Uuid& id);

    /// The pointer entered / left a card.
    void pauseDismissal(const Uuid& id);
    void resumeDismissal(const Uuid& id);

    void beginDragging(const std::vector<Uuid>& ids);
    void finishDragging(const std::vector<Uuid>& ids, bool succeeded);

    /// Hides the panel for a capture; returns whether it was showing anything.
    bool suspendPresentation();
    void resumePresentation();

    void updateConfiguration(FloatingThumbnailPosition position, double dismissDelay);

private:
    const FloatingThumbnailItem* find(const Uuid& id) const;
    FloatingThumbnailDismissTimer* timerFor(const Uuid& id);
    bool askDelegate(FloatingThumbnailAction action, const Uuid& id);
    /// `releasesFile` is false when someone else now looks after a temporary file's lifetime.
    void removeItem(const Uuid& id, bool releasesFile);
    void notifyChange();

    MainQueue& mainQueue_;
    const Clock& clock_;
    const FloatingThumbnailFileStore& fileStore_;
    FloatingThumbnailPosition position_;
    double dismissDelay_;
    bool isPresentationSuspended_ = false;
    FloatingThumbnailManagerDelegate* delegate_ = nullptr;
    std::function<void()> onChange_;
    std::vector<FloatingThumbnailItem> items_;
    FloatingThumbnailPresentationContext presentationContext_;
    /// Keyed by the card's id text; pointers so posted expiries can refer to a timer that stays put.
    std::map<std::string, std::unique_ptr<FloatingThumbnailDismissTimer>> timers_;
};

} // namespace brisklet
