#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

#include <string>

namespace brisklet {

/// What the accessibility layer said about the focused element's selected text.
struct AccessibleSelection {
    enum class Outcome { found, busUnavailable, noActiveWindow, noFocusedElement, noSelection, secureField, timedOut };

    Outcome outcome = Outcome::busUnavailable;
    /// Every selected range of the focused element, in order, one a line; only with `found`.
    std::string text;
    /// How many elements were looked at, for the log.
    int visited = 0;

    bool operator==(const AccessibleSelection&) const = default;
};

template <> struct EnumTraits<AccessibleSelection::Outcome> {
    using Outcome = AccessibleSelection::Outcome;
    static constexpr std::array<std::pair<Outcome, std::string_view>, 7> names{{
        {Outcome::found, "found"},
        {Outcome::busUnavailable, "busUnavailable"},
        {Outcome::noActiveWindow, "noActiveWindow"},
        {Outcome::noFocusedElement, "noFocusedElement"},
        {Outcome::noSelection, "noSelection"},
        {Outcome::secureField, "secureField"},
        {Outcome::timedOut, "timedOut"},
    }};
};

/// Reads the text selected in the element that has the keyboard focus in another application's
/// active window. Called on the main thread, so an answer never takes long: a slow or missing
/// accessibility layer yields an outcome other than `found`.
class AccessibilityTextReader {
public:
    virtual ~AccessibilityTextReader() = default;
    virtual AccessibleSelection focusedSelection() const = 0;
};

} // namespace brisklet
