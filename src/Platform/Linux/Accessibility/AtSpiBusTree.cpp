#include "Platform/Linux/Accessibility/AtSpiBusTree.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace brisklet {

namespace {

const std::string accessibleInterface = "org.a11y.atspi.Accessible";
const std::string textInterface = "org.a11y.atspi.Text";
const std::string componentInterface = "org.a11y.atspi.Component";
const std::string propertiesInterface = "org.freedesktop.DBus.Properties";

constexpr std::uint32_t sortCanonical = 1;
// Component.GetExtents' coordinate type for the whole screen.
constexpr std::uint32_t screenCoordinates = 0;

AtSpiQuestion question(const AccessibleRef& object, const std::string& interface, const std::string& method,
                       std::vector<AtSpiArgument> arguments = {}) {
    return {object.bus, object.path, interface, method, std::move(arguments)};
}

AtSpiQuestion propertyQuestion(const AccessibleRef& object, const std::string& interface, const std::string& name) {
    return question(object, propertiesInterface, "Get", {interface, name});
}

/// The reader of a reply's first argument, when there is one.
std::optional<DBusMessageIter> firstArgument(DBusMessage* reply) {
    DBusMessageIter iterator;
    if (!reply || !dbus_message_iter_init(reply, &iterator)) {
        return std::nullopt;
    }
    return iterator;
}

std::optional<std::int64_t> integerAt(DBusMessageIter& iterator) {
    switch (dbus_message_iter_get_arg_type(&iterator)) {
    case DBUS_TYPE_INT32: {
        dbus_int32_t value = 0;
        dbus_message_iter_get_basic(&iterator, &value);
        return value;
    }
    case DBUS_TYPE_UINT32: {
        dbus_uint32_t value = 0;
        dbus_message_iter_get_basic(&iterator, &value);
        return value;
    }
    case DBUS_TYPE_INT64: {
        dbus_int64_t value = 0;
        dbus_message_iter_get_basic(&iterator, &value);
        return value;
    }
    default:
        return std::nullopt;
    }
}

std::optional<std::string> stringAt(DBusMessageIter& iterator) {
    if (dbus_message_iter_get_arg_type(&iterator) != DBUS_TYPE_STRING) {
        return std::nullopt;
    }
    const char* value = nullptr;
    dbus_message_iter_get_basic(&iterator, &value);
    return std::string(value ? value : "");
}

std::optional<std::int64_t> integerReply(DBusMessage* reply, int index = 0) {
    auto iterator = firstArgument(reply);
    for (int skipped = 0; iterator && skipped < index; ++skipped) {
        if (!dbus_message_iter_next(&*iterator)) {
            return std::nullopt;
        }
    }
    return iterator ? integerAt(*iterator) : std::nullopt;
}

std::optional<std::string> stringReply(DBusMessage* reply) {
    auto iterator = firstArgument(reply);
    return iterator ? stringAt(*iterator) : std::nullopt;
}

/// The reader inside a reply whose first argument is an array of `elementType`.
std::optional<DBusMessageIter> arrayReply(DBusMessage* reply, int elementType) {
    auto iterator = firstArgument(reply);
    if (!iterator || dbus_message_iter_get_arg_type(&*iterator) != DBUS_TYPE_ARRAY ||
        dbus_message_iter_get_element_type(&*iterator) != elementType) {
        return std::nullopt;
    }
    DBusMessageIter elements;
    dbus_message_iter_recurse(&*iterator, &elements);
    return elements;
}

/// An "a(so)" answer.
std::optional<std::vector<AccessibleRef>> references(DBusMessage* reply) {
    auto elements = arrayReply(reply, DBUS_TYPE_STRUCT);
    if (!elements) {
        return std::nullopt;
    }
    std::vector<AccessibleRef> objects;
    for (; dbus_message_iter_get_arg_type(&*elements) == DBUS_TYPE_STRUCT; dbus_message_iter_next(&*elements)) {
        DBusMessageIter fields;
        dbus_message_iter_recurse(&*elements, &fields);
        const auto bus = stringAt(fields);
        if (!bus || !dbus_message_iter_next(&fields) ||
            dbus_message_iter_get_arg_type(&fields) != DBUS_TYPE_OBJECT_PATH) {
            return std::nullopt;
        }
        const char* path = nullptr;
        dbus_message_iter_get_basic(&fields, &path);
        objects.push_back({*bus, path ? path : ""});
    }
    return objects;
}

/// An "as" answer.
std::optional<std::vector<std::string>> stringList(DBusMessage* reply) {
    auto elements = arrayReply(reply, DBUS_TYPE_STRING);
    if (!elements) {
        return std::nullopt;
    }
    std::vector<std::string> strings;
    for (; dbus_message_iter_get_arg_type(&*elements) == DBUS_TYPE_STRING; dbus_message_iter_next(&*elements)) {
        strings.push_back(*stringAt(*elements));
    }
    return strings;
}

/// An "a{ss}" answer.
std::optional<AccessibleAttributes> attributeMap(DBusMessage* reply) {
    auto entries = arrayReply(reply, DBUS_TYPE_DICT_ENTRY);
    if (!entries) {
        return std::nullopt;
    }
    AccessibleAttributes attributes;
    for (; dbus_message_iter_get_arg_type(&*entries) == DBUS_TYPE_DICT_ENTRY; dbus_message_iter_next(&*entries)) {
        DBusMessageIter entry;
        dbus_message_iter_recurse(&*entries, &entry);
        auto key = stringAt(entry);
        if (!key || !dbus_message_iter_next(&entry)) {
            return std::nullopt;
        }
        auto value = stringAt(entry);
        if (!value) {
            return std::nullopt;
        }
        attributes.insert_or_assign(std::move(*key), std::move(*value));
    }
    return attributes;
}

/// The reader inside a "v" answer (a property's value).
std::optional<DBusMessageIter> variantReply(DBusMessage* reply) {
    auto iterator = firstArgument(reply);
    if (!iterator || dbus_message_iter_get_arg_type(&*iterator) != DBUS_TYPE_VARIANT) {
        return std::nullopt;
    }
    DBusMessageIter value;
    dbus_message_iter_recurse(&*iterator, &value);
    return value;
}

std::optional<std::string> stringPropertyReply(DBusMessage* reply) {
    auto value = variantReply(reply);
    return value ? stringAt(*value) : std::nullopt;
}

AccessibleInterfaces interfacesNamed(const std::vector<std::string>& names) {
    const auto has = [&names](const std::string& name) {
        return std::find(names.begin(), names.end(), name) != names.end();
    };
    return AccessibleInterfaces{has(textInterface), has("org.a11y.atspi.Value"), has(componentInterface),
                                has("org.a11y.atspi.Document")};
}

std::string questionKey(const AtSpiQuestion& question) {
    std::string key = question.bus + '\n' + question.path + '\n' + question.interface + '\n' + question.method;
    for (const auto& argument : question.arguments) {
        key += '\n';
        if (const auto* text = std::get_if<std::string>(&argument)) {
            key += *text;
        } else if (const auto* number = std::get_if<std::int32_t>(&argument)) {
            key += std::to_string(*number);
        } else if (const auto* unsignedNumber = std::get_if<std::uint32_t>(&argument)) {
            key += std::to_string(*unsignedNumber);
        } else if (const auto* flag = std::get_if<bool>(&argument)) {
            key += *flag ? "true" : "false";
        } else {
            key += "states " + std::to_string(std::get<AtSpiStateMatchRule>(argument).states);
        }
    }
    return key;
}

} // namespace

