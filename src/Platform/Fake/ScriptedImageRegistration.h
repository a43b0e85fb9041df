#pragma once

#include "Platform/ImageRegistration.h"

#include <mutex>

namespace brisklet {

/// A registration that answers what the test scripted (a translation, no observation, or a
/// failure) and counts its requests.
class ScriptedImageRegistration final : public ImageRegistration {
public:
    explicit ScriptedImageRegistration(Outcome outcome) : outcome_(std::move(outcome)) {}

    using ImageRegistration::translation;
    Outcome translation(const Image&, const Image&, const PixelRegion& region) const override {
        std::lock_guard lock(mutex_);
        ++requests_;
        lastRegion_ = region;
        return outcome_;
    }

    int requests() const {
        std::lock_guard lock(mutex_);
        return requests_;
    }
    /// The region of the latest request.
    PixelRegion lastRegion() const {
        std::lock_guard lock(mutex_);
        return lastRegion_;
    }

private:
    const Outcome outcome_;
    mutable std::mutex mutex_;
    mutable int requests_ = 0;
    mutable PixelRegion lastRegion_;
};

} // namespace brisklet
