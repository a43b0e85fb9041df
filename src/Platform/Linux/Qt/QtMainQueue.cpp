#include "Platform/Linux/Qt/QtMainQueue.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace brisklet {

void QtMainQueue::post(Task task) {
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(task), Qt::QueuedConnection);
}

void QtMainQueue::postAfter(double delaySeconds, Task task) {
    const int delayMs = static_cast<int>(std::clamp(std::ceil(delaySeconds * 1000), 0.0, 2147483647.0));
    auto schedule = [delayMs, task = std::move(task)]() mutable {
        QTimer::singleShot(delayMs, QCoreApplication::instance(), std::move(task));
    };
    // Timers belong to the thread that starts them, so a delayed task from a worker is first
    // handed to the main thread and started there.
    if (isMainThread()) {
        schedule();
    } else {
        post(std::move(schedule));
    }
}

void QtMainQueue::runFor(double seconds) {
    QEventLoop loop;
    const int ms = static_cast<int>(std::clamp(std::ceil(seconds * 1000), 0.0, 2147483647.0));
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool QtMainQueue::isMainThread() const {
    const auto* app = QCoreApplication::instance();
    return app != nullptr && QThread::currentThread() == app->thread();
}

} // namespace brisklet
