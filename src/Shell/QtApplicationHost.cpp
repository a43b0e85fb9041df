#include "Shell/QtApplicationHost.h"

#include "Shell/ProcRunningProcesses.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QIcon>
#include <QTimer>
#include <QUrl>
#include <QWidget>

#include <cstdlib>
#include <unistd.h>

namespace brisklet {

QtApplicationHost::QtApplicationHost(std::function<void()> requestQuit) : requestQuit_(std::move(requestQuit)) {}

void QtApplicationHost::setActivationPolicy(ActivationPolicy policy) {
    // Tray-only windows skip the taskbar themselves (their window flags); the policy decides how
    // the editor presents itself, which reads it from here.
    policy_ = policy;
}

void QtApplicationHost::activate() {
    if (QWidget* window = QApplication::activeWindow()) {
        window->raise();
        window->activateWindow();
    }
}

void QtApplicationHost::terminate() {
    // Never end the loop from inside a caller's stack: the tear-down runs once the loop is back.
    QTimer::singleShot(0, [quit = requestQuit_] { quit(); });
}

bool QtApplicationHost::loadApplicationIcon() {
    const QIcon icon(QStringLiteral(":/icons/brisklet.svg"));
    if (icon.availableSizes().isEmpty() && icon.pixmap(64, 64).isNull()) {
        return false;
    }
    QApplication::setWindowIcon(icon);
    return true;
}

bool QtApplicationHost::hasVisibleWindow() const {
    const auto windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](const QWidget* window) {
        return window->isVisible() && !(window->windowFlags() & Qt::ToolTip) && window->windowType() != Qt::Popup;
    });
}

std::int32_t QtApplicationHost::currentProcessIdentifier() const {
    return static_cast<std::int32_t>(::getpid());
}

std::optional<std::filesystem::path> QtApplicationHost::currentExecutable() const {
    return currentExecutablePath();
}

std::vector<RunningProcess> QtApplicationHost::runningProcesses() const {
    return listRunningProcesses();
}

std::optional<std::string> QtApplicationHost::currentSession() const {
    const char* display = std::getenv("DISPLAY");
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    return sessionKey(display ? display : "", bus ? bus : "");
}

void QtApplicationHost::openFile(const std::filesystem::path& file) {
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())))) {
        RuntimeLogger::log("open file failed url=" + file.string());
    }
}

void QtApplicationHost::revealInFileViewer(const std::filesystem::path& file) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(QString::fromStdString(file.string())).toString()} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        // No file manager offers the selection service: open the folder instead.
        openFile(file.parent_path());
    }
}

} // namespace brisklet
