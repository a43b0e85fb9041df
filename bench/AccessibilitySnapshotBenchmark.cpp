// The accessibility snapshot of a real application over AT-SPI: scripts/bench superscreenshot
// starts a Qt window with 2,000 labels and Chromium on a long article, on a private X server and
// session bus, and this reads the tree the way a super screenshot does (same limits), then
// formats it. Prints the median of the runs and the elements read.
//
// Usage: brisklet_bench_accessibility PID WINDOW_TITLE WHAT

#include "Platform/Clock.h"
#include "Platform/Linux/Accessibility/AtSpiSnapshotReader.h"
#include "Platform/Linux/Desktop/LinuxPrivacyPermissions.h"
#include "Platform/Linux/X11/X11DisplayServer.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotFormatter.h"

#include <QCoreApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace brisklet;
using Stopwatch = std::chrono::steady_clock;

constexpr int runs = 7;

int countNodes(const AccessibilitySnapshotNode& node) {
    int count = 1;
    for (const auto& child : node.children) {
        count += countNodes(child);
    }
    return count;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: brisklet_bench_accessibility PID WINDOW_TITLE WHAT\n");
        return 2;
    }
    QCoreApplication application(argc, argv);
    const auto process = static_cast<std::int32_t>(std::atoi(argv[1]));
    const std::string title = argv[2];
    const char* display = std::getenv("DISPLAY");
    SystemClock clock;
    LinuxPrivacyPermissions permissions(display ? display : "");
    X11DisplayServer displays(display ? display : "");
    AtSpiSnapshotReader reader(clock, permissions, displays);
    if (!reader.requestTrust()) {
        std::fprintf(stderr, "accessibility: the accessibility bus did not come up\n");
        return 1;
    }
    // The application registers its widgets a moment after it maps; wait for the whole tree.
    int nodes = 0;
    for (int attempt = 0; attempt < 100 && nodes < 2000; ++attempt) {
        const auto snapshot = reader.snapshot(process, title, {});
        nodes = snapshot ? countNodes(*snapshot) : 0;
        if (nodes < 2000) {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
    }
    std::vector<double> readMs, formatMs;
    std::size_t characters = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = Stopwatch::now();
        const auto snapshot = reader.snapshot(process, title, {});
        const auto read = Stopwatch::now();
        const auto text = AccessibilitySnapshotFormatter::format(snapshot);
        const auto done = Stopwatch::now();
        nodes = snapshot ? countNodes(*snapshot) : 0;
        characters = text.text.size();
        readMs.push_back(std::chrono::duration<double, std::milli>(read - start).count());
        formatMs.push_back(std::chrono::duration<double, std::milli>(done - read).count());
    }
    std::sort(readMs.begin(), readMs.end());
    std::sort(formatMs.begin(), formatMs.end());
    std::printf("  AT-SPI snapshot of %s, %d elements read:    %.1f ms (format %.1f ms, %zu bytes of text)\n", argv[3],
                nodes, readMs[runs / 2], formatMs[runs / 2], characters);
    return nodes >= 2000 ? 0 : 1;
}
