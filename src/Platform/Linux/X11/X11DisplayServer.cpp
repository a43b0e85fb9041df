#include "Platform/Linux/X11/X11DisplayServer.h"

#include "Platform/Linux/X11/XcbScreenConnection.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace brisklet {

namespace {

/// A rectangle in X11 root coordinates (pixels, origin top-left, y down).
struct RootRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

RootRect intersect(const RootRect& a, const RootRect& b) {
    const int left = std::max(a.x, b.x);
    const int top = std::max(a.y, b.y);
    const int right = std::min(a.x + a.width, b.x + b.width);
    const int bottom = std::min(a.y + a.height, b.y + b.height);
    if (right <= left || bottom <= top) {
        return {};
    }
    return {left, top, right - left, bottom - top};
}

/// Root coordinates → the global desktop space, whose origin is the primary screen's bottom-left.
Rect toGlobal(const RootRect& r, const RootRect& primary) {
    return Rect{
        {static_cast<double>(r.x - primary.x), static_cast<double>(primary.y + primary.height - r.y - r.height)},
        {static_cast<double>(r.width), static_cast<double>(r.height)}};
}

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 1, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

/// CARDINAL values of a root property, or nothing.
std::vector<std::uint32_t> cardinals(xcb_connection_t* c, xcb_window_t root, const char* name) {
    const xcb_atom_t atom = internAtom(c, name);
    if (atom == XCB_ATOM_NONE) {
        return {};
    }
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, root, atom, XCB_ATOM_CARDINAL, 0, 1024), nullptr);
    std::vector<std::uint32_t> values;
    if (reply && reply->format == 32) {
        const auto* data = static_cast<const std::uint32_t*>(xcb_get_property_value(reply));
        values.assign(data, data + xcb_get_property_value_length(reply) / 4);
    }
    std::free(reply);
    return values;
}

/// The work area of the current desktop, when a window manager publishes one.
std::optional<RootRect> workArea(xcb_connection_t* c, xcb_window_t root) {
    const std::vector<std::uint32_t> area = cardinals(c, root, "_NET_WORKAREA");
    const std::vector<std::uint32_t> current = cardinals(c, root, "_NET_CURRENT_DESKTOP");
    std::size_t desktop = current.empty() ? 0 : current[0];
    if (area.size() < 4) {
        return std::nullopt;
    }
    if ((desktop + 1) * 4 > area.size()) {
        desktop = 0;
    }
    return RootRect{static_cast<int>(area[desktop * 4]), static_cast<int>(area[desktop * 4 + 1]),
                    static_cast<int>(area[desktop * 4 + 2]), static_cast<int>(area[desktop * 4 + 3])};
}

struct Monitor {
    RootRect rect;
    std::string name;
    bool primary = false;
};

std::string atomName(xcb_connection_t* c, xcb_atom_t atom) {
    xcb_get_atom_name_reply_t* reply = xcb_get_atom_name_reply(c, xcb_get_atom_name(c, atom), nullptr);
    std::string name;
    if (reply) {
        name.assign(xcb_get_atom_name_name(reply), static_cast<std::size_t>(xcb_get_atom_name_name_length(reply)));
    }
    std::free(reply);
    return name;
}

std::vector<Monitor> randrMonitors(xcb_connection_t* c, xcb_window_t root) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_randr_id);
    if (!extension || !extension->present) {
        return {};
    }
    xcb_randr_get_monitors_reply_t* reply =
        xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, root, 1), nullptr);
    std::vector<Monitor> monitors;
    if (reply) {
        for (auto it = xcb_randr_get_monitors_monitors_iterator(reply); it.rem > 0; xcb_randr_monitor_info_next(&it)) {
            const xcb_randr_monitor_info_t* info = it.data;
            if (info->width == 0 || info->height == 0) {
                continue;
            }
            monitors.push_back(
                {{info->x, info->y, info->width, info->height}, atomName(c, info->name), info->primary != 0});
        }
    }
    std::free(reply);
    return monitors;
}

} // namespace

struct X11DisplayServer::Connection {
    xcb_connection_t* connection = nullptr;
    xcb_screen_t* screen = nullptr;

    ~Connection() {
        if (connection) {
            xcb_disconnect(connection);
        }
    }

    /// The monitors with the primary one first (RandR's first when none is marked primary).
    std::vector<Monitor> monitors() const {
        std::vector<Monitor> list = randrMonitors(connection, screen->root);
        if (list.empty()) {
            list.push_back({{0, 0, screen->width_in_pixels, screen->height_in_pixels}, "screen", true});
        }
        auto primary = std::find_if(list.begin(), list.end(), [](const Monitor& m) { return m.primary; });
        if (primary == list.end()) {
            list.front().primary = true;
        } else {
            std::rotate(list.begin(), primary, primary + 1);
        }
        return list;
    }
};

X11DisplayServer::X11DisplayServer(const std::string& displayName) : connection_(std::make_unique<Connection>()) {
    if (const auto opened = XcbScreenConnection::open(displayName)) {
        connection_->connection = opened->connection;
        connection_->screen = opened->screen;
    }
}

X11DisplayServer::~X11DisplayServer() = default;

bool X11DisplayServer::isConnected() const {
    return connection_->connection != nullptr && connection_->screen != nullptr;
}

std::vector<DisplayScreen> X11DisplayServer::screens() const {
    if (!isConnected()) {
        return {};
    }
    const std::vector<Monitor> monitors = connection_->monitors();
    const RootRect primary = monitors.front().rect;
    const std::optional<RootRect> area = workArea(connection_->connection, connection_->screen->root);
    std::vector<DisplayScreen> result;
    // Numbered in RandR's own order so that a screen keeps its number whichever one is primary.
    const std::vector<Monitor> randrOrder = randrMonitors(connection_->connection, connection_->screen->root);
    for (const Monitor& monitor : monitors) {
        DisplayScreen screen;
        std::uint32_t number = 1;
        for (std::size_t i = 0; i < randrOrder.size(); ++i) {
            if (randrOrder[i].name == monitor.name && randrOrder[i].rect.x == monitor.rect.x &&
                randrOrder[i].rect.y == monitor.rect.y) {
                number = static_cast<std::uint32_t>(i + 1);
            }
        }
        screen.displayID = number;
        screen.name = monitor.name;
        screen.frame = toGlobal(monitor.rect, primary);
        const RootRect visible = area ? intersect(monitor.rect, *area) : monitor.rect;
        screen.visibleFrame = toGlobal(visible.width > 0 ? visible : monitor.rect, primary);
        screen.isPrimary = monitor.primary;
        result.push_back(screen);
    }
    return result;
}

std::optional<Point> X11DisplayServer::mouseLocation() const {
    if (!isConnected()) {
        return std::nullopt;
    }
    xcb_connection_t* c = connection_->connection;
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(c, xcb_query_pointer(c, connection_->screen->root), nullptr);
    if (!reply) {
        return std::nullopt;
    }
    const RootRect primary = connection_->monitors().front().rect;
    // The pointer's pixel row spans [maxY - row - 1, maxY - row) in the flipped space; its lower
    // edge keeps a pointer on the top row inside the screen's frame.
    const Point location{static_cast<double>(reply->root_x - primary.x),
                         static_cast<double>(primary.y + primary.height - reply->root_y - 1)};
    std::free(reply);
    return location;
}

} // namespace brisklet
