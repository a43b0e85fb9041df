#include "Platform/Linux/X11/X11WindowList.h"

#include "Platform/Linux/X11/XcbScreenConnection.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string_view>

namespace brisklet {

namespace {

/// Layers in the numbering the rest of the application uses (normal windows are 0).
constexpr int floatingLayer = 3;
constexpr int dockLayer = 20;
constexpr int popupLayer = 101;

struct Atoms {
    xcb_atom_t clientListStacking, wmName, utf8String, wmPid, windowType, state, opacity, stateAbove, frameExtents;
    xcb_atom_t typeNormal, typeDialog, typeDesktop, typeDock, typeUtility, typeToolbar, typeSplash;
};

xcb_atom_t intern(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

Atoms internAll(xcb_connection_t* c) {
    return Atoms{intern(c, "_NET_CLIENT_LIST_STACKING"),
                 intern(c, "_NET_WM_NAME"),
                 intern(c, "UTF8_STRING"),
                 intern(c, "_NET_WM_PID"),
                 intern(c, "_NET_WM_WINDOW_TYPE"),
                 intern(c, "_NET_WM_STATE"),
                 intern(c, "_NET_WM_WINDOW_OPACITY"),
                 intern(c, "_NET_WM_STATE_ABOVE"),
                 intern(c, "_NET_FRAME_EXTENTS"),
                 intern(c, "_NET_WM_WINDOW_TYPE_NORMAL"),
                 intern(c, "_NET_WM_WINDOW_TYPE_DIALOG"),
                 intern(c, "_NET_WM_WINDOW_TYPE_DESKTOP"),
                 intern(c, "_NET_WM_WINDOW_TYPE_DOCK"),
                 intern(c, "_NET_WM_WINDOW_TYPE_UTILITY"),
                 intern(c, "_NET_WM_WINDOW_TYPE_TOOLBAR"),
                 intern(c, "_NET_WM_WINDOW_TYPE_SPLASH")};
}

/// The raw bytes of a property of any type, or nothing.
std::optional<std::string> property(xcb_connection_t* c, xcb_window_t window, xcb_atom_t atom, xcb_atom_t type) {
    if (atom == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom, type, 0, 1 << 16), nullptr);
    std::optional<std::string> bytes;
    if (reply && reply->type != XCB_ATOM_NONE) {
        const auto length = static_cast<std::size_t>(xcb_get_property_value_length(reply));
        bytes = std::string(static_cast<const char*>(xcb_get_property_value(reply)), length);
    }
    std::free(reply);
    return bytes;
}

std::vector<std::uint32_t> words(const std::optional<std::string>& bytes) {
    std::vector<std::uint32_t> values;
    if (bytes) {
        values.resize(bytes->size() / 4);
        if (!values.empty()) {
            std::memcpy(values.data(), bytes->data(), values.size() * 4);
        }
    }
    return values;
}

std::optional<std::string> nonEmpty(std::optional<std::string> text) {
    if (text) {
        while (!text->empty() && text->back() == '\0') {
            text->pop_back();
        }
    }
    return text && !text->empty() ? text : std::nullopt;
}

std::optional<std::string> processName(std::int32_t pid) {
    std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (comm && std::getline(comm, name) && !name.empty()) {
        return name;
    }
    return std::nullopt;
}

/// WM_CLASS holds "instance\0class\0"; the class names the application.
std::optional<std::string> className(const std::optional<std::string>& wmClass) {
    if (!wmClass) {
        return std::nullopt;
    }
    const std::size_t split = wmClass->find('\0');
    if (split == std::string::npos) {
        return nonEmpty(*wmClass);
    }
    return nonEmpty(wmClass->substr(split + 1));
}

} // namespace

struct X11WindowList::Connection {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_WINDOW_NONE;
    Atoms atoms{};

    ~Connection() {
        if (connection) {
            xcb_disconnect(connection);
        }
    }

    /// Front to back.
    std::vector<xcb_window_t> stacking() const {
        std::vector<std::uint32_t> clients =
            words(property(connection, root, atoms.clientListStacking, XCB_ATOM_WINDOW));
        if (clients.empty()) {
            xcb_query_tree_reply_t* tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
            if (tree) {
                const xcb_window_t* children = xcb_query_tree_children(tree);
                clients.assign(children, children + xcb_query_tree_children_length(tree));
            }
            std::free(tree);
        }
        // Both lists run bottom to top.
        std::reverse(clients.begin(), clients.end());
        return {clients.begin(), clients.end()};
    }

