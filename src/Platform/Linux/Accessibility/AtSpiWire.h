#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <variant>
#include <vector>

struct DBusConnection;
struct DBusMessage;

namespace brisklet {

/// The Collection match rule for elements in the given states, whatever their attributes,
/// roles and interfaces.
struct AtSpiStateMatchRule {
    std::uint64_t states = 0;
};

using AtSpiArgument = std::variant<std::string, std::int32_t, std::uint32_t, bool, AtSpiStateMatchRule>;

/// One method call to an element on the accessibility bus.
struct AtSpiQuestion {
    std::string bus;
    std::string path;
    std::string interface;
    std::string method;
    std::vector<AtSpiArgument> arguments;
};

/// An answer, or nothing when the call failed, timed out or was refused.
class AtSpiAnswer {
public:
    AtSpiAnswer() = default;
    explicit AtSpiAnswer(DBusMessage* reply);
    ~AtSpiAnswer();
    AtSpiAnswer(AtSpiAnswer&& other) noexcept;
    AtSpiAnswer& operator=(AtSpiAnswer&& other) noexcept;
    AtSpiAnswer(const AtSpiAnswer&) = delete;
    AtSpiAnswer& operator=(const AtSpiAnswer&) = delete;

    /// The reply message when the call succeeded; null otherwise.
    DBusMessage* message() const { return reply_; }

private:
    DBusMessage* reply_ = nullptr;
};

/// A private libdbus connection to the accessibility bus, used only from the thread that reads.
/// It carries every question of a snapshot without QtDBus's own thread in between: handing each
/// of thousands of replies across threads cost more than the bus itself.
class AtSpiWire {
public:
    /// Connects to `address` and registers with the bus; `isConnected` tells whether that worked.
    explicit AtSpiWire(const std::string& address);
    ~AtSpiWire();
    AtSpiWire(const AtSpiWire&) = delete;
    AtSpiWire& operator=(const AtSpiWire&) = delete;

    bool isConnected() const;
    /// Asks one question and waits at most `timeoutMilliseconds` for the answer.
    AtSpiAnswer ask(const AtSpiQuestion& question, int timeoutMilliseconds);
    /// Sends every question before waiting for the first answer; answers come back in order,
    /// each within `timeoutMilliseconds` of being sent.
    std::vector<AtSpiAnswer> askAll(const std::vector<AtSpiQuestion>& questions, int timeoutMilliseconds);

private:
    /// The connection a question to `bus` goes over: the application's own socket when it offers
    /// one, else the bus.
    DBusConnection* route(const std::string& bus, int timeoutMilliseconds);
    /// The application's own connection, opened on first use; null when it offers none.
    DBusConnection* peer(const std::string& bus, int timeoutMilliseconds);
    AtSpiAnswer askOver(DBusConnection* connection, const AtSpiQuestion& question, int timeoutMilliseconds);

    DBusConnection* connection_ = nullptr;
    /// Applications' own connections by their name on the bus (null: none offered).
    std::map<std::string, DBusConnection*> peers_;
};

} // namespace brisklet