AtSpiBusTree::AtSpiBusTree(AtSpiWire& wire) : wire_(wire) {}

AccessibleRef AtSpiBusTree::desktop() const {
    return {"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"};
}

std::optional<std::vector<AccessibleRef>> AtSpiBusTree::children(const AccessibleRef& object, int timeoutMilliseconds) {
    if (auto listed = cachedChildren(object)) {
        return listed;
    }
    return references(call(question(object, accessibleInterface, "GetChildren"), timeoutMilliseconds).message());
}

std::optional<std::vector<AccessibleRef>> AtSpiBusTree::focusedDescendants(const AccessibleRef& window,
                                                                           int timeoutMilliseconds) {
    const AtSpiStateMatchRule focused{std::uint64_t{1} << AccessibleState::focused};
    const auto reply = call(
        question(window, "org.a11y.atspi.Collection", "GetMatches", {focused, sortCanonical, std::int32_t{1}, true}),
        timeoutMilliseconds);
    return references(reply.message());
}

std::optional<AccessibleStates> AtSpiBusTree::states(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto reply = call(question(object, accessibleInterface, "GetState"), timeoutMilliseconds);
    auto words = arrayReply(reply.message(), DBUS_TYPE_UINT32);
    if (!words) {
        return std::nullopt;
    }
    AccessibleStates states;
    for (int index = 0; index < 2 && dbus_message_iter_get_arg_type(&*words) == DBUS_TYPE_UINT32; ++index) {
        dbus_uint32_t word = 0;
        dbus_message_iter_get_basic(&*words, &word);
        states.bits |= static_cast<std::uint64_t>(word) << (32 * index);
        dbus_message_iter_next(&*words);
    }
    return states;
}

