#include "Platform/Linux/Accessibility/AtSpiBusTree.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>

#include <algorithm>
#include <limits>
#include <utility>

namespace brisklet {

namespace {

const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
const QString textInterface = QStringLiteral("org.a11y.atspi.Text");
std::optional<std::vector<AccessibleRef>> references(const QVariant& value) {
    if (!value.canConvert<QDBusArgument>()) {
        return std::nullopt;
    }
    const QDBusArgument argument = value.value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a(so)")) {
        return std::nullopt;
    }
    std::vector<AccessibleRef> objects;
    argument.beginArray();
    while (!argument.atEnd()) {
        QString bus;
        QDBusObjectPath path;
        argument.beginStructure();
        argument >> bus >> path;
        argument.endStructure();
        objects.push_back({bus.toStdString(), path.path().toStdString()});
    }
    argument.endArray();
    return objects;
}

// The Collection interface's match types and sort order (their numbers on the bus).
constexpr int matchAll = 1;
constexpr int matchAny = 2;
constexpr uint sortCanonical = 1;

/// A Collection match rule "(aiia{ss}iaiiasib)" for elements in the focused state, whatever
/// their attributes, roles and interfaces.
QDBusArgument focusedMatchRule() {
    QDBusArgument rule;
    rule.beginStructure();
    rule << QList<int>{1 << AccessibleState::focused, 0} << matchAll;
    rule.beginMap(QMetaType::fromType<QString>(), QMetaType::fromType<QString>());
    rule.endMap();
    rule << matchAny << QList<int>{} << matchAny << QStringList{} << matchAll << false;
    rule.endStructure();
    return rule;
}

std::optional<std::int64_t> integer(const std::optional<QVariantList>& reply, int index = 0) {
    if (!reply || reply->size() <= index) {
        return std::nullopt;
    }
    bool ok = false;
    const qlonglong value = reply->at(index).toLongLong(&ok);
    return ok ? std::optional<std::int64_t>(value) : std::nullopt;
}

} // namespace

AtSpiBusTree::AtSpiBusTree(QDBusConnection connection) : connection_(std::move(connection)) {}

AccessibleRef AtSpiBusTree::desktop() const {
    return {"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"};
}

std::optional<std::vector<AccessibleRef>> AtSpiBusTree::children(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto reply = call(object, accessibleInterface, QStringLiteral("GetChildren"), {}, timeoutMilliseconds);
    if (!reply || reply->isEmpty()) {
        return std::nullopt;
    }
    return references(reply->front());
}

std::optional<std::vector<AccessibleRef>> AtSpiBusTree::focusedDescendants(const AccessibleRef& window,
                                                                           int timeoutMilliseconds) {
    const auto reply = call(window, QStringLiteral("org.a11y.atspi.Collection"), QStringLiteral("GetMatches"),
                            {QVariant::fromValue(focusedMatchRule()), sortCanonical, 1, true}, timeoutMilliseconds);
    if (!reply || reply->isEmpty()) {
        return std::nullopt;
    }
    return references(reply->front());
}

std::optional<AccessibleStates> AtSpiBusTree::states(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto reply = call(object, accessibleInterface, QStringLiteral("GetState"), {}, timeoutMilliseconds);
    if (!reply || reply->isEmpty()) {
        return std::nullopt;
    }
    const QList<uint> words = qdbus_cast<QList<uint>>(reply->front());
    AccessibleStates states;
    for (qsizetype index = 0; index < words.size() && index < 2; ++index) {
        states.bits |= static_cast<std::uint64_t>(words[index]) << (32 * index);
    }
    return states;
}

std::optional<std::uint32_t> AtSpiBusTree::role(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto value = integer(call(object, accessibleInterface, QStringLiteral("GetRole"), {}, timeoutMilliseconds));
    return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
}

std::optional<std::int64_t> AtSpiBusTree::processId(const std::string& bus, int timeoutMilliseconds) {
    const AccessibleRef daemon{"org.freedesktop.DBus", "/org/freedesktop/DBus"};
    return integer(call(daemon, QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetConnectionUnixProcessID"),
                        {QString::fromStdString(bus)}, timeoutMilliseconds));
}

std::optional<int> AtSpiBusTree::selectionCount(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto count = integer(call(object, textInterface, QStringLiteral("GetNSelections"), {}, timeoutMilliseconds));
    if (!count || *count < 0) {
        return std::nullopt;
    }
    return static_cast<int>(std::min<std::int64_t>(*count, std::numeric_limits<int>::max()));
}

std::optional<TextRange> AtSpiBusTree::selection(const AccessibleRef& object, int index, int timeoutMilliseconds) {
    const auto reply = call(object, textInterface, QStringLiteral("GetSelection"), {index}, timeoutMilliseconds);
    const auto start = integer(reply, 0);
    const auto end = integer(reply, 1);
    if (!start || !end) {
        return std::nullopt;
    }
    return TextRange{static_cast<int>(*start), static_cast<int>(*end)};
}

std::optional<std::string> AtSpiBusTree::text(const AccessibleRef& object, TextRange range, int timeoutMilliseconds) {
    const auto reply =
        call(object, textInterface, QStringLiteral("GetText"), {range.start, range.end}, timeoutMilliseconds);
    if (!reply || reply->isEmpty() || reply->front().typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return reply->front().toString().toStdString();
}

std::optional<QVariantList> AtSpiBusTree::call(const AccessibleRef& object, const QString& interface,
                                               const QString& method, const QVariantList& arguments,
                                               int timeoutMilliseconds) {
    if (timeoutMilliseconds <= 0 || !connection_.isConnected()) {
        return std::nullopt;
    }
    QDBusMessage message = QDBusMessage::createMethodCall(QString::fromStdString(object.bus),
                                                          QString::fromStdString(object.path), interface, method);
    message.setArguments(arguments);
    const QDBusMessage reply = connection_.call(message, QDBus::Block, timeoutMilliseconds);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return std::nullopt;
    }
    return reply.arguments();
}

} // namespace brisklet
