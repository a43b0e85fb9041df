#include "Platform/Linux/DBus/LightAppCommandClient.h"

#include "Platform/Linux/DBus/AppCommandChannel.h"

#include <dbus/dbus.h>
#include <dlfcn.h>

#include <cstring>
#include <memory>
#include <optional>

namespace brisklet {

namespace {

/// The libdbus calls the client makes. They are looked up when an action is sent instead of being
/// linked: libdbus brings libsystemd, libgcrypt and five more libraries, whose loading would add
/// about 2 ms to every `brisklet capture`, and without libdbus the engine still does the work.
struct DBusCalls {
    decltype(&dbus_error_init) errorInit = nullptr;
    decltype(&dbus_error_free) errorFree = nullptr;
    decltype(&dbus_error_has_name) errorHasName = nullptr;
    decltype(&dbus_validate_utf8) validateUtf8 = nullptr;
    decltype(&dbus_bus_get_private) busGetPrivate = nullptr;
    decltype(&dbus_connection_set_exit_on_disconnect) setExitOnDisconnect = nullptr;
    decltype(&dbus_connection_close) connectionClose = nullptr;
    decltype(&dbus_connection_unref) connectionUnref = nullptr;
    decltype(&dbus_message_new_method_call) newMethodCall = nullptr;
    decltype(&dbus_message_set_auto_start) setAutoStart = nullptr;
    decltype(&dbus_message_append_args) appendArgs = nullptr;
    decltype(&dbus_connection_send_with_reply_and_block) sendWithReplyAndBlock = nullptr;
    decltype(&dbus_message_get_args) getArgs = nullptr;
    decltype(&dbus_message_unref) messageUnref = nullptr;
};

template <typename Function> bool resolve(void* library, const char* name, Function& function) {
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

std::optional<DBusCalls> loadDBus() {
    // Left open: the process ends right after its one call.
    void* library = ::dlopen("libdbus-1.so.3", RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        return std::nullopt;
    }
    DBusCalls calls;
    const bool complete = resolve(library, "dbus_error_init", calls.errorInit) &&
                          resolve(library, "dbus_error_free", calls.errorFree) &&
                          resolve(library, "dbus_error_has_name", calls.errorHasName) &&
                          resolve(library, "dbus_validate_utf8", calls.validateUtf8) &&
                          resolve(library, "dbus_bus_get_private", calls.busGetPrivate) &&
                          resolve(library, "dbus_connection_set_exit_on_disconnect", calls.setExitOnDisconnect) &&
                          resolve(library, "dbus_connection_close", calls.connectionClose) &&
                          resolve(library, "dbus_connection_unref", calls.connectionUnref) &&
                          resolve(library, "dbus_message_new_method_call", calls.newMethodCall) &&
                          resolve(library, "dbus_message_set_auto_start", calls.setAutoStart) &&
                          resolve(library, "dbus_message_append_args", calls.appendArgs) &&
                          resolve(library, "dbus_connection_send_with_reply_and_block", calls.sendWithReplyAndBlock) &&
                          resolve(library, "dbus_message_get_args", calls.getArgs) &&
                          resolve(library, "dbus_message_unref", calls.messageUnref);
    if (!complete) {
        ::dlclose(library);
        return std::nullopt;
    }
    return calls;
}

/// A D-Bus error that frees itself.
class ScopedError {
public:
    explicit ScopedError(const DBusCalls& dbus) : dbus_(dbus) { dbus_.errorInit(&error_); }
    ~ScopedError() { dbus_.errorFree(&error_); }
    ScopedError(const ScopedError&) = delete;
    ScopedError& operator=(const ScopedError&) = delete;

    DBusError* get() { return &error_; }
    bool is(const char* name) const { return dbus_.errorHasName(&error_, name); }

private:
    const DBusCalls& dbus_;
    DBusError error_;
};

/// A private session-bus connection, closed when done: a shared one would stay open for the
/// process's life, and libdbus ends the process when a bus connection drops unless told not to.
class SessionConnection {
public:
    explicit SessionConnection(const DBusCalls& dbus) : dbus_(dbus) {
        ScopedError error(dbus_);
        connection_ = dbus_.busGetPrivate(DBUS_BUS_SESSION, error.get());
        if (connection_) {
            dbus_.setExitOnDisconnect(connection_, FALSE);
        }
    }
    ~SessionConnection() {
        if (connection_) {
            dbus_.connectionClose(connection_);
            dbus_.connectionUnref(connection_);
        }
    }
    SessionConnection(const SessionConnection&) = delete;
    SessionConnection& operator=(const SessionConnection&) = delete;

    DBusConnection* get() const { return connection_; }

private:
    const DBusCalls& dbus_;
    DBusConnection* connection_ = nullptr;
};

struct MessageUnref {
    const DBusCalls* dbus;
    void operator()(DBusMessage* message) const { dbus->messageUnref(message); }
};

using Message = std::unique_ptr<DBusMessage, MessageUnref>;

/// libdbus aborts the process on a string that is not UTF-8, so such a name never reaches it.
bool isSendable(const DBusCalls& dbus, const std::string& action) {
    ScopedError error(dbus);
    return !action.empty() && std::strlen(action.c_str()) == action.size() &&
           dbus.validateUtf8(action.c_str(), error.get());
}

Message newRunActionCall(const DBusCalls& dbus, const std::string& action) {
    Message message(dbus.newMethodCall(AppCommandChannel::serviceName, AppCommandChannel::objectPath,
                                       AppCommandChannel::interfaceName, "RunAction"),
                    MessageUnref{&dbus});
    if (!message) {
        return message;
    }
    // Starting the application is the engine's work (with its display checks and start-up wait),
    // never the bus's.
    dbus.setAutoStart(message.get(), FALSE);
    const char* name = action.c_str();
    if (!dbus.appendArgs(message.get(), DBUS_TYPE_STRING, &name, DBUS_TYPE_INVALID)) {
        message.reset();
    }
    return message;
}

LightAppCommandClient::Outcome readReply(const DBusCalls& dbus, DBusMessage* reply) {
    ScopedError error(dbus);
    dbus_bool_t ran = FALSE;
    if (!dbus.getArgs(reply, error.get(), DBUS_TYPE_BOOLEAN, &ran, DBUS_TYPE_INVALID)) {
        return LightAppCommandClient::Outcome::notRun;
    }
    return ran ? LightAppCommandClient::Outcome::ran : LightAppCommandClient::Outcome::notRun;
}

LightAppCommandClient::Outcome call(const DBusCalls& dbus, const std::string& action, int timeoutMs) {
    const SessionConnection connection(dbus);
    if (!connection.get()) {
        return LightAppCommandClient::Outcome::notRun;
    }
    const Message call = newRunActionCall(dbus, action);
    if (!call) {
        return LightAppCommandClient::Outcome::notRun;
    }
    ScopedError error(dbus);
    const Message reply(dbus.sendWithReplyAndBlock(connection.get(), call.get(), timeoutMs, error.get()),
                        MessageUnref{&dbus});
    if (reply) {
        return readReply(dbus, reply.get());
    }
    // No reply means the instance has the call queued or ended while running it: sending it
    // again could run the action twice once the instance catches up.
    return error.is(DBUS_ERROR_NO_REPLY) || error.is(DBUS_ERROR_TIMEOUT) ? LightAppCommandClient::Outcome::unanswered
                                                                         : LightAppCommandClient::Outcome::notRun;
}

} // namespace

LightAppCommandClient::Outcome LightAppCommandClient::runAction(const std::string& action, int timeoutMs) {
    const std::optional<DBusCalls> dbus = loadDBus();
    if (!dbus || !isSendable(*dbus, action)) {
        return Outcome::notRun;
    }
    return call(*dbus, action, timeoutMs);
}

} // namespace brisklet
