#pragma once

namespace brisklet {

/// Which pointer decorations the recorder draws into frames (the system cursor is never captured).
struct GIFMouseOverlayOptions {
    bool showsCursor = true;
    bool showsClickEffects = true;

    bool operator==(const GIFMouseOverlayOptions&) const = default;
};

} // namespace brisklet