    /// Nothing for windows that are not shown or are part of the desktop.
    std::optional<WindowServerWindow> describe(xcb_window_t window, Point origin) const {
        xcb_get_window_attributes_reply_t* attributes =
            xcb_get_window_attributes_reply(connection, xcb_get_window_attributes(connection, window), nullptr);
        if (!attributes) {
            return std::nullopt;
        }
        const bool shown =
            attributes->map_state == XCB_MAP_STATE_VIEWABLE && attributes->_class == XCB_WINDOW_CLASS_INPUT_OUTPUT;
        const bool overrideRedirect = attributes->override_redirect != 0;
        std::free(attributes);
        if (!shown) {
            return std::nullopt;
        }
        const std::vector<std::uint32_t> types = words(property(connection, window, atoms.windowType, XCB_ATOM_ATOM));
        if (std::find(types.begin(), types.end(), atoms.typeDesktop) != types.end()) {
            return std::nullopt;
        }
        WindowServerWindow info;
        info.number = window;
        info.layer = layerOf(types, overrideRedirect, window);
        info.name = nonEmpty(property(connection, window, atoms.wmName, atoms.utf8String));
        if (!info.name) {
            info.name = nonEmpty(property(connection, window, XCB_ATOM_WM_NAME, XCB_ATOM_ANY));
        }
        const std::vector<std::uint32_t> pid = words(property(connection, window, atoms.wmPid, XCB_ATOM_CARDINAL));
        if (!pid.empty() && pid[0] > 0) {
            info.ownerPID = static_cast<std::int32_t>(pid[0]);
        }
        info.ownerName = className(property(connection, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING));
        if (!info.ownerName && info.ownerPID) {
            info.ownerName = processName(*info.ownerPID);
        }
        const std::vector<std::uint32_t> opacity =
            words(property(connection, window, atoms.opacity, XCB_ATOM_CARDINAL));
        if (!opacity.empty()) {
            info.alpha = static_cast<double>(opacity[0]) / 0xffffffffu;
        }
        info.bounds = boundsOf(window, origin);
        return info;
    }

    int layerOf(const std::vector<std::uint32_t>& types, bool overrideRedirect, xcb_window_t window) const {
        for (const std::uint32_t type : types) {
            if (type == atoms.typeNormal || type == atoms.typeDialog) {
                break;
            }
            if (type == atoms.typeDock) {
                return dockLayer;
            }
            if (type == atoms.typeUtility || type == atoms.typeToolbar || type == atoms.typeSplash) {
                return floatingLayer;
            }
            // Menus, tooltips, notifications and types we do not know.
            return popupLayer;
        }
        if (types.empty() && overrideRedirect) {
            return popupLayer; // untyped override-redirect windows are menus and popups
        }
        const std::vector<std::uint32_t> states = words(property(connection, window, atoms.state, XCB_ATOM_ATOM));
        return std::find(states.begin(), states.end(), atoms.stateAbove) != states.end() ? floatingLayer : 0;
    }

    std::optional<Rect> boundsOf(xcb_window_t window, Point origin) const {
        xcb_get_geometry_reply_t* geometry =
            xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr);
        xcb_translate_coordinates_reply_t* position = xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, window, root, 0, 0), nullptr);
        std::optional<Rect> bounds;
        if (geometry && position) {
            // A person sees the window with its title bar and borders, and that is what a click
            // on it and a recording of it should take.
            const std::vector<std::uint32_t> extents =
                words(property(connection, window, atoms.frameExtents, XCB_ATOM_CARDINAL));
            const bool framed = extents.size() == 4;
            const double left = framed ? extents[0] : 0;
            const double right = framed ? extents[1] : 0;
            const double top = framed ? extents[2] : 0;
            const double bottom = framed ? extents[3] : 0;
            bounds = Rect{{position->dst_x - origin.x - left, position->dst_y - origin.y - top},
                          {geometry->width + left + right, geometry->height + top + bottom}};
        }
        std::free(geometry);
        std::free(position);
        return bounds;
    }
};

X11WindowList::X11WindowList(const std::string& displayName, Point primaryRootOrigin)
    : connection_(std::make_unique<Connection>()), origin_(primaryRootOrigin) {
    const auto opened = XcbScreenConnection::open(displayName);
    if (!opened) {
        return;
    }
    connection_->connection = opened->connection;
    connection_->root = opened->screen->root;
    connection_->atoms = internAll(opened->connection);
}

X11WindowList::~X11WindowList() = default;

bool X11WindowList::isConnected() const {
    return connection_->connection != nullptr;
}

std::vector<WindowServerWindow> X11WindowList::onScreenWindows() const {
    std::vector<WindowServerWindow> windows;
    if (!isConnected()) {
        return windows;
    }
    for (const xcb_window_t window : connection_->stacking()) {
        if (auto info = connection_->describe(window, origin_)) {
            windows.push_back(std::move(*info));
        }
    }
    return windows;
}

} // namespace brisklet
