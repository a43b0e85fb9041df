#pragma once

#include "Platform/RectangleDetector.h"

#include <mutex>
#include <utility>

namespace brisklet {

/// A detector that answers what the test scripted (observations or a failure), whatever the
/// image, and counts its requests. Safe to call from the background thread the overlay uses.
class ScriptedRectangleDetector final : public RectangleDetector {
public:
    explicit ScriptedRectangleDetector(Outcome outcome) : outcome_(std::move(outcome)) {}

    Outcome detect(const Image& image, const RectangleDetectionRequest& request) const override {
        std::lock_guard lock(mutex_);
        ++requests_;
        lastRequest_ = request;
        lastImageSize_ = Size{double(image.width()), double(image.height())};
        return outcome_;
    }

    int requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    /// The request of the latest call.
    RectangleDetectionRequest lastRequest() const {
        std::lock_guard lock(mutex_);
        return lastRequest_;
    }
    /// The pixel size of the latest call's image, to tell which snapshot was searched.
    Size lastImageSize() const {
        std::lock_guard lock(mutex_);
        return lastImageSize_;
    }

private:
    const Outcome outcome_;
    mutable std::mutex mutex_;
    mutable int requests_ = 0;
    mutable RectangleDetectionRequest lastRequest_;
    mutable Size lastImageSize_;
};

} // namespace brisklet
