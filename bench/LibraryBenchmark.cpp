// The library window with a large visual memory: the first complete paint (every visible card
// with its picture), a search keystroke to the repainted grid, scrolling frame by frame, and the
// peak memory. Thumbnails are real files on disk, decoded by the window's own worker threads.
//
// Usage: brisklet_bench_library [--items N] [--thumbnails DIR]
#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "Platform/Linux/Codec/LinuxImageCodec.h"
#include "Shell/Library/LibraryThumbnailCache.h"
#include "Shell/Library/VisualMemoryLibraryWindow.h"
#include "Shell/Library/VisualMemoryMasonryView.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"
#include "ZelvorApp/Library/VisualMemoryImageMetrics.h"
#include "ZelvorApp/Library/VisualMemoryLibraryViewModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <vector>

using namespace brisklet;
namespace fs = std::filesystem;

namespace {

/// A few hundred different thumbnails of assorted proportions, written once and reused.
std::vector<fs::path> thumbnails(const fs::path& directory, const LinuxImageCodec& codec, int count) {
    fs::create_directories(directory);
    std::vector<fs::path> files;
    for (int i = 0; i < count; ++i) {
        const fs::path file = directory / ("thumb-" + std::to_string(i) + ".png");
        if (!fs::exists(file)) {
            const int height = 120 + (i * 37) % 500;
            Image image(420, height);
            image.fill(static_cast<std::uint8_t>(40 + i % 200), static_cast<std::uint8_t>(90 + i * 7 % 150),
                       static_cast<std::uint8_t>(160 + i * 3 % 90));
            if (!codec.writeFile(image, file, ImageFormat::png)) {
                std::fprintf(stderr, "cannot write %s\n", file.c_str());
                std::exit(1);
            }
        }
        files.push_back(file);
    }
    return files;
}

double percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

/// Repaints until every visible card has its picture; returns the milliseconds since `timer` started.
double untilComplete(VisualMemoryLibraryWindow& window, LibraryThumbnailCache& cache, const QElapsedTimer& timer) {
    for (int round = 0; round < 10000; ++round) {
        window.grid()->viewport()->repaint();
        if (cache.pendingCount() == 0 && window.grid()->paintedCardCount() > 0) {
            return static_cast<double>(timer.nsecsElapsed()) / 1e6;
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    Q_INIT_RESOURCE(brisklet);
    int itemCount = 20000;
    fs::path thumbnailDirectory = fs::temp_directory_path() / "brisklet-bench-library";
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--items") {
            itemCount = std::stoi(argv[i + 1]);
        } else if (flag == "--thumbnails") {
            thumbnailDirectory = argv[i + 1];
        }
    }
    const LinuxImageCodec codec;
    const auto files = thumbnails(thumbnailDirectory, codec, 400);
    std::vector<VisualMemoryItem> items;
    items.reserve(static_cast<std::size_t>(itemCount));
    for (int i = 0; i < itemCount; ++i) {
        const fs::path& thumbnail = files[static_cast<std::size_t>(i) % files.size()];
        VisualMemoryItem item = VisualMemoryItem::forFile(thumbnail.parent_path() / ("capture-" + std::to_string(i) + ".png"),
                                                          i % 9 == 0 ? ExportKind::clipboardText : ExportKind::screenshot,
                                                          Date{1.7e9 + i});
        item.summary = "capture " + std::to_string(i);
        item.ocrText = i % 9 == 0 ? "copied text number " + std::to_string(i) : "";
        item.tags = {i % 2 ? "work" : "home", "tag" + std::to_string(i % 50)};
        item.sourceApp = i % 3 ? "Firefox" : "Terminal";
        // Every card has its own thumbnail file name in the cache (as in a real library), the
        // pixels are shared so the set stays small on disk.
        item.thumbnailPath = thumbnail.string();
        items.push_back(std::move(item));
    }
    AppModel model;
    model.setVisualMemoryItems(items);
    LocalizationStore localization([] { return std::vector<std::string>{"en"}; });
    InMemoryDefaultsStore defaults;
    VisualMemoryImageMetrics metrics(codec);

    QElapsedTimer prewarm;
    prewarm.start();
    metrics.prewarm(items);
    std::printf("library items=%d prewarm_ms=%.1f (background, at start-up)\n", itemCount,
                static_cast<double>(prewarm.nsecsElapsed()) / 1e6);

    LibraryThumbnailCache cache;
    QElapsedTimer timer;
    timer.start();
    VisualMemoryLibraryViewModel viewModel(model, metrics, &defaults, {});
    VisualMemoryLibraryWindow window(viewModel, cache, localization, model, &defaults);
    viewModel.setOnChange([&window] { window.refresh(); });
    cache.onLoaded = [&window] { window.grid()->viewport()->update(); };
    window.resize(1280, 800);
    window.present();
    const double firstPaint = untilComplete(window, cache, timer);
    std::printf("library first_complete_paint_ms=%.1f (target <= 300) cards=%d\n", firstPaint,
                window.grid()->paintedCardCount());

    std::vector<double> keystrokes;
    const std::string query = "capture 12";
    for (const char c : query) {
        QElapsedTimer key;
        key.start();
        QTest::keyClick(window.searchField(), c);
        window.grid()->viewport()->repaint();
        keystrokes.push_back(static_cast<double>(key.nsecsElapsed()) / 1e6);
    }
    std::printf("library search_keystroke_ms median=%.2f max=%.2f (target <= 30) shown=%zu\n",
                percentile(keystrokes, 0.5), percentile(keystrokes, 1.0), viewModel.displayedCount());
    window.searchField()->clear();
    untilComplete(window, cache, timer);

    std::vector<double> frames;
    QScrollBar* bar = window.grid()->verticalScrollBar();
    for (int frame = 0; frame < 600 && bar->value() < bar->maximum(); ++frame) {
        QElapsedTimer step;
        step.start();
        bar->setValue(bar->value() + 60);
        window.grid()->viewport()->repaint();
        frames.push_back(static_cast<double>(step.nsecsElapsed()) / 1e6);
        // The decoded pictures arrive between frames, as they would at 60 frames a second.
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
    }
    std::printf("library scroll_frame_ms median=%.2f p95=%.2f max=%.2f frames=%zu (target <= 16)\n",
                percentile(frames, 0.5), percentile(frames, 0.95), percentile(frames, 1.0), frames.size());

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("library peak_rss_mb=%.1f\n", static_cast<double>(usage.ru_maxrss) / 1024.0);
    cache.waitForPending();
    return 0;
}
