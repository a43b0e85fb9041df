#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// How the application shows itself: only in the tray, or also in the task switcher.
enum class ActivationPolicy { regular = 0, accessory = 1 };

/// One running process of this user.
struct RunningProcess {
    std::int32_t processIdentifier = 0;
    /// The executable with symbolic links resolved; absent when it cannot be read.
    std::optional<std::filesystem::path> executable;
    /// Whether it runs the application (rather than one of the executable's commands).
    bool runsApplication = false;
    /// The desktop session it belongs to (display and session bus); absent when unreadable.
    std::optional<std::string> session;
};

/// The application object and what the desktop says about running processes.
class ApplicationHost {
public:
    virtual ~ApplicationHost() = default;
    virtual ActivationPolicy activationPolicy() const = 0;
    virtual void setActivationPolicy(ActivationPolicy policy) = 0;
    /// Brings the application to the front.
    virtual void activate() = 0;
    /// Ends the application through its normal tear-down, from the main queue.
    virtual void terminate() = 0;
    /// Loads and sets the application icon; false when the resource is missing.
    virtual bool loadApplicationIcon() = 0;
    /// Whether any of our windows (settings, library, editor, …) is on screen.
    virtual bool hasVisibleWindow() const = 0;
    virtual std::int32_t currentProcessIdentifier() const = 0;
    virtual std::optional<std::filesystem::path> currentExecutable() const = 0;
    virtual std::vector<RunningProcess> runningProcesses() const = 0;
    /// The desktop session of this process, in the form `RunningProcess::session` uses.
    virtual std::optional<std::string> currentSession() const = 0;
    /// Opens a file or folder with the desktop's default application.
    virtual void openFile(const std::filesystem::path& file) = 0;
    /// Shows the file selected in the desktop's file viewer (or opens its folder).
    virtual void revealInFileViewer(const std::filesystem::path& file) = 0;
};

} // namespace brisklet
