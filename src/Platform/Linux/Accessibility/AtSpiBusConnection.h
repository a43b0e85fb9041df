#pragma once

#include "Platform/Clock.h"

#include <memory>
#include <mutex>

namespace brisklet {

class AtSpiWire;

/// One private connection to the accessibility bus, opened on first use and kept while this
/// object lives: the bus's address comes from $AT_SPI_BUS_ADDRESS or from the session bus's
/// org.a11y.Bus (which starts the bus when it is not running yet). Each reader owns its own
/// connection, so closing one never drops another's.
class AtSpiBusConnection {
public:
    AtSpiBusConnection();
    ~AtSpiBusConnection();
    AtSpiBusConnection(const AtSpiBusConnection&) = delete;
    AtSpiBusConnection& operator=(const AtSpiBusConnection&) = delete;

    /// Whether the connection is up, connecting when it is not; asking for the address waits at
    /// most until `deadline` (monotonic seconds of `clock`).
    bool connect(const Clock& clock, double deadline) const;
    /// The connection; only used after `connect` said it is up.
    AtSpiWire& connection() const { return *wire_; }
    /// Held while the connection is used: it serves one thread at a time.
    std::mutex& mutex() const { return mutex_; }

private:
    mutable std::unique_ptr<AtSpiWire> wire_;
    mutable std::mutex mutex_;
};

} // namespace brisklet
