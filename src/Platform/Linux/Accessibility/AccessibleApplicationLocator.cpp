#include "Platform/Linux/Accessibility/AccessibleApplicationLocator.h"

namespace brisklet {

namespace {

bool isActiveWindow(const AccessibleStates& states) {
    return states.has(AccessibleState::active) && !states.has(AccessibleState::defunct) &&
           !states.has(AccessibleState::iconified);
}

} // namespace

AccessibleApplicationLocator::AccessibleApplicationLocator(AccessibleTree& tree, const AccessibleDeadline& deadline,
                                                           std::int64_t ownProcess)
    : tree_(tree), deadline_(deadline), ownProcess_(ownProcess) {}

std::optional<AccessibleRef> AccessibleApplicationLocator::application(std::int64_t process) {
    if (process == ownProcess_ || deadline_.expired()) {
        return std::nullopt;
    }
    const auto applications = tree_.children(tree_.desktop(), deadline_.callTimeout());
    if (!applications) {
        return std::nullopt;
    }
    for (const AccessibleRef& application : *applications) {
        if (deadline_.expired()) {
            return std::nullopt;
        }
        // The bus daemon answers this one, so a hung application costs nothing here.
        if (tree_.processId(application.bus, deadline_.callTimeout()) == process) {
            return application;
        }
    }
    return std::nullopt;
}

std::optional<AccessibleRef> AccessibleApplicationLocator::window(const AccessibleRef& application,
                                                                  const std::optional<std::string>& title) {
    const std::vector<Window> all = windows(application);
    for (const Window& window : all) {
        if (window.active) {
            return window.object;
        }
    }
    if (!title) {
        return std::nullopt;
    }
    for (const Window& window : all) {
        if (deadline_.expired()) {
            return std::nullopt;
        }
        if (tree_.name(window.object, deadline_.callTimeout()) == *title) {
            return window.object;
        }
    }
    return std::nullopt;
}

std::vector<AccessibleRef> AccessibleApplicationLocator::frontWindows(const AccessibleRef& application) {
    const std::vector<Window> all = windows(application);
    std::vector<AccessibleRef> active;
    std::vector<AccessibleRef> every;
    for (const Window& window : all) {
        (window.active ? active : every).push_back(window.object);
    }
    if (!active.empty()) {
        return active;
    }
    return every;
}

std::vector<AccessibleApplicationLocator::Window>
AccessibleApplicationLocator::windows(const AccessibleRef& application) {
    const auto children = deadline_.expired() ? std::nullopt : tree_.children(application, deadline_.callTimeout());
    std::vector<Window> windows;
    if (!children) {
        return windows;
    }
    for (const AccessibleRef& child : *children) {
        if (deadline_.expired()) {
            break;
        }
        const auto states = tree_.states(child, deadline_.callTimeout());
        windows.push_back({child, states && isActiveWindow(*states)});
    }
    return windows;
}

} // namespace brisklet
