#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

namespace brisklet {

/// The running application's end of the command channel: owns the bus name and answers
/// RunAction, HandOver and DebugNotification on the main thread.
class AppCommandServer final : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.brisklet.Brisklet")

public:
    enum class StartResult { owned, nameTaken, noSessionBus };

    StartResult start();
    void stop();

    /// False = unknown action name.
    std::function<bool(const std::string& action)> onAction;
    std::function<bool(const std::vector<std::string>& arguments)> onHandOver;
    std::function<bool(const std::string& name)> onDebugNotification;

public slots:
    bool RunAction(const QString& name);
    bool HandOver(const QStringList& arguments);
    bool DebugNotification(const QString& name);

private:
    bool registered_ = false;
};

} // namespace brisklet
