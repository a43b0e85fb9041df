#pragma once

#include "Platform/Clock.h"

#include <QDBusConnection>
#include <QString>

namespace brisklet {

/// One private, named connection to the accessibility bus, opened on first use and kept while
/// this object lives: the bus's address comes from $AT_SPI_BUS_ADDRESS or from the session bus's
/// org.a11y.Bus (which starts the bus when it is not running yet). Each reader owns its own
/// name, so closing one never drops another's connection.
class AtSpiBusConnection {
public:
    explicit AtSpiBusConnection(QString name);
    ~AtSpiBusConnection();
    AtSpiBusConnection(const AtSpiBusConnection&) = delete;
    AtSpiBusConnection& operator=(const AtSpiBusConnection&) = delete;

    /// Whether the connection is up, connecting when it is not; asking for the address waits at
    /// most until `deadline` (monotonic seconds of `clock`).
    bool connect(const Clock& clock, double deadline) const;
    QDBusConnection connection() const { return QDBusConnection(name_); }

private:
    QString name_;
};

} // namespace brisklet
