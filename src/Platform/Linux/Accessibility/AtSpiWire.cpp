#include "Platform/Linux/Accessibility/AtSpiWire.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <string_view>
#include <utility>

namespace brisklet {

namespace {

// The Collection interface's match types (their numbers on the bus).
constexpr dbus_int32_t matchAll = 1;
constexpr dbus_int32_t matchAny = 2;

bool appendInt32Array(DBusMessageIter* into, const std::vector<dbus_int32_t>& values) {
    DBusMessageIter array;
    if (!dbus_message_iter_open_container(into, DBUS_TYPE_ARRAY, DBUS_TYPE_INT32_AS_STRING, &array)) {
        return false;
    }
    for (dbus_int32_t value : values) {
        dbus_message_iter_append_basic(&array, DBUS_TYPE_INT32, &value);
    }
    return dbus_message_iter_close_container(into, &array);
}

/// "(aiia{ss}iaiiasib)": the states wanted (all of them), then no attribute, role or interface
/// condition, in canonical order.
bool appendMatchRule(DBusMessageIter* into, const AtSpiStateMatchRule& rule) {
    DBusMessageIter structure;
    DBusMessageIter map;
    DBusMessageIter strings;
    const dbus_int32_t all = matchAll;
    const dbus_int32_t any = matchAny;
    const dbus_bool_t noInvert = FALSE;
    return dbus_message_iter_open_container(into, DBUS_TYPE_STRUCT, nullptr, &structure) &&
           appendInt32Array(&structure, {static_cast<dbus_int32_t>(rule.states & 0xFFFFFFFFu),
                                         static_cast<dbus_int32_t>(rule.states >> 32)}) &&
           dbus_message_iter_append_basic(&structure, DBUS_TYPE_INT32, &all) &&
           dbus_message_iter_open_container(&structure, DBUS_TYPE_ARRAY, "{ss}", &map) &&
           dbus_message_iter_close_container(&structure, &map) &&
           dbus_message_iter_append_basic(&structure, DBUS_TYPE_INT32, &any) && appendInt32Array(&structure, {}) &&
           dbus_message_iter_append_basic(&structure, DBUS_TYPE_INT32, &any) &&
           dbus_message_iter_open_container(&structure, DBUS_TYPE_ARRAY, DBUS_TYPE_STRING_AS_STRING, &strings) &&
           dbus_message_iter_close_container(&structure, &strings) &&
           dbus_message_iter_append_basic(&structure, DBUS_TYPE_INT32, &all) &&
           dbus_message_iter_append_basic(&structure, DBUS_TYPE_BOOLEAN, &noInvert) &&
           dbus_message_iter_close_container(into, &structure);
}

bool appendArgument(DBusMessageIter* into, const AtSpiArgument& argument) {
    if (const auto* text = std::get_if<std::string>(&argument)) {
        // libdbus refuses (and warns about) strings that are not UTF-8.
        if (!dbus_validate_utf8(text->c_str(), nullptr)) {
            return false;
        }
        const char* value = text->c_str();
        return dbus_message_iter_append_basic(into, DBUS_TYPE_STRING, &value);
    }
    if (const auto* number = std::get_if<std::int32_t>(&argument)) {
        const dbus_int32_t value = *number;
        return dbus_message_iter_append_basic(into, DBUS_TYPE_INT32, &value);
    }
    if (const auto* number = std::get_if<std::uint32_t>(&argument)) {
        const dbus_uint32_t value = *number;
        return dbus_message_iter_append_basic(into, DBUS_TYPE_UINT32, &value);
    }
    if (const auto* flag = std::get_if<bool>(&argument)) {
        const dbus_bool_t value = *flag ? TRUE : FALSE;
        return dbus_message_iter_append_basic(into, DBUS_TYPE_BOOLEAN, &value);
    }
    return appendMatchRule(into, std::get<AtSpiStateMatchRule>(argument));
}

/// The call as a message, or null when an application told us a name or path the bus would
/// refuse (libdbus would otherwise warn, or abort in a debug build).
DBusMessage* methodCall(const AtSpiQuestion& question) {
    if (!dbus_validate_bus_name(question.bus.c_str(), nullptr) || !dbus_validate_path(question.path.c_str(), nullptr) ||
        !dbus_validate_interface(question.interface.c_str(), nullptr) ||
        !dbus_validate_member(question.method.c_str(), nullptr)) {
        return nullptr;
    }
    DBusMessage* message = dbus_message_new_method_call(question.bus.c_str(), question.path.c_str(),
                                                        question.interface.c_str(), question.method.c_str());
    if (!message) {
        return nullptr;
    }
    // An application that has gone must not be started again by asking it something.
    dbus_message_set_auto_start(message, FALSE);
    DBusMessageIter arguments;
    dbus_message_iter_init_append(message, &arguments);
    for (const auto& argument : question.arguments) {
        if (!appendArgument(&arguments, argument)) {
            dbus_message_unref(message);
            return nullptr;
        }
    }
    return message;
}

/// Drops the signals sent to us unasked, which would otherwise pile up unread.
void discardUnasked(DBusConnection* connection) {
    while (dbus_connection_dispatch(connection) == DBUS_DISPATCH_DATA_REMAINS) {
    }
}

void closeConnection(DBusConnection* connection) {
    if (connection) {
        dbus_connection_close(connection);
        dbus_connection_unref(connection);
    }
}

DBusMessage* onlyReplies(DBusMessage* message) {
    if (message && dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_RETURN) {
        dbus_message_unref(message);
        return nullptr;
    }
    return message;
}

} // namespace

AtSpiAnswer::AtSpiAnswer(DBusMessage* reply) : reply_(onlyReplies(reply)) {}

AtSpiAnswer::~AtSpiAnswer() {
    if (reply_) {
        dbus_message_unref(reply_);
    }
}

AtSpiAnswer::AtSpiAnswer(AtSpiAnswer&& other) noexcept : reply_(std::exchange(other.reply_, nullptr)) {}

AtSpiAnswer& AtSpiAnswer::operator=(AtSpiAnswer&& other) noexcept {
    if (this != &other) {
        if (reply_) {
            dbus_message_unref(reply_);
        }
        reply_ = std::exchange(other.reply_, nullptr);
    }
    return *this;
}

AtSpiWire::AtSpiWire(const std::string& address) {
    DBusError error;
    dbus_error_init(&error);
    connection_ = dbus_connection_open_private(address.c_str(), &error);
    if (connection_) {
        dbus_connection_set_exit_on_disconnect(connection_, FALSE);
        if (!dbus_bus_register(connection_, &error)) {
            dbus_connection_close(connection_);
            dbus_connection_unref(connection_);
            connection_ = nullptr;
        }
    }
    dbus_error_free(&error);
}

AtSpiWire::~AtSpiWire() {
    for (auto& [bus, connection] : peers_) {
        closeConnection(connection);
    }
    closeConnection(connection_);
}

bool AtSpiWire::isConnected() const {
    return connection_ && dbus_connection_get_is_connected(connection_);
}

AtSpiAnswer AtSpiWire::ask(const AtSpiQuestion& question, int timeoutMilliseconds) {
    std::vector<AtSpiAnswer> answers = askAll({question}, timeoutMilliseconds);
    return std::move(answers.front());
}

std::vector<AtSpiAnswer> AtSpiWire::askAll(const std::vector<AtSpiQuestion>& questions, int timeoutMilliseconds) {
    std::vector<AtSpiAnswer> answers(questions.size());
    if (!isConnected() || timeoutMilliseconds <= 0) {
        return answers;
    }
    std::vector<DBusPendingCall*> pending(questions.size(), nullptr);
    std::vector<DBusConnection*> used;
    for (std::size_t index = 0; index < questions.size(); ++index) {
        DBusConnection* via = route(questions[index].bus, timeoutMilliseconds);
        if (DBusMessage* message = methodCall(questions[index])) {
            dbus_connection_send_with_reply(via, message, &pending[index], timeoutMilliseconds);
            dbus_message_unref(message);
        }
        if (std::find(used.begin(), used.end(), via) == used.end()) {
            used.push_back(via);
        }
    }
    for (DBusConnection* connection : used) {
        dbus_connection_flush(connection);
    }
    // Blocking on the first answer reads every answer that has arrived meanwhile, so the later
    // waits mostly find theirs already there.
    for (std::size_t index = 0; index < questions.size(); ++index) {
        if (!pending[index]) {
            continue;
        }
        dbus_pending_call_block(pending[index]);
        answers[index] = AtSpiAnswer(dbus_pending_call_steal_reply(pending[index]));
        dbus_pending_call_unref(pending[index]);
    }
    for (DBusConnection* connection : used) {
        discardUnasked(connection);
    }
    return answers;
}

DBusConnection* AtSpiWire::route(const std::string& bus, int timeoutMilliseconds) {
    DBusConnection* own = bus.starts_with(':') ? peer(bus, timeoutMilliseconds) : nullptr;
    if (own && !dbus_connection_get_is_connected(own)) {
        // The application has gone; its name on the bus is never given to another.
        closeConnection(own);
        peers_[bus] = nullptr;
        own = nullptr;
    }
    return own ? own : connection_;
}

DBusConnection* AtSpiWire::peer(const std::string& bus, int timeoutMilliseconds) {
    if (const auto known = peers_.find(bus); known != peers_.end()) {
        return known->second;
    }
    // Toolkits on the ATK bridge (GTK, Chromium, Firefox) listen on a socket of their own, as
    // the AT-SPI library uses it: every answer then skips the bus daemon, which otherwise costs
    // more than the application itself. Others (Qt) refuse the question and stay on the bus.
    const AtSpiQuestion offer{
        bus, "/org/a11y/atspi/accessible/root", "org.a11y.atspi.Application", "GetApplicationBusAddress", {}};
    const AtSpiAnswer answer = askOver(connection_, offer, std::min(timeoutMilliseconds, 500));
    DBusConnection* own = nullptr;
    const char* address = nullptr;
    if (answer.message() &&
        dbus_message_get_args(answer.message(), nullptr, DBUS_TYPE_STRING, &address, DBUS_TYPE_INVALID) && address &&
        std::string_view(address).starts_with("unix:")) {
        own = dbus_connection_open_private(address, nullptr);
        if (own) {
            dbus_connection_set_exit_on_disconnect(own, FALSE);
        }
    }
    peers_.emplace(bus, own);
    return own;
}

AtSpiAnswer AtSpiWire::askOver(DBusConnection* connection, const AtSpiQuestion& question, int timeoutMilliseconds) {
    DBusMessage* message = methodCall(question);
    if (!message) {
        return {};
    }
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(connection, message, timeoutMilliseconds, nullptr);
    dbus_message_unref(message);
    return AtSpiAnswer(reply);
}

} // namespace brisklet
