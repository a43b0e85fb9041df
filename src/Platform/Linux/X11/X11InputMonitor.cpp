#include "Platform/Linux/X11/X11InputMonitor.h"

#include "Platform/Linux/X11/X11DisplayServer.h"
#include "Platform/Linux/X11/XcbScreenConnection.h"
#include "Platform/MainQueue.h"

#include <xcb/xcb.h>
#include <xcb/xinput.h>

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <optional>

namespace brisklet {

namespace {

Rect unionOf(const Rect& a, const Rect& b) {
    const double left = std::min(a.minX(), b.minX());
    const double bottom = std::min(a.minY(), b.minY());
    return {{left, bottom}, {std::max(a.maxX(), b.maxX()) - left, std::max(a.maxY(), b.maxY()) - bottom}};
}

} // namespace

struct X11InputMonitor::Handlers {
    PointHandler onMove;
    PointHandler onLeftButtonDown;
};

struct X11InputMonitor::Connection {
    xcb_connection_t* connection = nullptr;
    xcb_window_t root = XCB_NONE;
    /// The box the screens span, in the global desktop space; its top-left is root (0, 0).
    Rect desktop;

    explicit Connection(const std::string& displayName) {
        const auto opened = XcbScreenConnection::open(displayName);
        if (!opened) {
            return;
        }
        connection = opened->connection;
        root = opened->screen->root;
        desktop = Rect{{0, 0},
                       {static_cast<double>(opened->screen->width_in_pixels),
                        static_cast<double>(opened->screen->height_in_pixels)}};
        const std::vector<DisplayScreen> screens = X11DisplayServer(displayName).screens();
        if (!screens.empty()) {
            desktop = screens.front().frame;
            for (const DisplayScreen& screen : screens) {
                desktop = unionOf(desktop, screen.frame);
            }
        }
    }
    ~Connection() {
        if (connection) {
            xcb_disconnect(connection);
        }
    }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    /// The pointer in the global desktop space. A pixel row spans [maxY - row - 1, maxY - row)
    /// there; its lower edge keeps a pointer on the top row inside the screen, as the display
    /// server reports it.
    std::optional<Point> pointer() const {
        if (!connection) {
            return std::nullopt;
        }
        xcb_query_pointer_reply_t* reply =
            xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr);
        if (!reply) {
            return std::nullopt;
        }
        const Point location{desktop.minX() + reply->root_x, desktop.maxY() - reply->root_y - 1};
        std::free(reply);
        return location;
    }
};

namespace {

/// The major opcode of XInput 2.2 or later on `c`, or nothing. Raw events reach root-window
/// listeners regardless of grabs only for clients that announce 2.1 or later.
std::optional<std::uint8_t> xinputOpcode(xcb_connection_t* c) {
    const xcb_query_extension_reply_t* extension = xcb_get_extension_data(c, &xcb_input_id);
    if (!extension || !extension->present) {
        return std::nullopt;
    }
    xcb_input_xi_query_version_reply_t* version =
        xcb_input_xi_query_version_reply(c, xcb_input_xi_query_version(c, 2, 2), nullptr);
    const bool recent =
        version && (version->major_version > 2 || (version->major_version == 2 && version->minor_version >= 2));
    std::free(version);
    return recent ? std::optional<std::uint8_t>(extension->major_opcode) : std::nullopt;
}

bool selectRawEvents(xcb_connection_t* c, xcb_window_t root) {
    struct {
        xcb_input_event_mask_t header;
        std::uint32_t bits;
    } mask{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
           XCB_INPUT_XI_EVENT_MASK_RAW_MOTION | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS};
    xcb_generic_error_t* error = xcb_request_check(c, xcb_input_xi_select_events_checked(c, root, 1, &mask.header));
    std::free(error);
    return error == nullptr;
}

} // namespace

/// Everything the reader thread owns.
struct X11InputMonitor::ReaderSetup {
    std::unique_ptr<Connection> connection;
    std::uint8_t xinputOpcode = 0;
    int wakeFd = -1;
    MainQueue* mainQueue = nullptr;
    std::weak_ptr<Handlers> handlers;

