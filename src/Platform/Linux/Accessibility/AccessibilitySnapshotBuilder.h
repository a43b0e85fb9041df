#pragma once

#include "Platform/AccessibilitySnapshotReader.h"
#include "Platform/Clock.h"
#include "Platform/Linux/Accessibility/AccessibleDeadline.h"
#include "Platform/Linux/Accessibility/AccessibleTree.h"
#include "Platform/Linux/Accessibility/ScreenToDesktop.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <utility>

namespace brisklet {

/// Reads an application's accessibility tree into snapshot nodes: its active window, else the
/// window with the given title, else the application itself, walked depth first within the
/// walk limits. Applications answer one call at a time and some stop answering, so the whole
/// walk has a time limit, after which it keeps what it has read. Password fields (and elements
/// whose role or title says they are secret) never have their text, selection or value asked for.
class AccessibilitySnapshotBuilder {
public:
    struct Options {
        double seconds = 3.0;
        /// No single call waits longer, whatever time is left.
        int callTimeoutMilliseconds = 1000;
        /// Selected ranges read per element.
        int maxSelections = 16;
        /// An element's text is cut to this many bytes (a terminal's scroll-back can be huge).
        std::size_t maxTextBytes = 200'000;
    };

    /// `ownProcess` is this process, whose tree is never read.
    AccessibilitySnapshotBuilder(AccessibleTree& tree, const Clock& clock, std::int64_t ownProcess, Options options);

    /// Nothing when the application is ours, not on the bus, or did not answer in time.
    /// `screen` converts the elements' extents; without it no frames are kept.
    std::optional<AccessibilitySnapshotNode> snapshot(std::int64_t process,
                                                      const std::optional<std::string>& windowTitle,
                                                      const AccessibilityWalkLimits& limits,
                                                      std::optional<ScreenToDesktop> screen);

    /// How many elements the last snapshot read.
    int nodeCount() const { return nodeCount_; }

private:
    /// The answer of `question(timeout)`, or nothing without asking once the time is over.
    template <typename Question> auto ask(Question&& question) -> decltype(question(0)) {
        if (deadline_->expired()) {
            return std::nullopt;
        }
        return question(deadline_->callTimeout());
    }

    AccessibilitySnapshotNode node(const AccessibleRef& element, int depth);
    std::optional<std::string> roleName(const AccessibleRef& element, std::optional<std::uint32_t> role);
    std::optional<std::string> help(const AccessibleRef& element);
    /// The value, from the element's text or its Value interface, and the selected text.
    void readContent(const AccessibleRef& element, const AccessibleInterfaces& interfaces,
                     AccessibilitySnapshotNode& node);
    std::optional<std::string> selectedText(const AccessibleRef& element);
    void readChildren(const AccessibleRef& element, int depth, AccessibilitySnapshotNode& node);

    AccessibleTree& tree_;
    const Clock& clock_;
    std::int64_t ownProcess_;
    Options options_;
    // The state of the snapshot being taken.
    std::optional<AccessibleDeadline> deadline_;
    AccessibilityWalkLimits limits_;
    std::optional<ScreenToDesktop> screen_;
    std::set<std::pair<std::string, std::string>> visited_;
    int nodeCount_ = 0;
    /// Whether the application has the newer HelpText property (asked once, at the root).
    std::optional<bool> hasHelpText_;
};

} // namespace brisklet
