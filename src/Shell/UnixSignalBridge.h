#pragma once

#include <QObject>

#include <functional>

class QSocketNotifier;

namespace brisklet {

/// Turns SIGTERM, SIGINT and SIGHUP into a call on the main thread, so the application ends
/// through its normal tear-down instead of dying with unsaved work.
class UnixSignalBridge final : public QObject {
public:
    explicit UnixSignalBridge(std::function<void(int signal)> handler);
    ~UnixSignalBridge() override;

private:
    void readSignal();

    std::function<void(int)> handler_;
    QSocketNotifier* notifier_ = nullptr;
};

} // namespace brisklet
