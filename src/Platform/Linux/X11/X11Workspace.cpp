#include "Platform/Linux/X11/X11Workspace.h"

#include <xcb/xcb.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <unistd.h>
#include <vector>

namespace brisklet {

namespace {

struct Property {
    xcb_atom_t type = XCB_ATOM_NONE;
    std::uint8_t format = 0;
    std::vector<std::uint8_t> bytes;
};

xcb_atom_t internAtom(xcb_connection_t* c, const char* name) {
    const auto cookie = xcb_intern_atom(c, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookie, nullptr);
    if (reply == nullptr) {
        return XCB_ATOM_NONE;
    }
    const xcb_atom_t atom = reply->atom;
    std::free(reply);
    return atom;
}

xcb_window_t rootWindow(xcb_connection_t* c) {
    const xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    return it.rem > 0 ? it.data->root : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

// Reads up to 64 KiB of a property; an error (e.g. the window vanished) gives nothing.
std::optional<Property> readProperty(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    if (window == XCB_WINDOW_NONE || property == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    const auto cookie = xcb_get_property(c, 0, window, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 16384);
    xcb_generic_error_t* error = nullptr;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(c, cookie, &error);
    std::free(error);
    if (reply == nullptr) {
        return std::nullopt;
    }
    Property result;
    result.type = reply->type;
    result.format = reply->format;
    const auto* data = static_cast<const std::uint8_t*>(xcb_get_property_value(reply));
    result.bytes.assign(data, data + xcb_get_property_value_length(reply));
    std::free(reply);
    if (result.type == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    return result;
}

std::optional<std::uint32_t> readCardinal(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    const auto value = readProperty(c, window, property);
    if (!value || value->format != 32 || value->bytes.size() < 4) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    std::memcpy(&number, value->bytes.data(), sizeof number);
    return number;
}

std::optional<std::string> readText(xcb_connection_t* c, xcb_window_t window, xcb_atom_t property) {
    const auto value = readProperty(c, window, property);
    if (!value || value->format != 8 || value->bytes.empty()) {
        return std::nullopt;
    }
    std::string text(value->bytes.begin(), value->bytes.end());
    while (!text.empty() && text.back() == '\0') {
        text.pop_back();
    }
    return text.empty() ? std::nullopt : std::optional<std::string>(text);
}

std::optional<std::string> processName(std::uint32_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    if (!in || !std::getline(in, name) || name.empty()) {
        return std::nullopt;
    }
    return name;
}

struct Atoms {
    xcb_atom_t activeWindow = XCB_ATOM_NONE;
    xcb_atom_t wmName = XCB_ATOM_NONE;
    xcb_atom_t wmPid = XCB_ATOM_NONE;
    explicit Atoms(xcb_connection_t* c)
        : activeWindow(internAtom(c, "_NET_ACTIVE_WINDOW")), wmName(internAtom(c, "_NET_WM_NAME")),
          wmPid(internAtom(c, "_NET_WM_PID")) {}
};

xcb_window_t activeWindow(xcb_connection_t* c, const Atoms& atoms) {
    const auto window = readCardinal(c, rootWindow(c), atoms.activeWindow);
    return window ? static_cast<xcb_window_t>(*window) : static_cast<xcb_window_t>(XCB_WINDOW_NONE);
}

std::optional<RunningApplication> applicationOf(xcb_connection_t* c, const Atoms& atoms, xcb_window_t window) {
    if (window == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    RunningApplication app;
    if (const auto pid = readCardinal(c, window, atoms.wmPid)) {
        app.processIdentifier = static_cast<std::int32_t>(*pid);
    }
    // WM_CLASS holds "instance\0class\0"; the class names the application ("Firefox", "Code").
    if (const auto wmClass = readProperty(c, window, XCB_ATOM_WM_CLASS); wmClass && wmClass->format == 8) {
        const std::string raw(wmClass->bytes.begin(), wmClass->bytes.end());
        const auto split = raw.find('\0');
        std::string className = split == std::string::npos ? std::string() : raw.substr(split + 1);
        className = className.substr(0, className.find('\0'));
        if (!className.empty()) {
            app.localizedName = className;
        }
    }
    std::optional<std::string> comm;
    if (app.processIdentifier > 0) {
        comm = processName(static_cast<std::uint32_t>(app.processIdentifier));
    }
    if (app.localizedName.empty() && comm) {
        app.localizedName = *comm;
    }
    if (app.localizedName.empty()) {
        return std::nullopt;
    }
    std::string identifier = app.localizedName;
    for (char& ch : identifier) {
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    }
    app.bundleIdentifier = identifier;
    return app;
}

} // namespace

std::unique_ptr<X11Workspace> X11Workspace::connect(const std::string& displayName) {
    xcb_connection_t* connection = xcb_connect(displayName.empty() ? nullptr : displayName.c_str(), nullptr);
    if (connection == nullptr || xcb_connection_has_error(connection) != 0) {
        if (connection != nullptr) {
            xcb_disconnect(connection);
        }
        return nullptr;
    }
    return std::unique_ptr<X11Workspace>(new X11Workspace(connection, displayName));
}

X11Workspace::X11Workspace(xcb_connection_t* connection, std::string displayName)
    : connection_(connection), displayName_(std::move(displayName)) {}

X11Workspace::~X11Workspace() {
    stopObservingActivations();
    xcb_disconnect(connection_);
}

std::optional<RunningApplication> X11Workspace::frontmostApplication() const {
    const Atoms atoms(connection_);
    return applicationOf(connection_, atoms, activeWindow(connection_, atoms));
}

std::optional<std::string> X11Workspace::frontmostWindowTitle() const {
    const Atoms atoms(connection_);
    const xcb_window_t window = activeWindow(connection_, atoms);
    if (auto title = readText(connection_, window, atoms.wmName)) {
        return title;
    }
    return readText(connection_, window, XCB_ATOM_WM_NAME);
}

std::int32_t X11Workspace::currentProcessIdentifier() const {
    return static_cast<std::int32_t>(::getpid());
}

void X11Workspace::startObservingActivations(ActivationHandler handler) {
    {
        std::lock_guard lock(handlerMutex_);
        handler_ = std::move(handler);
    }
    if (observer_.joinable()) {
        return;
    }
    xcb_connection_t* watcher = xcb_connect(displayName_.empty() ? nullptr : displayName_.c_str(), nullptr);
    if (watcher == nullptr || xcb_connection_has_error(watcher) != 0 || ::pipe2(wakePipe_, O_CLOEXEC) != 0) {
        if (watcher != nullptr) {
            xcb_disconnect(watcher);
        }
        return;
    }
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(watcher, rootWindow(watcher), XCB_CW_EVENT_MASK, &mask);
    // A round trip: once it returns the server reports every later change, and the window
    // read below is the one the first reported change is compared with.
    std::free(xcb_get_input_focus_reply(watcher, xcb_get_input_focus(watcher), nullptr));
    const xcb_window_t current = activeWindow(watcher, Atoms(watcher));
    observer_ = std::thread([this, watcher, current, wakeFd = wakePipe_[0]] {
        observe(watcher, current, wakeFd);
        xcb_disconnect(watcher);
    });
}

void X11Workspace::stopObservingActivations() {
    if (observer_.joinable()) {
        const char stop = 1;
        [[maybe_unused]] const auto written = ::write(wakePipe_[1], &stop, 1);
        observer_.join();
        ::close(wakePipe_[0]);
        ::close(wakePipe_[1]);
        wakePipe_[0] = wakePipe_[1] = -1;
    }
    std::lock_guard lock(handlerMutex_);
    handler_ = nullptr;
}

void X11Workspace::observe(xcb_connection_t* connection, std::uint32_t initialActiveWindow, int wakeFd) {
    const Atoms atoms(connection);
    xcb_window_t lastActive = initialActiveWindow;
    pollfd fds[2] = {{xcb_get_file_descriptor(connection), POLLIN, 0}, {wakeFd, POLLIN, 0}};
    while (xcb_connection_has_error(connection) == 0) {
        bool activeChanged = false;
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            if ((event->response_type & 0x7F) == XCB_PROPERTY_NOTIFY) {
                const auto* notify = reinterpret_cast<xcb_property_notify_event_t*>(event);
                activeChanged = activeChanged || notify->atom == atoms.activeWindow;
            }
            std::free(event);
        }
        if (activeChanged) {
            const xcb_window_t active = activeWindow(connection, atoms);
            if (active != lastActive) {
                lastActive = active;
                if (const auto app = applicationOf(connection, atoms, active)) {
                    std::lock_guard lock(handlerMutex_);
                    if (handler_) {
                        handler_(*app);
                    }
                }
            }
        }
        if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
            return;
        }
        if ((fds[1].revents & POLLIN) != 0) {
            return;
        }
    }
}

} // namespace brisklet
