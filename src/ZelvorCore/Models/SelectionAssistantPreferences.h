#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Json.h"

#include <cstdint>
#include <optional>

namespace brisklet {

/// Helpers shown while the user selects a region.
struct SelectionAssistantPreferences {
    bool showsCrosshair = true;
    bool showsMagnifier = false;
    bool remembersLastSelection = false;
    bool smartSnapEnabled = true;

    bool operator==(const SelectionAssistantPreferences&) const = default;
};

/// The last confirmed selection, in global desktop points (origin bottom-left, y up).
struct RememberedSelectionArea {
    std::optional<std::uint32_t> screenDisplayID;
    Rect globalRect;

    bool operator==(const RememberedSelectionArea&) const = default;
};

void read(const Json& j, SelectionAssistantPreferences& out);
Json write(const SelectionAssistantPreferences& value);
void read(const Json& j, RememberedSelectionArea& out);
Json write(const RememberedSelectionArea& value);

} // namespace brisklet
