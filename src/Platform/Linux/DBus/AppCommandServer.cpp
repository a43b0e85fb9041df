#include "Platform/Linux/DBus/AppCommandServer.h"

#include "Platform/Linux/DBus/AppCommandChannel.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

namespace brisklet {

AppCommandServer::StartResult AppCommandServer::start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return StartResult::noSessionBus;
    }
    if (!bus.registerObject(QString::fromUtf8(AppCommandChannel::objectPath), this,
                            QDBusConnection::ExportAllSlots)) {
        return StartResult::nameTaken;
    }
    // Never queue for the name: a second owner would get every action after we quit.
    const auto reply = bus.interface()->registerService(QString::fromUtf8(AppCommandChannel::serviceName),
                                                        QDBusConnectionInterface::DontQueueService,
                                                        QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid() || reply.value() != QDBusConnectionInterface::ServiceRegistered) {
        bus.unregisterObject(QString::fromUtf8(AppCommandChannel::objectPath));
        return StartResult::nameTaken;
    }
    registered_ = true;
    return StartResult::owned;
}

void AppCommandServer::stop() {
    if (!registered_) {
        return;
    }
    registered_ = false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(QString::fromUtf8(AppCommandChannel::serviceName));
    bus.unregisterObject(QString::fromUtf8(AppCommandChannel::objectPath));
}

bool AppCommandServer::RunAction(const QString& name) {
    return onAction && onAction(name.toStdString());
}

bool AppCommandServer::HandOver(const QStringList& arguments) {
    std::vector<std::string> handed;
    for (const QString& argument : arguments) {
        handed.push_back(argument.toStdString());
    }
    return onHandOver && onHandOver(handed);
}

bool AppCommandServer::DebugNotification(const QString& name) {
    return onDebugNotification && onDebugNotification(name.toStdString());
}

} // namespace brisklet