std::optional<std::uint32_t> AtSpiBusTree::role(const AccessibleRef& object, int timeoutMilliseconds) {
    if (const auto* element = cached(object)) {
        return element->role;
    }
    const auto value =
        integerReply(call(question(object, accessibleInterface, "GetRole"), timeoutMilliseconds).message());
    return value ? std::optional<std::uint32_t>(static_cast<std::uint32_t>(*value)) : std::nullopt;
}

std::optional<std::int64_t> AtSpiBusTree::processId(const std::string& bus, int timeoutMilliseconds) {
    const AccessibleRef daemon{"org.freedesktop.DBus", "/org/freedesktop/DBus"};
    return integerReply(
        call(question(daemon, "org.freedesktop.DBus", "GetConnectionUnixProcessID", {bus}), timeoutMilliseconds)
            .message());
}

std::optional<int> AtSpiBusTree::selectionCount(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto count =
        integerReply(call(question(object, textInterface, "GetNSelections"), timeoutMilliseconds).message());
    if (!count || *count < 0) {
        return std::nullopt;
    }
    return static_cast<int>(std::min<std::int64_t>(*count, std::numeric_limits<int>::max()));
}

std::optional<TextRange> AtSpiBusTree::selection(const AccessibleRef& object, int index, int timeoutMilliseconds) {
    const auto reply =
        call(question(object, textInterface, "GetSelection", {std::int32_t{index}}), timeoutMilliseconds);
    const auto start = integerReply(reply.message(), 0);
    const auto end = integerReply(reply.message(), 1);
    if (!start || !end) {
        return std::nullopt;
    }
    return TextRange{static_cast<int>(*start), static_cast<int>(*end)};
}

std::optional<std::string> AtSpiBusTree::text(const AccessibleRef& object, TextRange range, int timeoutMilliseconds) {
    return stringReply(
        call(question(object, textInterface, "GetText", {std::int32_t{range.start}, std::int32_t{range.end}}),
             timeoutMilliseconds)
            .message());
}

std::optional<std::string> AtSpiBusTree::name(const AccessibleRef& object, int timeoutMilliseconds) {
    if (const auto* element = cached(object)) {
        return element->name;
    }
    return stringProperty(object, "Name", timeoutMilliseconds);
}

std::optional<std::string> AtSpiBusTree::description(const AccessibleRef& object, int timeoutMilliseconds) {
    if (const auto* element = cached(object)) {
        return element->description;
    }
    return stringProperty(object, "Description", timeoutMilliseconds);
}

