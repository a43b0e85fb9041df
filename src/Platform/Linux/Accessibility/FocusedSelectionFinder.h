#pragma once

#include "Platform/AccessibilityTextReader.h"
#include "Platform/Clock.h"
#include "Platform/Linux/Accessibility/AccessibleTree.h"

#include <cstdint>
#include <optional>

namespace brisklet {

/// Finds the selected text of the focused element: the first application (other than ours)
/// with an active window, then the focused element inside that window (by the application's
/// own search where it has one, else by walking the window's tree), then its text's selections.
/// Applications answer one call at a time over the bus and some have huge trees, so the search
/// stops at a time limit and at an element count, and the walk skips what cannot hold the focus
/// (hidden parts, containers that manage their own descendants).
class FocusedSelectionFinder {
public:
    struct Limits {
        double seconds = 0.2;
        int maxElements = 1500;
        int maxDepth = 40;
        int maxSelections = 16;
    };

    /// `ownProcess` is this process's id: our own windows are never searched, and a blocking call
    /// to ourselves could not be answered.
    FocusedSelectionFinder(AccessibleTree& tree, const Clock& clock, std::int64_t ownProcess, Limits limits);

    AccessibleSelection find();

    /// The milliseconds from now to `deadline` (monotonic seconds), rounded up; zero once it passed.
    static int millisecondsUntil(const Clock& clock, double deadline);

private:
    using Outcome = AccessibleSelection::Outcome;
    /// An object the search reached, or why it did not reach one.
    struct Step {
        std::optional<AccessibleRef> object;
        Outcome miss = Outcome::noFocusedElement;
    };

    Step activeWindow();
    std::optional<AccessibleRef> activeWindowOf(const AccessibleRef& application);
    Step focusedElement(const AccessibleRef& window);
    /// The focused element as the application's own search finds it.
    std::optional<AccessibleRef> searchedFocus(const AccessibleRef& window);
    /// The focused element as a walk of the window's tree finds it.
    Step walkedFocus(const AccessibleRef& window);
    AccessibleSelection selectedText(const AccessibleRef& element);
    /// What remains of the time limit, rounded up; zero once it is over.
    int remainingMilliseconds() const;
    bool expired() const { return remainingMilliseconds() == 0; }
    /// `otherwise` unless the time ran out, which then is the reason.
    Outcome missOr(Outcome otherwise) const { return expired() ? Outcome::timedOut : otherwise; }
    AccessibleSelection result(Outcome outcome, std::string text = {}) const;

    AccessibleTree& tree_;
    const Clock& clock_;
    std::int64_t ownProcess_;
    Limits limits_;
    double deadline_ = 0;
    int visited_ = 0;
};

} // namespace brisklet
