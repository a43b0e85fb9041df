#include "Platform/Linux/Desktop/LinuxPrivacyPermissions.h"

#include "Platform/Linux/Desktop/CurrentDesktop.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>
#include <QStringList>

#include <xcb/xcb.h>

#include <cstdlib>
#include <optional>

namespace brisklet {

namespace {

const QString a11yService = QStringLiteral("org.a11y.Bus");
const QString a11yPath = QStringLiteral("/org/a11y/bus");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString statusInterface = QStringLiteral("org.a11y.Status");
const QString enabledProperty = QStringLiteral("IsEnabled");

/// org.a11y.Status IsEnabled, or nothing when the bus or the launcher does not answer.
std::optional<bool> readAccessibilityEnabled() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return std::nullopt;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(a11yService, a11yPath, propertiesInterface, QStringLiteral("Get"));
    call << statusInterface << enabledProperty;
    // A direct call rather than a QDBusInterface: that one introspects first, a second round
    // trip on the main thread.
    const QDBusMessage reply = bus.call(call, QDBus::Block, LinuxPrivacyPermissions::busTimeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return std::nullopt;
    }
    const QVariant value = qvariant_cast<QDBusVariant>(reply.arguments().front()).variant();
    if (value.typeId() != QMetaType::Bool) {
        return std::nullopt;
    }
    return value.toBool();
}

void writeAccessibilityEnabled() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(a11yService, a11yPath, propertiesInterface, QStringLiteral("Set"));
    call << statusInterface << enabledProperty << QVariant::fromValue(QDBusVariant(QVariant(true)));
    bus.call(call, QDBus::Block, LinuxPrivacyPermissions::busTimeoutMilliseconds);
}

using Command = LinuxPrivacyPermissions::Command;

std::vector<Command> gnomeCommands(AppPermission permission, const LinuxPrivacyPermissions::GnomePanelLookup& has) {
    // Panel names moved between GNOME releases ("privacy" is a panel again from 44 on;
    // "universal-access" became "accessibility"), so ask which ones are installed.
    const std::vector<std::string> panels = permission == AppPermission::accessibility
                                                ? std::vector<std::string>{"universal-access", "accessibility"}
                                                : std::vector<std::string>{"privacy"};
    for (const std::string& panel : panels) {
        if (has(panel)) {
            return {{"gnome-control-center", panel}};
        }
    }
    return {{"gnome-control-center"}};
}

std::vector<Command> kdeCommands(AppPermission permission) {
    if (permission == AppPermission::accessibility) {
        return {{"systemsettings", "kcm_access"}, {"systemsettings5", "kcm_access"}};
    }
    // Plasma on X11 has no screen-capture permission page; its settings' start page is the
    // closest there is.
    return {{"systemsettings"}, {"systemsettings5"}};
}

std::vector<Command> xfceCommands(AppPermission permission) {
    if (permission == AppPermission::accessibility) {
        return {{"xfce4-accessibility-settings"}, {"xfce4-settings-manager"}};
    }
    return {{"xfce4-settings-manager"}};
}

std::vector<Command> mateCommands(AppPermission permission) {
    if (permission == AppPermission::accessibility) {
        return {{"mate-at-properties"}, {"mate-control-center"}};
    }
    return {{"mate-control-center"}};
}

std::vector<Command> cinnamonCommands(AppPermission permission) {
    return {{"cinnamon-settings", permission == AppPermission::accessibility ? "accessibility" : "privacy"}};
}

bool hasInstalledGnomePanel(std::string_view panel) {
    const QString file = QStringLiteral("gnome-%1-panel.desktop").arg(QString::fromUtf8(panel.data(), panel.size()));
    return !QStandardPaths::locate(QStandardPaths::ApplicationsLocation, file).isEmpty();
}

} // namespace

LinuxPrivacyPermissions::LinuxPrivacyPermissions(std::string displayName) : displayName_(std::move(displayName)) {}

bool LinuxPrivacyPermissions::screenCapturePreflight() const {
    xcb_connection_t* connection = xcb_connect(displayName_.empty() ? nullptr : displayName_.c_str(), nullptr);
    // xcb_connect never returns null: a failed connection is an error object that still wants
    // xcb_disconnect.
    const bool connected = connection && xcb_connection_has_error(connection) == 0;
    if (connection) {
        xcb_disconnect(connection);
    }
    return connected;
}

bool LinuxPrivacyPermissions::isAccessibilityTrusted() const {
    return readAccessibilityEnabled().value_or(false);
}

bool LinuxPrivacyPermissions::requestAccessibilityTrust() {
    writeAccessibilityEnabled();
    return isAccessibilityTrusted();
}

std::vector<LinuxPrivacyPermissions::Command>
LinuxPrivacyPermissions::privacySettingsCommands(AppPermission permission, std::string_view currentDesktop,
                                                 const GnomePanelLookup& hasGnomePanel) {
    // Desktops built on GNOME list it after their own name ("X-Cinnamon", "Budgie:GNOME"), so
    // the others are checked first.
    if (currentDesktopIncludes(currentDesktop, "KDE")) {
        return kdeCommands(permission);
    }
    if (currentDesktopIncludes(currentDesktop, "XFCE")) {
        return xfceCommands(permission);
    }
    if (currentDesktopIncludes(currentDesktop, "MATE")) {
        return mateCommands(permission);
    }
    if (currentDesktopIncludes(currentDesktop, "X-Cinnamon") || currentDesktopIncludes(currentDesktop, "Cinnamon")) {
        return cinnamonCommands(permission);
    }
    if (currentDesktopIncludes(currentDesktop, "GNOME") || currentDesktopIncludes(currentDesktop, "Unity")) {
        return gnomeCommands(permission, hasGnomePanel);
    }
    std::vector<Command> every = gnomeCommands(permission, hasGnomePanel);
    for (auto&& commands :
         {kdeCommands(permission), xfceCommands(permission), mateCommands(permission), cinnamonCommands(permission)}) {
        every.insert(every.end(), commands.begin(), commands.end());
    }
    return every;
}

bool LinuxPrivacyPermissions::openPrivacySettings(AppPermission permission) {
    const char* desktop = std::getenv("XDG_CURRENT_DESKTOP");
    for (const Command& command : privacySettingsCommands(permission, desktop ? desktop : "", hasInstalledGnomePanel)) {
        const QString program = QString::fromStdString(command.front());
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            continue;
        }
        QStringList arguments;
        for (std::size_t index = 1; index < command.size(); ++index) {
            arguments << QString::fromStdString(command[index]);
        }
        if (QProcess::startDetached(program, arguments)) {
            return true;
        }
    }
    return false;
}

std::filesystem::path LinuxPrivacyPermissions::bundlePath() const {
    std::error_code error;
    std::filesystem::path path = std::filesystem::canonical("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

} // namespace brisklet