std::optional<std::string> AtSpiBusTree::helpText(const AccessibleRef& object, int timeoutMilliseconds) {
    return stringProperty(object, "HelpText", timeoutMilliseconds);
}

std::optional<std::string> AtSpiBusTree::roleName(const AccessibleRef& object, int timeoutMilliseconds) {
    return stringReply(call(question(object, accessibleInterface, "GetRoleName"), timeoutMilliseconds).message());
}

std::optional<AccessibleInterfaces> AtSpiBusTree::interfaces(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto* element = cached(object);
    const auto names =
        element
            ? std::optional(element->interfaces)
            : stringList(call(question(object, accessibleInterface, "GetInterfaces"), timeoutMilliseconds).message());
    if (!names) {
        return std::nullopt;
    }
    return interfacesNamed(*names);
}

std::optional<ScreenExtents> AtSpiBusTree::extents(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto reply =
        call(question(object, componentInterface, "GetExtents", {screenCoordinates}), timeoutMilliseconds);
    auto iterator = firstArgument(reply.message());
    if (!iterator || dbus_message_iter_get_arg_type(&*iterator) != DBUS_TYPE_STRUCT) {
        return std::nullopt;
    }
    DBusMessageIter fields;
    dbus_message_iter_recurse(&*iterator, &fields);
    int values[4] = {};
    for (int index = 0; index < 4; ++index) {
        if (dbus_message_iter_get_arg_type(&fields) != DBUS_TYPE_INT32) {
            return std::nullopt;
        }
        dbus_int32_t value = 0;
        dbus_message_iter_get_basic(&fields, &value);
        values[index] = value;
        dbus_message_iter_next(&fields);
    }
    return ScreenExtents{values[0], values[1], values[2], values[3]};
}

std::optional<double> AtSpiBusTree::currentValue(const AccessibleRef& object, int timeoutMilliseconds) {
    const auto reply = property(object, "org.a11y.atspi.Value", "CurrentValue", timeoutMilliseconds);
    auto value = variantReply(reply.message());
    if (!value || dbus_message_iter_get_arg_type(&*value) != DBUS_TYPE_DOUBLE) {
        return std::nullopt;
    }
    double number = 0;
    dbus_message_iter_get_basic(&*value, &number);
    return number;
}

std::optional<AccessibleAttributes> AtSpiBusTree::documentAttributes(const AccessibleRef& object,
                                                                     int timeoutMilliseconds) {
    return attributeMap(
        call(question(object, "org.a11y.atspi.Document", "GetAttributes"), timeoutMilliseconds).message());
}

AtSpiAnswer AtSpiBusTree::property(const AccessibleRef& object, const std::string& interface, const std::string& name,
                                   int timeoutMilliseconds) {
    return call(propertyQuestion(object, interface, name), timeoutMilliseconds);
}

std::optional<std::string> AtSpiBusTree::stringProperty(const AccessibleRef& object, const std::string& name,
                                                        int timeoutMilliseconds) {
    return stringPropertyReply(property(object, accessibleInterface, name, timeoutMilliseconds).message());
}

AtSpiAnswer AtSpiBusTree::call(const AtSpiQuestion& question, int timeoutMilliseconds) {
    if (timeoutMilliseconds <= 0 || !wire_.isConnected()) {
        return {};
    }
    if (const auto found = prefetched_.find(questionKey(question)); found != prefetched_.end()) {
        AtSpiAnswer answer = std::move(found->second);
        prefetched_.erase(found);
        return answer;
    }
    return wire_.ask(question, timeoutMilliseconds);
}

