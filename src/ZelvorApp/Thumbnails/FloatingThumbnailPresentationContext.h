#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <cstdint>
#include <optional>

namespace brisklet {

/// The display the stack is shown on: that of the latest capture, or the primary one when unknown.
struct FloatingThumbnailPresentationContext {
    std::optional<std::uint32_t> displayID;
    std::optional<Rect> captureFrame;

    bool operator==(const FloatingThumbnailPresentationContext&) const = default;
};

} // namespace brisklet
