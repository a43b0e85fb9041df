#pragma once

#include "Platform/Linux/Accessibility/AccessibleDeadline.h"
#include "Platform/Linux/Accessibility/AccessibleTree.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// Finds an application's accessible and its windows on the bus, within a walk's time.
class AccessibleApplicationLocator {
public:
    /// `ownProcess` is this process: our own application is never returned (a blocking call to
    /// ourselves could not be answered).
    AccessibleApplicationLocator(AccessibleTree& tree, const AccessibleDeadline& deadline, std::int64_t ownProcess);

    /// The application whose bus connection belongs to `process`.
    std::optional<AccessibleRef> application(std::int64_t process);
    /// The application's active window, else its window named `title`; nothing when neither exists.
    std::optional<AccessibleRef> window(const AccessibleRef& application, const std::optional<std::string>& title);
    /// The windows to look at when no title is known: the active ones when there are any, else all
    /// of them in the application's order.
    std::vector<AccessibleRef> frontWindows(const AccessibleRef& application);

private:
    struct Window {
        AccessibleRef object;
        bool active = false;
    };
    std::vector<Window> windows(const AccessibleRef& application);

    AccessibleTree& tree_;
    const AccessibleDeadline& deadline_;
    std::int64_t ownProcess_;
};

} // namespace brisklet
