#include "Platform/Linux/DBus/AppCommandClient.h"

#include "Platform/Linux/DBus/AppCommandChannel.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QStringList>
#include <QThread>

namespace brisklet {

namespace {

AppCommandClient::Delivery call(const QString& method, const QVariant& argument, int timeoutMs) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return AppCommandClient::Delivery::noSessionBus;
    }
    QDBusMessage message =
        QDBusMessage::createMethodCall(QString::fromUtf8(AppCommandChannel::serviceName),
                                       QString::fromUtf8(AppCommandChannel::objectPath),
                                       QString::fromUtf8(AppCommandChannel::interfaceName), method);
    message << argument;
    const QDBusMessage reply = bus.call(message, QDBus::Block, timeoutMs);
    if (reply.type() == QDBusMessage::ErrorMessage) {
        return reply.errorName() == QStringLiteral("org.freedesktop.DBus.Error.ServiceUnknown")
                   ? AppCommandClient::Delivery::noInstance
                   : AppCommandClient::Delivery::failed;
    }
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return AppCommandClient::Delivery::failed;
    }
    return reply.arguments().front().toBool() ? AppCommandClient::Delivery::delivered
                                              : AppCommandClient::Delivery::unknownAction;
}

} // namespace

bool AppCommandClient::hasSessionBus() {
    return QDBusConnection::sessionBus().isConnected();
}

bool AppCommandClient::isInstanceRunning() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface()->isServiceRegistered(QString::fromUtf8(AppCommandChannel::serviceName));
}

AppCommandClient::Delivery AppCommandClient::sendAction(const std::string& action, int timeoutMs) {
    return call(QStringLiteral("RunAction"), QString::fromStdString(action), timeoutMs);
}

AppCommandClient::Delivery AppCommandClient::handOver(const std::vector<std::string>& arguments, int timeoutMs) {
    QStringList list;
    for (const std::string& argument : arguments) {
        list << QString::fromStdString(argument);
    }
    return call(QStringLiteral("HandOver"), list, timeoutMs);
}

bool AppCommandClient::waitForInstance(double timeoutSeconds) {
    QDeadlineTimer deadline(static_cast<qint64>(timeoutSeconds * 1000));
    while (!deadline.hasExpired()) {
        if (isInstanceRunning()) {
            return true;
        }
        QThread::msleep(50);
    }
    return isInstanceRunning();
}

} // namespace brisklet
