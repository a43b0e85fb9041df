#pragma once

#include "ZelvorCore/Foundation/Geometry.h"

#include <cstdint>
#include <string>

namespace brisklet {

/// Where a snap target came from: a window of another application, or a rectangle the detector
/// found in the frozen screen picture.
struct SelectionSnapSource {
    enum class Kind { window, detectedRectangle };
    Kind kind = Kind::window;
    /// The window number, or the detector's observation index.
    std::int64_t value = 0;

    static SelectionSnapSource window(std::int64_t windowID) { return {Kind::window, windowID}; }
    static SelectionSnapSource detectedRectangle(int index) { return {Kind::detectedRectangle, index}; }
    bool isWindow() const { return kind == Kind::window; }
    /// "window(windowID: 812)" or "detectedRectangle(index: 3)", as the log writes it.
    std::string description() const;
    bool operator==(const SelectionSnapSource&) const = default;
};

/// Something a single click in the overlay can select.
struct SelectionSnapCandidate {
    /// View points (origin at the screen's bottom-left, y up), whole numbers.
    Rect rect;
    SelectionSnapSource source;
    /// Position in the list it came from; the earlier wins a tie.
    int priority = 0;

    bool operator==(const SelectionSnapCandidate&) const = default;
};

} // namespace brisklet
