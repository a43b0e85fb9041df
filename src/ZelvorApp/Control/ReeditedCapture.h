#pragma once

#include <string>

namespace brisklet {

/// The picture an editor session was opened on when it is not a new capture: a floating
/// thumbnail or a pinned screenshot. Saving, copying or pinning replaces it with the edited
/// version; cancelling brings it back as it was.
struct ReeditedCapture {
    enum class Kind { floatingThumbnail, pinnedScreenshot };
    Kind kind = Kind::floatingThumbnail;
    /// The card's or the pin's id, as its port knows it.
    std::string id;

    bool operator==(const ReeditedCapture&) const = default;
};

} // namespace brisklet
