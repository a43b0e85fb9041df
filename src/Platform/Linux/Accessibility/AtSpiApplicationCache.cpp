#include "Platform/Linux/Accessibility/AtSpiApplicationCache.h"

#include <dbus/dbus.h>

#include <algorithm>
#include <cstring>

namespace brisklet {

namespace {

constexpr const char* itemsSignature = "a((so)(so)(so)iiassusau)";

std::string stringField(DBusMessageIter& fields) {
    const char* value = nullptr;
    if (dbus_message_iter_get_arg_type(&fields) == DBUS_TYPE_STRING ||
        dbus_message_iter_get_arg_type(&fields) == DBUS_TYPE_OBJECT_PATH) {
        dbus_message_iter_get_basic(&fields, &value);
    }
    dbus_message_iter_next(&fields);
    return value ? value : "";
}

AccessibleRef referenceField(DBusMessageIter& fields) {
    DBusMessageIter pair;
    dbus_message_iter_recurse(&fields, &pair);
    AccessibleRef object;
    object.bus = stringField(pair);
    object.path = stringField(pair);
    dbus_message_iter_next(&fields);
    return object;
}

template <typename Number> Number numberField(DBusMessageIter& fields) {
    Number value{};
    dbus_message_iter_get_basic(&fields, &value);
    dbus_message_iter_next(&fields);
    return value;
}

std::vector<std::string> stringsField(DBusMessageIter& fields) {
    std::vector<std::string> strings;
    DBusMessageIter elements;
    dbus_message_iter_recurse(&fields, &elements);
    while (dbus_message_iter_get_arg_type(&elements) == DBUS_TYPE_STRING) {
        strings.push_back(stringField(elements));
    }
    dbus_message_iter_next(&fields);
    return strings;
}

struct Placement {
    AccessibleRef parent;
    int index = 0;
};

} // namespace

std::optional<AtSpiApplicationCache> AtSpiApplicationCache::fromReply(DBusMessage* reply) {
    DBusMessageIter iterator;
    if (!reply || std::strcmp(dbus_message_get_signature(reply), itemsSignature) != 0 ||
        !dbus_message_iter_init(reply, &iterator)) {
        return std::nullopt;
    }
    AtSpiApplicationCache cache;
    std::vector<std::pair<AccessibleRef, Placement>> placements;
    DBusMessageIter items;
    dbus_message_iter_recurse(&iterator, &items);
    // The signature was checked whole, so every field below has the type read.
    for (; dbus_message_iter_get_arg_type(&items) == DBUS_TYPE_STRUCT; dbus_message_iter_next(&items)) {
        DBusMessageIter fields;
        dbus_message_iter_recurse(&items, &fields);
        const AccessibleRef object = referenceField(fields);
        referenceField(fields); // the application
        Placement placement;
        placement.parent = referenceField(fields);
        placement.index = numberField<dbus_int32_t>(fields);
        Element element;
        element.childCount = numberField<dbus_int32_t>(fields);
        element.interfaces = stringsField(fields);
        element.name = stringField(fields);
        element.role = numberField<dbus_uint32_t>(fields);
        element.description = stringField(fields);
        placements.emplace_back(object, std::move(placement));
        cache.elements_.insert_or_assign(Key{object.bus, object.path}, std::move(element));
    }
    if (cache.elements_.empty()) {
        return std::nullopt;
    }
    // Children in their parent's order; an index out of step with the others shows up as a
    // count that does not match, and that element's children are asked for instead.
    std::sort(placements.begin(), placements.end(),
              [](const auto& a, const auto& b) { return a.second.index < b.second.index; });
    for (const auto& [object, placement] : placements) {
        const auto parent = cache.elements_.find(Key{placement.parent.bus, placement.parent.path});
        if (parent != cache.elements_.end() && placement.index == static_cast<int>(parent->second.children.size())) {
            parent->second.children.push_back(object);
        }
    }
    return cache;
}

const AtSpiApplicationCache::Element* AtSpiApplicationCache::find(const AccessibleRef& object) const {
    const auto found = elements_.find(Key{object.bus, object.path});
    return found == elements_.end() ? nullptr : &found->second;
}

std::optional<std::vector<AccessibleRef>> AtSpiApplicationCache::children(const AccessibleRef& object) const {
    const Element* element = find(object);
    if (!element || element->childCount < 0 ||
        element->children.size() != static_cast<std::size_t>(element->childCount)) {
        return std::nullopt;
    }
    return element->children;
}

} // namespace brisklet
