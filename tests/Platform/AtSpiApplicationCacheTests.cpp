// The application cache read from Cache.GetItems answers built with libdbus itself, as an
// application on the ATK bridge sends them.

#include "Platform/Linux/Accessibility/AtSpiApplicationCache.h"

#include <dbus/dbus.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace brisklet {
namespace {

struct Item {
    std::string path;
    std::string parent;
    int index = 0;
    int childCount = 0;
    std::vector<std::string> interfaces;
    std::string name;
    std::uint32_t role = 0;
    std::string description;
};

constexpr const char* bus = ":1.7";

void appendReference(DBusMessageIter* into, const std::string& path) {
    DBusMessageIter pair;
    const char* name = bus;
    const char* object = path.c_str();
    dbus_message_iter_open_container(into, DBUS_TYPE_STRUCT, nullptr, &pair);
    dbus_message_iter_append_basic(&pair, DBUS_TYPE_STRING, &name);
    dbus_message_iter_append_basic(&pair, DBUS_TYPE_OBJECT_PATH, &object);
    dbus_message_iter_close_container(into, &pair);
}

void appendString(DBusMessageIter* into, const std::string& text) {
    const char* value = text.c_str();
    dbus_message_iter_append_basic(into, DBUS_TYPE_STRING, &value);
}

void appendItem(DBusMessageIter* items, const Item& item) {
    DBusMessageIter fields, strings, states;
    dbus_message_iter_open_container(items, DBUS_TYPE_STRUCT, nullptr, &fields);
    appendReference(&fields, item.path);
    appendReference(&fields, "/org/a11y/atspi/accessible/root");
    appendReference(&fields, item.parent);
    const dbus_int32_t index = item.index;
    const dbus_int32_t count = item.childCount;
    dbus_message_iter_append_basic(&fields, DBUS_TYPE_INT32, &index);
    dbus_message_iter_append_basic(&fields, DBUS_TYPE_INT32, &count);
    dbus_message_iter_open_container(&fields, DBUS_TYPE_ARRAY, "s", &strings);
    for (const auto& interface : item.interfaces) {
        appendString(&strings, interface);
    }
    dbus_message_iter_close_container(&fields, &strings);
    appendString(&fields, item.name);
    const dbus_uint32_t role = item.role;
    dbus_message_iter_append_basic(&fields, DBUS_TYPE_UINT32, &role);
    appendString(&fields, item.description);
    dbus_message_iter_open_container(&fields, DBUS_TYPE_ARRAY, "u", &states);
    const dbus_uint32_t none = 0;
    dbus_message_iter_append_basic(&states, DBUS_TYPE_UINT32, &none);
    dbus_message_iter_append_basic(&states, DBUS_TYPE_UINT32, &none);
    dbus_message_iter_close_container(&fields, &states);
    dbus_message_iter_close_container(items, &fields);
}

using Message = std::unique_ptr<DBusMessage, decltype(&dbus_message_unref)>;

Message itemsReply(const std::vector<Item>& items) {
    Message reply(dbus_message_new(DBUS_MESSAGE_TYPE_METHOD_RETURN), &dbus_message_unref);
    DBusMessageIter arguments, array;
    dbus_message_iter_init_append(reply.get(), &arguments);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "((so)(so)(so)iiassusau)", &array);
    for (const auto& item : items) {
        appendItem(&array, item);
    }
    dbus_message_iter_close_container(&arguments, &array);
    return reply;
}

AccessibleRef at(const std::string& path) {
    return {bus, path};
}

TEST(AtSpiApplicationCache, TellsEachElementAndItsChildrenInTheirOrder) {
    // Listed out of order, as applications do: the children come back by their index.
    const auto reply = itemsReply({
        {"/page/p2", "/page", 1, 0, {"org.a11y.atspi.Text"}, "", 73, ""},
        {"/page", "/window", 0, 2, {"org.a11y.atspi.Document"}, "Release notes", 95, "The page"},
        {"/page/p1", "/page", 0, 0, {"org.a11y.atspi.Text", "org.a11y.atspi.Component"}, "", 73, ""},
    });

    const auto cache = AtSpiApplicationCache::fromReply(reply.get());

    ASSERT_TRUE(cache);
    const auto* page = cache->find(at("/page"));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->role, 95u);
    EXPECT_EQ(page->name, "Release notes");
    EXPECT_EQ(page->description, "The page");
    EXPECT_EQ(cache->children(at("/page")), (std::vector<AccessibleRef>{at("/page/p1"), at("/page/p2")}));
    EXPECT_EQ(cache->find(at("/page/p1"))->interfaces,
              (std::vector<std::string>{"org.a11y.atspi.Text", "org.a11y.atspi.Component"}));
    EXPECT_EQ(cache->children(at("/page/p1")), std::vector<AccessibleRef>{});
    EXPECT_EQ(cache->find(at("/elsewhere")), nullptr);
    EXPECT_EQ(cache->children(at("/elsewhere")), std::nullopt);
}

TEST(AtSpiApplicationCache, LeavesChildrenItDoesNotHoldAllOfToBeAsked) {
    // A list that manages its descendants counts 500 children and caches two; a parent whose
    // second child is missing from the cache cannot list its third in the right place either.
    const auto reply = itemsReply({
        {"/list", "/window", 0, 500, {}, "Messages", 31, ""},
        {"/list/0", "/list", 0, 0, {}, "First", 32, ""},
        {"/list/1", "/list", 1, 0, {}, "Second", 32, ""},
        {"/form", "/window", 1, 3, {}, "", 48, ""},
        {"/form/0", "/form", 0, 0, {}, "Name", 29, ""},
        {"/form/2", "/form", 2, 0, {}, "Address", 29, ""},
    });

    const auto cache = AtSpiApplicationCache::fromReply(reply.get());

    ASSERT_TRUE(cache);
    EXPECT_EQ(cache->children(at("/list")), std::nullopt);
    EXPECT_EQ(cache->children(at("/form")), std::nullopt);
    EXPECT_EQ(cache->find(at("/list/1"))->name, "Second");
}

TEST(AtSpiApplicationCache, KeepsNothingFromAnEmptyOrOtherlyShapedAnswer) {
    EXPECT_FALSE(AtSpiApplicationCache::fromReply(nullptr));
    EXPECT_FALSE(AtSpiApplicationCache::fromReply(itemsReply({}).get()));
    // Older bridges (and Qt) list each element's children instead of counting them.
    Message older(dbus_message_new(DBUS_MESSAGE_TYPE_METHOD_RETURN), &dbus_message_unref);
    DBusMessageIter arguments, array;
    dbus_message_iter_init_append(older.get(), &arguments);
    dbus_message_iter_open_container(&arguments, DBUS_TYPE_ARRAY, "((so)(so)(so)a(so)assusau)", &array);
    dbus_message_iter_close_container(&arguments, &array);
    EXPECT_FALSE(AtSpiApplicationCache::fromReply(older.get()));
}

} // namespace
} // namespace brisklet