void AtSpiBusTree::prefetch(const std::vector<AccessibleRef>& objects, int timeoutMilliseconds) {
    if (timeoutMilliseconds <= 0 || !wire_.isConnected() || objects.empty()) {
        return;
    }
    // What every element is asked: who it is, what it can do and its children. The application's
    // cache, where it keeps one, answers them; otherwise the name and description go one
    // property at a time, as `property` explains.
    for (const auto& object : objects) {
        loadCache(object.bus, timeoutMilliseconds);
    }
    std::vector<AtSpiQuestion> first;
    first.reserve(objects.size() * 5);
    for (const auto& object : objects) {
        if (!cached(object)) {
            first.push_back(question(object, accessibleInterface, "GetRole"));
            first.push_back(propertyQuestion(object, accessibleInterface, "Name"));
            first.push_back(propertyQuestion(object, accessibleInterface, "Description"));
            first.push_back(question(object, accessibleInterface, "GetInterfaces"));
        }
        if (!cachedChildren(object)) {
            first.push_back(question(object, accessibleInterface, "GetChildren"));
        }
    }
    askTogether(first, timeoutMilliseconds);
    // Then what only some can tell: their text and selection, and where they are. Password
    // fields, by role or by name, are not asked for their text.
    std::vector<AtSpiQuestion> second;
    for (const auto& object : objects) {
        const auto* element = cached(object);
        const auto names = element
                               ? std::optional(element->interfaces)
                               : stringList(prefetchedReply(question(object, accessibleInterface, "GetInterfaces")));
        if (!names) {
            continue;
        }
        const AccessibleInterfaces kinds = interfacesNamed(*names);
        const auto role = element ? std::optional<std::int64_t>(element->role)
                                  : integerReply(prefetchedReply(question(object, accessibleInterface, "GetRole")));
        if (kinds.text && role != passwordTextRole && !namedAsSecret(object)) {
            second.push_back(question(object, textInterface, "GetText", {std::int32_t{0}, std::int32_t{-1}}));
            second.push_back(question(object, textInterface, "GetNSelections"));
        }
        if (kinds.component) {
            second.push_back(question(object, componentInterface, "GetExtents", {screenCoordinates}));
        }
    }
    askTogether(second, timeoutMilliseconds);
}

DBusMessage* AtSpiBusTree::prefetchedReply(const AtSpiQuestion& question) const {
    const auto found = prefetched_.find(questionKey(question));
    return found == prefetched_.end() ? nullptr : found->second.message();
}

bool AtSpiBusTree::namedAsSecret(const AccessibleRef& object) const {
    const auto* element = cached(object);
    const auto name = element
                          ? std::optional(element->name)
                          : stringPropertyReply(prefetchedReply(propertyQuestion(object, accessibleInterface, "Name")));
    if (!name) {
        return false;
    }
    std::string lowered = *name;
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c); });
    return lowered.find("password") != std::string::npos || lowered.find("密码") != std::string::npos;
}

void AtSpiBusTree::loadCache(const std::string& bus, int timeoutMilliseconds) {
    if (caches_.contains(bus)) {
        return;
    }
    const AtSpiQuestion items{bus, "/org/a11y/atspi/cache", "org.a11y.atspi.Cache", "GetItems", {}};
    caches_.emplace(bus, AtSpiApplicationCache::fromReply(wire_.ask(items, timeoutMilliseconds).message()));
}

std::optional<std::vector<AccessibleRef>> AtSpiBusTree::cachedChildren(const AccessibleRef& object) const {
    const auto found = caches_.find(object.bus);
    return found == caches_.end() || !found->second ? std::nullopt : found->second->children(object);
}

const AtSpiApplicationCache::Element* AtSpiBusTree::cached(const AccessibleRef& object) const {
    const auto found = caches_.find(object.bus);
    return found == caches_.end() || !found->second ? nullptr : found->second->find(object);
}

void AtSpiBusTree::askTogether(const std::vector<AtSpiQuestion>& questions, int timeoutMilliseconds) {
    auto answers = wire_.askAll(questions, timeoutMilliseconds);
    for (std::size_t index = 0; index < questions.size(); ++index) {
        prefetched_.insert_or_assign(questionKey(questions[index]), std::move(answers[index]));
    }
}

} // namespace brisklet
