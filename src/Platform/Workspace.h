#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace brisklet {

/// One running application as the desktop names it.
struct RunningApplication {
    /// The name people see, e.g. "Firefox".
    std::string localizedName;
    /// A stable identifier of the application (on X11 the lower-cased window class, e.g.
    /// "firefox"); absent when the desktop gives none.
    std::optional<std::string> bundleIdentifier;
    std::int32_t processIdentifier = 0;

    bool operator==(const RunningApplication&) const = default;
};

/// The desktop's view of running applications: which one is in front, what its focused window is
/// called, and when another one comes to the front.
class Workspace {
public:
    using ActivationHandler = std::function<void(const RunningApplication&)>;

    virtual ~Workspace() = default;

    /// The application that owns the focused window, or nothing when no window has the focus or
    /// the desktop does not say.
    virtual std::optional<RunningApplication> frontmostApplication() const = 0;
    /// The title of the focused window, or nothing when it has none.
    virtual std::optional<std::string> frontmostWindowTitle() const = 0;
    /// The address of the page the focused browser window shows, when the desktop can tell (it
    /// cannot on X11, so that backend answers nothing).
    virtual std::optional<std::string> frontmostBrowserURL() const = 0;
    /// This process's id, to recognise our own windows.
    virtual std::int32_t currentProcessIdentifier() const = 0;
    /// Starts reporting every application that comes to the front. `handler` may be called on any
    /// thread; a second call replaces the handler.
    virtual void startObservingActivations(ActivationHandler handler) = 0;
    /// Stops reporting; when it returns, the handler is no longer called.
    virtual void stopObservingActivations() = 0;
};

} // namespace brisklet
