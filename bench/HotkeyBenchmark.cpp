// Key press to controller: how long after XTest presses Ctrl+Alt+4 on a private X server the
// hotkey manager calls the controller's handleHotkey, through the same path the application
// uses (root-window key grab, socket notifier on the Qt event loop, the main-queue hand-off).
// Prints every sample and the median of 20; target 5 ms.
#include "Platform/Clock.h"
#include "Platform/Linux/Qt/QtMainQueue.h"
#include "Platform/Linux/X11/X11GlobalHotkeyService.h"
#include "ZelvorApp/Hotkeys/HotkeyManager.h"
#include "support/PrivateXServer.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QSocketNotifier>
#include <QTimer>

#include <X11/keysym.h>
#include <xcb/xcb_keysyms.h>
#include <xcb/xtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

using namespace brisklet;

namespace {

xcb_keycode_t keycodeOf(xcb_key_symbols_t* symbols, xcb_keysym_t keysym) {
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, keysym);
    const xcb_keycode_t code = codes ? codes[0] : 0;
    std::free(codes);
    return code;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    testing::PrivateXServer server;
    if (server.display().empty()) {
        std::fprintf(stderr, "hotkey benchmark: Xvfb did not start\n");
        return 1;
    }
    auto service = X11GlobalHotkeyService::open(server.display());
    xcb_connection_t* typist = xcb_connect(server.display().c_str(), nullptr);
    if (!service || xcb_connection_has_error(typist)) {
        std::fprintf(stderr, "hotkey benchmark: cannot connect to %s\n", server.display().c_str());
        return 1;
    }
    QSocketNotifier notifier(service->fileDescriptor(), QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, [&] { service->processPendingEvents(); });
    QtMainQueue mainQueue;
    SystemClock clock;
    HotkeyManager manager(*service, mainQueue, clock);

    using Clock = std::chrono::steady_clock;
    Clock::time_point pressedAt;
    std::vector<double> samples;
    QEventLoop loop;
    manager.setTarget({[&](GlobalHotkeyAction action) {
                           if (action == GlobalHotkeyAction::screenshot) {
                               samples.push_back(std::chrono::duration<double, std::milli>(Clock::now() - pressedAt).count());
                               loop.quit();
                           }
                       },
                       {},
                       {}});
    manager.reload(AppPreferences{});

    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(typist);
    const xcb_keycode_t keys[] = {keycodeOf(symbols, XK_Control_L), keycodeOf(symbols, XK_Alt_L),
                                  keycodeOf(symbols, XK_4)};
    constexpr int runs = 20;
    for (int run = 0; run < runs + 2; ++run) {
        pressedAt = Clock::now();
        for (const auto key : keys) {
            xcb_test_fake_input(typist, XCB_KEY_PRESS, key, XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        }
        for (int i = 2; i >= 0; --i) {
            xcb_test_fake_input(typist, XCB_KEY_RELEASE, keys[i], XCB_CURRENT_TIME, XCB_NONE, 0, 0, 0);
        }
        xcb_flush(typist);
        QTimer::singleShot(2000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    xcb_key_symbols_free(symbols);
    xcb_disconnect(typist);
    if (samples.size() < runs + 2) {
        std::fprintf(stderr, "hotkey benchmark: only %zu of %d presses arrived\n", samples.size(), runs + 2);
        return 1;
    }
    // The first two warm the server's and our caches; the rest are measured.
    std::vector<double> measured(samples.begin() + 2, samples.end());
    std::sort(measured.begin(), measured.end());
    const double median = (measured[runs / 2 - 1] + measured[runs / 2]) / 2;
    std::printf("Global hotkey: XTest key press -> controller handleHotkey (private Xvfb, %d presses)\n", runs);
    std::printf("  median %.2f ms, fastest %.2f ms, slowest %.2f ms (target 5 ms) -> target %s\n", median,
                measured.front(), measured.back(), median <= 5.0 ? "met" : "MISSED");
    return 0;
}