    /// What one drained batch of events amounts to.
    struct Batch {
        bool moved = false;
        int leftPresses = 0;
    };

    Batch drain() const {
        Batch batch;
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection->connection)) {
            if ((event->response_type & 0x7f) == XCB_GE_GENERIC) {
                const auto* generic = reinterpret_cast<const xcb_ge_generic_event_t*>(event);
                if (generic->extension == xinputOpcode && generic->event_type == XCB_INPUT_RAW_MOTION) {
                    batch.moved = true;
                } else if (generic->extension == xinputOpcode && generic->event_type == XCB_INPUT_RAW_BUTTON_PRESS &&
                           reinterpret_cast<const xcb_input_raw_button_press_event_t*>(event)->detail == 1) {
                    ++batch.leftPresses;
                }
            }
            std::free(event);
        }
        return batch;
    }

    void post(const Batch& batch, Point location) const {
        mainQueue->post([handlers = handlers, batch, location] {
            // Checked on the main thread, where `stop` drops the handlers.
            const auto current = handlers.lock();
            if (current && batch.moved && current->onMove) {
                current->onMove(location);
            }
            for (int i = 0; i < batch.leftPresses; ++i) {
                if (current && current->onLeftButtonDown) {
                    current->onLeftButtonDown(location);
                }
            }
        });
    }

    void run() const {
        pthread_setname_np(pthread_self(), "input-monitor");
        pollfd fds[2] = {{xcb_get_file_descriptor(connection->connection), POLLIN, 0}, {wakeFd, POLLIN, 0}};
        for (;;) {
            const Batch batch = drain();
            if (xcb_connection_has_error(connection->connection)) {
                return;
            }
            const bool hadEvents = batch.moved || batch.leftPresses > 0;
            if (hadEvents) {
                if (const auto location = connection->pointer()) {
                    post(batch, *location);
                }
            }
            // Waiting for the pointer reply may have read new events into xcb's queue, where the
            // socket no longer signals them: after a batch, look again at once instead of sleeping
            // (still noticing a stop request).
            fds[0].revents = fds[1].revents = 0;
            if (poll(fds, 2, hadEvents ? 0 : -1) < 0 && errno != EINTR) {
                return;
            }
            if (fds[1].revents != 0) {
                return;
            }
        }
    }
};

X11InputMonitor::X11InputMonitor(MainQueue& mainQueue, std::string displayName)
    : mainQueue_(mainQueue), displayName_(std::move(displayName)),
      pointer_(std::make_unique<Connection>(displayName_)) {}

X11InputMonitor::~X11InputMonitor() {
    stop();
}

void X11InputMonitor::start(PointHandler onMove, PointHandler onLeftButtonDown) {
    stop();
    handlers_ = std::make_shared<Handlers>(Handlers{std::move(onMove), std::move(onLeftButtonDown)});
    auto connection = std::make_unique<Connection>(displayName_);
    if (!connection->connection) {
        return;
    }
    // Selected before returning, so nothing that happens after `start` is missed.
    const auto opcode = xinputOpcode(connection->connection);
    if (!opcode || !selectRawEvents(connection->connection, connection->root)) {
        return;
    }
    wakeFd_ = eventfd(0, EFD_CLOEXEC);
    if (wakeFd_ < 0) {
        return;
    }
    // The layout may have changed since the last start; keep both conversions the same.
    pointer_->desktop = connection->desktop;
    ReaderSetup setup{std::move(connection), *opcode, wakeFd_, &mainQueue_, handlers_};
    reader_ = std::thread([setup = std::move(setup)] { setup.run(); });
}

void X11InputMonitor::stop() {
    handlers_.reset();
    if (reader_.joinable()) {
        const std::uint64_t one = 1;
        [[maybe_unused]] const auto written = write(wakeFd_, &one, sizeof one);
        reader_.join();
    }
    if (wakeFd_ >= 0) {
        close(wakeFd_);
        wakeFd_ = -1;
    }
}

Point X11InputMonitor::currentLocation() const {
    return pointer_->pointer().value_or(Point{});
}

} // namespace brisklet
