#include "Platform/Linux/Accessibility/AtSpiBusTree.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QMap>

#include <algorithm>
#include <limits>
#include <utility>

namespace brisklet {

namespace {

const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
const QString textInterface = QStringLiteral("org.a11y.atspi.Text");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

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

std::optional<std::string> stringReply(const std::optional<QVariantList>& reply) {
    if (!reply || reply->isEmpty() || reply->front().typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return reply->front().toString().toStdString();
}

/// An "a{ss}" answer.
std::optional<AccessibleAttributes> attributeMap(const std::optional<QVariantList>& reply) {
    if (!reply || reply->isEmpty() || !reply->front().canConvert<QDBusArgument>()) {
        return std::nullopt;
    }
    const QDBusArgument argument = reply->front().value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("a{ss}")) {
        return std::nullopt;
    }
    const auto map = qdbus_cast<QMap<QString, QString>>(argument);
    AccessibleAttributes attributes;
    for (auto entry = map.cbegin(); entry != map.cend(); ++entry) {
        attributes.emplace(entry.key().toStdString(), entry.value().toStdString());
    }
    return attributes;
}

// Component.GetExtents' coordinate type for the whole screen.
constexpr uint screenCoordinates = 0;

std::string questionKey(const AccessibleRef& object, const QString& interface, const QString& method,
                        const QVariantList& arguments) {
    std::string key = object.bus + '\n' + object.path + '\n' + interface.toStdString() + '\n' + method.toStdString();
    for (const auto& argument : arguments) {
        key += '\n' + argument.toString().toStdString();
    }
    return key;
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
    return stringReply(
        call(object, textInterface, QStringLiteral("GetText"), {range.start, range.end}, timeoutMilliseconds));
}

std::optional<std::string> AtSpiBusTree::name(const AccessibleRef& object, int timeoutMilliseconds) {
    return stringProperty(object, QStringLiteral("Name"), timeoutMilliseconds);
}

std::optional<std::string> AtSpiBusTree::description(const AccessibleRef& object, int timeoutMilliseconds) {
    return stringProperty(object, QStringLiteral("Description"), timeoutMilliseconds);
}

std::optional<std::string> AtSpiBusTree::helpText(const AccessibleRef& object, int timeoutMilliseconds) {
    return stringProperty(object, QStringLiteral("HelpText"), timeoutMilliseconds);
}

std::optional<std::string> AtSpiBusTree::roleName(const AccessibleRef& object, int timeoutMilliseconds) {
    return stringReply(call(object, accessibleInterface, QStringLiteral("GetRoleName"), {}, timeoutMilliseconds));
}

std::optional<AccessibleInterfaces> AtSpiBusTree::interfaces(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto reply = call(object, accessibleInterface, QStringLiteral("GetInterfaces"), {}, timeoutMilliseconds);
    if (!reply || reply->isEmpty() || !reply->front().canConvert<QStringList>()) {
        return std::nullopt;
    }
    const QStringList names = reply->front().toStringList();
    const auto has = [&names](const char* name) { return names.contains(QLatin1String(name)); };
    return AccessibleInterfaces{has("org.a11y.atspi.Text"), has("org.a11y.atspi.Value"),
                                has("org.a11y.atspi.Component"), has("org.a11y.atspi.Document")};
}

std::optional<AccessibleAttributes> AtSpiBusTree::attributes(const AccessibleRef& object, int timeoutMilliseconds) {
    return attributeMap(call(object, accessibleInterface, QStringLiteral("GetAttributes"), {}, timeoutMilliseconds));
}

std::optional<ScreenExtents> AtSpiBusTree::extents(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto reply = call(object, QStringLiteral("org.a11y.atspi.Component"), QStringLiteral("GetExtents"),
                            {screenCoordinates}, timeoutMilliseconds);
    if (!reply || reply->isEmpty() || !reply->front().canConvert<QDBusArgument>()) {
        return std::nullopt;
    }
    const QDBusArgument argument = reply->front().value<QDBusArgument>();
    if (argument.currentSignature() != QLatin1String("(iiii)")) {
        return std::nullopt;
    }
    ScreenExtents extents;
    argument.beginStructure();
    argument >> extents.x >> extents.y >> extents.width >> extents.height;
    argument.endStructure();
    return extents;
}

std::optional<double> AtSpiBusTree::currentValue(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto value =
        property(object, QStringLiteral("org.a11y.atspi.Value"), QStringLiteral("CurrentValue"), timeoutMilliseconds);
    if (!value || value->typeId() != QMetaType::Double) {
        return std::nullopt;
    }
    return value->toDouble();
}

std::optional<AccessibleAttributes> AtSpiBusTree::documentAttributes(const AccessibleRef& object,
                                                                     int timeoutMilliseconds) {
    return attributeMap(call(object, QStringLiteral("org.a11y.atspi.Document"), QStringLiteral("GetAttributes"), {},
                             timeoutMilliseconds));
}

std::optional<QVariant> AtSpiBusTree::property(const AccessibleRef& object, const QString& interface,
                                               const QString& name, int timeoutMilliseconds) {
    const auto reply = call(object, propertiesInterface, QStringLiteral("Get"), {interface, name}, timeoutMilliseconds);
    if (!reply || reply->isEmpty() || !reply->front().canConvert<QDBusVariant>()) {
        return std::nullopt;
    }
    return qvariant_cast<QDBusVariant>(reply->front()).variant();
}

std::optional<std::string> AtSpiBusTree::stringProperty(const AccessibleRef& object, const QString& name,
                                                        int timeoutMilliseconds) {
    const auto value = property(object, accessibleInterface, name, timeoutMilliseconds);
    if (!value || value->typeId() != QMetaType::QString) {
        return std::nullopt;
    }
    return value->toString().toStdString();
}

std::optional<QVariantList> AtSpiBusTree::call(const AccessibleRef& object, const QString& interface,
                                               const QString& method, const QVariantList& arguments,
                                               int timeoutMilliseconds) {
    if (timeoutMilliseconds <= 0 || !connection_.isConnected()) {
        return std::nullopt;
    }
    QDBusMessage reply;
    if (const auto found = prefetched_.find(questionKey(object, interface, method, arguments));
        found != prefetched_.end()) {
        reply = std::move(found->second);
        prefetched_.erase(found);
    } else {
        QDBusMessage message = QDBusMessage::createMethodCall(QString::fromStdString(object.bus),
                                                              QString::fromStdString(object.path), interface, method);
        message.setArguments(arguments);
        reply = connection_.call(message, QDBus::Block, timeoutMilliseconds);
    }
    if (reply.type() != QDBusMessage::ReplyMessage) {
        return std::nullopt;
    }
    return reply.arguments();
}

void AtSpiBusTree::prefetch(const std::vector<AccessibleRef>& objects, int timeoutMilliseconds) {
    if (timeoutMilliseconds <= 0 || !connection_.isConnected() || objects.empty()) {
        return;
    }
    // What every element is asked: who it is, what it can do and its children. The name and
    // description go one property at a time, as `property` explains.
    std::vector<Question> first;
    first.reserve(objects.size() * 6);
    for (const auto& object : objects) {
        first.push_back({object, accessibleInterface, QStringLiteral("GetRole"), {}});
        first.push_back({object, propertiesInterface, QStringLiteral("Get"), {accessibleInterface, QStringLiteral("Name")}});
        first.push_back(
            {object, propertiesInterface, QStringLiteral("Get"), {accessibleInterface, QStringLiteral("Description")}});
        first.push_back({object, accessibleInterface, QStringLiteral("GetAttributes"), {}});
        first.push_back({object, accessibleInterface, QStringLiteral("GetInterfaces"), {}});
        first.push_back({object, accessibleInterface, QStringLiteral("GetChildren"), {}});
    }
    askTogether(first, timeoutMilliseconds);
    // Then what only some can tell: their text and selection, and where they are. Password
    // fields, by role or by name, are not asked for their text.
    std::vector<Question> second;
    for (const auto& object : objects) {
        const auto found = prefetched_.find(questionKey(object, accessibleInterface, QStringLiteral("GetInterfaces"), {}));
        if (found == prefetched_.end() || found->second.type() != QDBusMessage::ReplyMessage ||
            found->second.arguments().isEmpty()) {
            continue;
        }
        const QStringList names = found->second.arguments().front().toStringList();
        std::uint32_t role = 0;
        if (const auto roleReply = prefetched_.find(questionKey(object, accessibleInterface, QStringLiteral("GetRole"), {}));
            roleReply != prefetched_.end() && roleReply->second.type() == QDBusMessage::ReplyMessage &&
            !roleReply->second.arguments().isEmpty()) {
            role = roleReply->second.arguments().front().toUInt();
        }
        if (names.contains(textInterface) && role != passwordTextRole && !namedAsSecret(object)) {
            second.push_back({object, textInterface, QStringLiteral("GetText"), {0, -1}});
            second.push_back({object, textInterface, QStringLiteral("GetNSelections"), {}});
        }
        if (names.contains(QStringLiteral("org.a11y.atspi.Component"))) {
            second.push_back({object, QStringLiteral("org.a11y.atspi.Component"), QStringLiteral("GetExtents"),
                              {screenCoordinates}});
        }
    }
    askTogether(second, timeoutMilliseconds);
}

bool AtSpiBusTree::namedAsSecret(const AccessibleRef& object) const {
    const auto found = prefetched_.find(
        questionKey(object, propertiesInterface, QStringLiteral("Get"), {accessibleInterface, QStringLiteral("Name")}));
    if (found == prefetched_.end() || found->second.type() != QDBusMessage::ReplyMessage ||
        found->second.arguments().isEmpty()) {
        return false;
    }
    const QString name = qvariant_cast<QDBusVariant>(found->second.arguments().front()).variant().toString();
    return name.contains(QStringLiteral("password"), Qt::CaseInsensitive) || name.contains(QStringLiteral("密码"));
}

void AtSpiBusTree::askTogether(const std::vector<Question>& questions, int timeoutMilliseconds) {
    std::vector<std::pair<std::string, QDBusPendingCall>> pending;
    pending.reserve(questions.size());
    for (const auto& question : questions) {
        QDBusMessage message = QDBusMessage::createMethodCall(QString::fromStdString(question.object.bus),
                                                              QString::fromStdString(question.object.path),
                                                              question.interface, question.method);
        message.setArguments(question.arguments);
        pending.emplace_back(questionKey(question.object, question.interface, question.method, question.arguments),
                             connection_.asyncCall(message, timeoutMilliseconds));
    }
    for (auto& [key, call] : pending) {
        call.waitForFinished();
        prefetched_.insert_or_assign(key, call.reply());
    }
}

} // namespace brisklet
