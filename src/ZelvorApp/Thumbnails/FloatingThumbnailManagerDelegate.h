#pragma once

#include "ZelvorApp/Thumbnails/FloatingThumbnailAction.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailItem.h"

namespace brisklet {

/// Carries out what a card's action means for its file (the application controller).
class FloatingThumbnailManagerDelegate {
public:
    virtual ~FloatingThumbnailManagerDelegate() = default;
    /// Returns whether the action was carried out; only then does the card leave the stack.
    virtual bool handle(FloatingThumbnailAction action, const FloatingThumbnailItem& item) = 0;
};

} // namespace brisklet
