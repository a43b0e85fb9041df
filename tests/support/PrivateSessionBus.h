#pragma once

#include <string>
#include <sys/types.h>

namespace brisklet::testing {

/// A private D-Bus session bus for the length of a test program: `dbus-daemon --session` with
/// the system's activatable services (the accessibility bus launcher among them), so tests never
/// touch the user's session. `address()` is empty when dbus-daemon is missing or did not start.
class PrivateSessionBus {
public:
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    /// The address to put in DBUS_SESSION_BUS_ADDRESS, or empty when there is no bus.
    const std::string& address() const { return address_; }

private:
    pid_t pid_ = -1;
    std::string address_;
};

} // namespace brisklet::testing
