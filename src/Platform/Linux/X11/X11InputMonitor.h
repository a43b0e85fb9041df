#pragma once

#include "Platform/InputMonitor.h"

#include <memory>
#include <string>
#include <thread>

namespace brisklet {

class MainQueue;

/// Global pointer motion and left clicks on X11, whichever client has focus, from XInput 2 raw
/// events (RawMotion, RawButtonPress) selected on the root window for the master devices. Raw
/// events carry device deltas rather than positions, so each batch of them is answered by asking
/// the server where the pointer is; a burst of motion becomes one move. A reader thread with its
/// own connection waits for the events and posts the handler calls to the main queue.
///
/// Root pixels map to the global desktop space through the box the screens span, whose top-left
/// corner is the root window's origin (as still captures map them), read when monitoring starts.
class X11InputMonitor final : public InputMonitor {
public:
    /// Watches `displayName` (empty: $DISPLAY) and delivers events on `mainQueue`.
    explicit X11InputMonitor(MainQueue& mainQueue, std::string displayName = {});
    ~X11InputMonitor() override;
    X11InputMonitor(const X11InputMonitor&) = delete;
    X11InputMonitor& operator=(const X11InputMonitor&) = delete;

    void start(PointHandler onMove, PointHandler onLeftButtonDown) override;
    void stop() override;
    Point currentLocation() const override;

    /// Whether monitoring started: false before `start`, after `stop`, and when the display or its
    /// XInput 2 extension is missing (the location can still be asked for then). A display lost
    /// later ends the delivery without changing this.
    bool isMonitoring() const { return reader_.joinable(); }

private:
    struct Handlers;
    struct Connection;
    struct ReaderSetup;

    MainQueue& mainQueue_;
    std::string displayName_;
    /// For `currentLocation`, on the main thread.
    std::unique_ptr<Connection> pointer_;
    /// Owned here; the reader's posted calls hold a weak reference, so dropping it silences them.
    std::shared_ptr<Handlers> handlers_;
    std::thread reader_;
    /// Written to wake the reader when it must stop.
    int wakeFd_ = -1;
};

} // namespace brisklet
