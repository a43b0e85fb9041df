#include "Platform/Linux/X11/X11WindowServer.h"

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

#include <cmath>
#include <cstdlib>

namespace brisklet {

namespace {

constexpr unsigned int wheelUpButton = 4;
constexpr unsigned int wheelDownButton = 5;
/// A burst of clicks larger than this is a caller's mistake, not a scroll step.
constexpr int maximumClicksPerCall = 200;

} // namespace

struct X11WindowServer::Connection {
    Display* display = nullptr;
    bool hasXTest = false;

    ~Connection() {
        if (display) {
            XCloseDisplay(display);
        }
    }
};

X11WindowServer::X11WindowServer(Options options)
    : connection_(std::make_unique<Connection>()), options_(std::move(options)) {
    connection_->display = XOpenDisplay(options_.displayName.empty() ? nullptr : options_.displayName.c_str());
    if (connection_->display) {
        int eventBase = 0, errorBase = 0, major = 0, minor = 0;
        connection_->hasXTest = XTestQueryExtension(connection_->display, &eventBase, &errorBase, &major, &minor);
    }
}

X11WindowServer::~X11WindowServer() = default;

bool X11WindowServer::isConnected() const {
    return connection_->display != nullptr;
}

ScrollEventSupport X11WindowServer::scrollEventSupport() const {
    ScrollEventSupport support;
    support.canWarpPointer = isConnected();
    support.canPostScrollEvents = isConnected() && connection_->hasXTest;
    support.deliversExactPixels = false;
    support.pixelsPerWheelClick = options_.pixelsPerWheelClick;
    return support;
}

bool X11WindowServer::warpPointer(Point location) {
    Display* display = connection_->display;
    if (!display || !std::isfinite(location.x) || !std::isfinite(location.y)) {
        return false;
    }
    const Window root = DefaultRootWindow(display);
    XWarpPointer(display, None, root, 0, 0, 0, 0, static_cast<int>(std::lround(location.x)),
                 static_cast<int>(std::lround(location.y)));
    XSync(display, False);
    return true;
}

bool X11WindowServer::postPixelScroll(int) {
    return false;
}

bool X11WindowServer::postWheelClicks(int clicks) {
    Display* display = connection_->display;
    if (!display || !connection_->hasXTest || clicks == 0 || std::abs(clicks) > maximumClicksPerCall) {
        return false;
    }
    // Negative clicks move the content up, which is what the wheel's "down" button does.
    const unsigned int button = clicks < 0 ? wheelDownButton : wheelUpButton;
    for (int i = 0; i < std::abs(clicks); ++i) {
        XTestFakeButtonEvent(display, button, True, CurrentTime);
        XTestFakeButtonEvent(display, button, False, CurrentTime);
    }
    XFlush(display);
    return true;
}

} // namespace brisklet
