#include "Platform/Linux/Accessibility/AtSpiBusConnection.h"

#include "Platform/Linux/Accessibility/AtSpiWire.h"
#include "Platform/Linux/Accessibility/FocusedSelectionFinder.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <optional>
#include <utility>

namespace brisklet {

namespace {

/// Where the accessibility bus listens: set in the environment by some sessions, else told by
/// the bus launcher on the session bus.
std::optional<QString> accessibilityBusAddress(int timeoutMilliseconds) {
    const QString fromEnvironment = qEnvironmentVariable("AT_SPI_BUS_ADDRESS");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment;
    }
    QDBusConnection session = QDBusConnection::sessionBus();
    if (!session.isConnected() || timeoutMilliseconds <= 0) {
        return std::nullopt;
    }
    const QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                       QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
    const QDBusMessage reply = session.call(call, QDBus::Block, timeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::nullopt;
    }
    const QString address = reply.arguments().front().toString();
    return address.isEmpty() ? std::nullopt : std::optional<QString>(address);
}

} // namespace

AtSpiBusConnection::AtSpiBusConnection() = default;

AtSpiBusConnection::~AtSpiBusConnection() = default;

bool AtSpiBusConnection::connect(const Clock& clock, double deadline) const {
    if (wire_ && wire_->isConnected()) {
        return true;
    }
    // A connection that dropped (the bus restarted) is replaced by a new one.
    wire_.reset();
    const auto address = accessibilityBusAddress(FocusedSelectionFinder::millisecondsUntil(clock, deadline));
    if (!address) {
        return false;
    }
    auto wire = std::make_unique<AtSpiWire>(address->toStdString());
    if (!wire->isConnected()) {
        return false;
    }
    wire_ = std::move(wire);
    return true;
}

} // namespace brisklet
