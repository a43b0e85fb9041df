#pragma once

#include "Platform/Workspace.h"

#include <memory>
#include <mutex>
#include <string>
#include <thread>

struct xcb_connection_t;

namespace brisklet {

/// The workspace on an X11 desktop through EWMH: the focused window from _NET_ACTIVE_WINDOW, its
/// title from _NET_WM_NAME (WM_NAME as a fallback), its process from _NET_WM_PID, and the
/// application's name from WM_CLASS or /proc/<pid>/comm. Activations are watched on a
/// connection of their own by a background thread. Browser page addresses are not available.
class X11Workspace final : public Workspace {
public:
    /// Connects to `displayName` ($DISPLAY when empty); nothing when no X server answers.
    static std::unique_ptr<X11Workspace> connect(const std::string& displayName = {});
    ~X11Workspace() override;
    X11Workspace(const X11Workspace&) = delete;
    X11Workspace& operator=(const X11Workspace&) = delete;

    std::optional<RunningApplication> frontmostApplication() const override;
    std::optional<std::string> frontmostWindowTitle() const override;
    std::optional<std::string> frontmostBrowserURL() const override { return std::nullopt; }
    std::int32_t currentProcessIdentifier() const override;
    void startObservingActivations(ActivationHandler handler) override;
    void stopObservingActivations() override;

private:
    X11Workspace(xcb_connection_t* connection, std::string displayName);
    void observe(xcb_connection_t* connection, std::uint32_t initialActiveWindow, int wakeFd);

    xcb_connection_t* connection_;
    std::string displayName_;
    std::mutex handlerMutex_;
    ActivationHandler handler_;
    std::thread observer_;
    int wakePipe_[2] = {-1, -1};
};

} // namespace brisklet
