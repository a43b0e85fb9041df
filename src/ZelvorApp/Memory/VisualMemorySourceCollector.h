#pragma once

#include "Platform/Workspace.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace brisklet {

/// A window of another application, as the window list reports it.
struct VisualMemoryWindowOwner {
    std::string ownerName;
    std::optional<std::string> title;
    bool operator==(const VisualMemoryWindowOwner&) const = default;
};

/// The window list as the source collector needs it; the application adapts its window
/// enumeration to this. Our own windows are never reported.
class VisualMemoryWindowLookup {
public:
    virtual ~VisualMemoryWindowLookup() = default;
    /// The on-screen window with this id, if it still exists.
    virtual std::optional<VisualMemoryWindowOwner> windowWithID(std::uint32_t windowID) const = 0;
    /// The frontmost window containing `point` (window-server coordinates, y down).
    virtual std::optional<VisualMemoryWindowOwner> frontmostWindowAt(Point point) const = 0;
};

/// Where a selection ended: the window it snapped to, if any, and its rectangle.
struct VisualMemorySelection {
    std::optional<std::uint32_t> snappedWindowID;
    /// In window-server coordinates (origin top-left, y down).
    Rect rect;
};

/// Names the application (and window) a capture or a copied item came from. Because our own
/// windows come to the front while the user captures, it remembers the last other application.
class VisualMemorySourceCollector {
public:
    explicit VisualMemorySourceCollector(Workspace& workspace, const VisualMemoryWindowLookup* windows = nullptr);
    ~VisualMemorySourceCollector();
    VisualMemorySourceCollector(const VisualMemorySourceCollector&) = delete;
    VisualMemorySourceCollector& operator=(const VisualMemorySourceCollector&) = delete;

    /// Starts remembering every other application that comes to the front.
    void startTracking();
    void stopTracking();
    /// The front application when it is not us (remembered too); else the last other one; else
    /// the front application (us).
    VisualMemorySource currentSource();
    /// The owner of the window the selection snapped to, else of the window under its centre,
    /// else `fallback`.
    VisualMemorySource sourceForSelection(const VisualMemorySelection& selection,
                                          const VisualMemorySource& fallback) const;

    /// Whether `app` is this application (same process, or "brisklet" in its id or name).
    bool isBrisklet(const RunningApplication& app) const;

private:
    static VisualMemorySource sourceFor(const RunningApplication& app);
    void remember(const RunningApplication& app);

    Workspace& workspace_;
    const VisualMemoryWindowLookup* windows_;
    mutable std::mutex mutex_;
    std::optional<RunningApplication> lastNonBrisklet_;
    bool tracking_ = false;
};

} // namespace brisklet
