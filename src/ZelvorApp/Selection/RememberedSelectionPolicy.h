#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Models/SelectionAssistantPreferences.h"

#include <cstdint>
#include <optional>

namespace brisklet {

/// The rectangle a remembered selection starts the overlay with, in view points.
struct RememberedSelectionPolicy {
    /// Empty unless the area was remembered on this display (both unknown also matches) and,
    /// moved into the view and cut to its bounds, is still a valid selection.
    static Rect initialSelectionRect(const std::optional<RememberedSelectionArea>& remembered,
                                     std::optional<std::uint32_t> screenDisplayID, const Rect& screenFrame,
                                     const Rect& viewBounds);
};

} // namespace brisklet
