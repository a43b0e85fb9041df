#include "Platform/Linux/Accessibility/FocusedSelectionFinder.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace brisklet {

namespace {

bool isActiveWindow(const AccessibleStates& states) {
    return states.has(AccessibleState::active) && !states.has(AccessibleState::defunct) &&
           !states.has(AccessibleState::iconified);
}

/// Whether the focus can be somewhere below: what is not on screen has no focused part, and
/// a container managing its descendants (tables, long lists) can have more than we could walk.
bool mayHoldTheFocus(const AccessibleStates& states) {
    return states.has(AccessibleState::showing) && !states.has(AccessibleState::managesDescendants);
}

} // namespace

FocusedSelectionFinder::FocusedSelectionFinder(AccessibleTree& tree, const Clock& clock, std::int64_t ownProcess,
                                               Limits limits)
    : tree_(tree), clock_(clock), ownProcess_(ownProcess), limits_(limits) {}

AccessibleSelection FocusedSelectionFinder::find() {
    deadline_ = clock_.monotonicSeconds() + limits_.seconds;
    visited_ = 0;
    const Step window = activeWindow();
    if (!window.object) {
        return result(window.miss);
    }
    const Step element = focusedElement(*window.object);
    if (!element.object) {
        return result(element.miss);
    }
    return selectedText(*element.object);
}

FocusedSelectionFinder::Step FocusedSelectionFinder::activeWindow() {
    if (expired()) {
        return {std::nullopt, Outcome::timedOut};
    }
    const auto applications = tree_.children(tree_.desktop(), remainingMilliseconds());
    if (!applications) {
        return {std::nullopt, missOr(Outcome::busUnavailable)};
    }
    for (const AccessibleRef& application : *applications) {
        if (expired() || visited_ >= limits_.maxElements) {
            break;
        }
        const auto process = tree_.processId(application.bus, remainingMilliseconds());
        if (process && *process == ownProcess_) {
            continue;
        }
        if (auto window = activeWindowOf(application)) {
            return {std::move(window), Outcome::found};
        }
    }
    return {std::nullopt, missOr(Outcome::noActiveWindow)};
}

std::optional<AccessibleRef> FocusedSelectionFinder::activeWindowOf(const AccessibleRef& application) {
    const auto windows = expired() ? std::nullopt : tree_.children(application, remainingMilliseconds());
    if (!windows) {
        return std::nullopt;
    }
    for (const AccessibleRef& window : *windows) {
        if (expired() || visited_ >= limits_.maxElements) {
            return std::nullopt;
        }
        ++visited_;
        const auto states = tree_.states(window, remainingMilliseconds());
        if (states && isActiveWindow(*states)) {
            return window;
        }
    }
    return std::nullopt;
}

FocusedSelectionFinder::Step FocusedSelectionFinder::focusedElement(const AccessibleRef& window) {
    if (auto element = searchedFocus(window)) {
        return {std::move(element), Outcome::found};
    }
    return walkedFocus(window);
}

std::optional<AccessibleRef> FocusedSelectionFinder::searchedFocus(const AccessibleRef& window) {
    // Browsers and GTK search their own trees in one call. What they answer is checked: a match
    // that does not say it is focused is not taken.
    const auto matches = expired() ? std::nullopt : tree_.focusedDescendants(window, remainingMilliseconds());
    if (!matches || matches->empty() || expired()) {
        return std::nullopt;
    }
    ++visited_;
    const auto states = tree_.states(matches->front(), remainingMilliseconds());
    if (!states || !states->has(AccessibleState::focused)) {
        return std::nullopt;
    }
    return matches->front();
}

FocusedSelectionFinder::Step FocusedSelectionFinder::walkedFocus(const AccessibleRef& window) {
    // Depth first, the first child first: the pending elements are a stack with each element's
    // children pushed in reverse.
    std::vector<std::pair<AccessibleRef, int>> pending{{window, 0}};
    while (!pending.empty()) {
        if (expired()) {
            return {std::nullopt, Outcome::timedOut};
        }
        if (visited_ >= limits_.maxElements) {
            break;
        }
        auto [element, depth] = std::move(pending.back());
        pending.pop_back();
        ++visited_;
        const auto states = tree_.states(element, remainingMilliseconds());
        if (!states) {
            continue;
        }
        if (states->has(AccessibleState::focused)) {
            return {std::move(element), Outcome::found};
        }
        // The active window itself is searched whatever it says about being on screen.
        if ((depth > 0 && !mayHoldTheFocus(*states)) || depth >= limits_.maxDepth || expired()) {
            continue;
        }
        const auto children = tree_.children(element, remainingMilliseconds());
        if (!children) {
            continue;
        }
        const std::size_t room = static_cast<std::size_t>(limits_.maxElements - visited_);
        const std::size_t count = std::min(children->size(), room);
        for (std::size_t index = count; index > 0; --index) {
            pending.emplace_back((*children)[index - 1], depth + 1);
        }
    }
    return {std::nullopt, missOr(Outcome::noFocusedElement)};
}

AccessibleSelection FocusedSelectionFinder::selectedText(const AccessibleRef& element) {
    if (expired()) {
        return result(Outcome::timedOut);
    }
    if (tree_.role(element, remainingMilliseconds()) == passwordTextRole) {
        return result(Outcome::secureField);
    }
    const auto count = expired() ? std::nullopt : tree_.selectionCount(element, remainingMilliseconds());
    if (!count) {
        return result(missOr(Outcome::noSelection));
    }
    std::string joined;
    for (int index = 0; index < std::min(*count, limits_.maxSelections); ++index) {
        if (expired()) {
            return result(Outcome::timedOut);
        }
        const auto range = tree_.selection(element, index, remainingMilliseconds());
        if (!range || range->end <= range->start || expired()) {
            continue;
        }
        const auto part = tree_.text(element, *range, remainingMilliseconds());
        if (!part || part->empty()) {
            continue;
        }
        if (!joined.empty()) {
            joined += '\n';
        }
        joined += *part;
    }
    if (joined.empty()) {
        return result(missOr(Outcome::noSelection));
    }
    return result(Outcome::found, std::move(joined));
}

int FocusedSelectionFinder::millisecondsUntil(const Clock& clock, double deadline) {
    // Rounded up so a call never gets no time while some is left, but not for the rounding
    // noise of the subtraction (200 ms must stay 200, not become 201).
    const double left = (deadline - clock.monotonicSeconds()) * 1000.0 - 1e-6;
    return left <= 0 ? 0 : static_cast<int>(std::ceil(left));
}

int FocusedSelectionFinder::remainingMilliseconds() const {
    return millisecondsUntil(clock_, deadline_);
}

AccessibleSelection FocusedSelectionFinder::result(Outcome outcome, std::string text) const {
    return AccessibleSelection{outcome, std::move(text), visited_};
}

} // namespace brisklet
