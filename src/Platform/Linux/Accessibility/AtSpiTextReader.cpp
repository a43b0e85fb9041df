#include "Platform/Linux/Accessibility/AtSpiTextReader.h"

#include "Platform/Linux/Accessibility/AtSpiBusTree.h"

#include <QDBusConnection>
#include <QDBusMessage>

#include <unistd.h>

#include <optional>

namespace brisklet {

namespace {

const QString connectionName = QStringLiteral("brisklet-accessibility");

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

AtSpiTextReader::AtSpiTextReader(const Clock& clock, FocusedSelectionFinder::Limits limits)
    : clock_(clock), limits_(limits) {}

AtSpiTextReader::~AtSpiTextReader() {
    QDBusConnection::disconnectFromBus(connectionName);
}

AccessibleSelection AtSpiTextReader::focusedSelection() const {
    const double start = clock_.monotonicSeconds();
    const double deadline = start + limits_.seconds;
    if (!connect(deadline)) {
        return AccessibleSelection{AccessibleSelection::Outcome::busUnavailable, {}, 0};
    }
    AtSpiBusTree tree{QDBusConnection(connectionName)};
    FocusedSelectionFinder::Limits remaining = limits_;
    remaining.seconds = deadline - clock_.monotonicSeconds();
    return FocusedSelectionFinder(tree, clock_, static_cast<std::int64_t>(::getpid()), remaining).find();
}

bool AtSpiTextReader::connect(double deadline) const {
    if (QDBusConnection(connectionName).isConnected()) {
        return true;
    }
    // A connection that dropped (the bus restarted) keeps its name until it is released.
    QDBusConnection::disconnectFromBus(connectionName);
    const auto address = accessibilityBusAddress(FocusedSelectionFinder::millisecondsUntil(clock_, deadline));
    if (!address) {
        return false;
    }
    return QDBusConnection::connectToBus(*address, connectionName).isConnected();
}

} // namespace brisklet
