#pragma once

#include "Platform/DesktopPictureSource.h"

#include <atomic>
#include <mutex>

namespace brisklet {

/// A desktop whose current picture the test sets; counts how often it was asked.
class ScriptedDesktopPictureSource final : public DesktopPictureSource {
public:
    explicit ScriptedDesktopPictureSource(std::optional<std::filesystem::path> picture = std::nullopt)
        : picture_(std::move(picture)) {}

    std::optional<std::filesystem::path> currentDesktopPicture() const override {
        ++requests_;
        const std::lock_guard lock(mutex_);
        return picture_;
    }

    void setPicture(std::optional<std::filesystem::path> picture) {
        const std::lock_guard lock(mutex_);
        picture_ = std::move(picture);
    }
    int requests() const { return requests_; }

private:
    mutable std::mutex mutex_;
    std::optional<std::filesystem::path> picture_;
    mutable std::atomic<int> requests_{0};
};

} // namespace brisklet
