// The library as it grows: one upsert (read, merge, rewrite the whole index), one search over
// every item, and the storage and retention clean-ups that run after every recording, on
// libraries of 1,000 and 20,000 items with a file and a thumbnail each.

#include "Platform/Clock.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Stores/VisualMemoryIndexCoding.h"
#include "ZelvorCore/Stores/VisualMemorySearch.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>

namespace {

using namespace brisklet;
namespace fs = std::filesystem;

constexpr double now = 1'700'000'000;

const char* const words[] = {"invoice", "dashboard", "release", "checklist", "meeting", "design",  "review",
                             "pricing", "customer",  "roadmap", "incident",  "deploy",  "metrics", "budget"};

std::string sentence(std::mt19937& random, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += (i == 0 ? "" : " ") + std::string(words[random() % std::size(words)]);
    }
    return out;
}

// A library like a few months of daily use: screenshots with recognised text, copied texts.
struct Library {
    fs::path root;
    std::unique_ptr<VisualMemoryStore> store;

    explicit Library(int count) {
        char pattern[] = "/tmp/brisklet-bench-memory-XXXXXX";
        root = ::mkdtemp(pattern);
        const fs::path files = root / "Files";
        fs::create_directories(files);
        fs::create_directories(root / "VisualMemory" / "Thumbnails");
        std::mt19937 random(42);
        std::vector<VisualMemoryItem> items;
        items.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const fs::path file = files / ("screenshot-" + std::to_string(i) + ".png");
            std::ofstream(file) << std::string(100 + random() % 400, 'x');
            VisualMemoryItem item = VisualMemoryItem::forFile(
                file, i % 5 == 0 ? ExportKind::clipboardText : ExportKind::screenshot, Date{now - i * 600.0});
            item.summary = sentence(random, 6);
            item.ocrText = sentence(random, 90) + " order #" + std::to_string(i);
            item.tags = {"screenshot", words[random() % std::size(words)], words[random() % std::size(words)]};
            item.sourceApp = i % 2 == 0 ? "Firefox" : "Slack";
            item.sourceWindow = sentence(random, 3);
            const fs::path thumbnail = root / "VisualMemory" / "Thumbnails" / (file.stem().string() + "-thumb.jpg");
            std::ofstream(thumbnail) << "jpeg";
            item.thumbnailPath = thumbnail.string();
            item.byteCount = 300;
            item.expiresAt = Date{now + 30 * 86400.0};
            items.push_back(std::move(item));
        }
        store = std::make_unique<VisualMemoryStore>(root / "VisualMemory");
        store->persist(items);
    }
    ~Library() {
        std::error_code ignored;
        fs::remove_all(root, ignored);
    }
};

Library& library(int count) {
    static std::map<int, std::unique_ptr<Library>> libraries;
    auto& slot = libraries[count];
    if (!slot) {
        slot = std::make_unique<Library>(count);
    }
    return *slot;
}

void BM_Upsert(benchmark::State& state) {
    Library& lib = library(static_cast<int>(state.range(0)));
    auto items = lib.store->load();
    std::size_t next = 0;
    for (auto _ : state) {
        // Re-record an existing file, as a finished analysis does: merge and move to the front.
        VisualMemoryItem item = items[next++ % items.size()];
        item.summary = "Analysed again " + std::to_string(next);
        benchmark::DoNotOptimize(lib.store->upsert(item));
    }
    state.counters["items"] = static_cast<double>(items.size());
}

void BM_Search(benchmark::State& state) {
    Library& lib = library(static_cast<int>(state.range(0)));
    const auto items = lib.store->load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(VisualMemorySearch::filter(items, "Order #1234", std::nullopt));
    }
}

void BM_SearchInCollection(benchmark::State& state) {
    Library& lib = library(static_cast<int>(state.range(0)));
    const auto items = lib.store->load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(VisualMemorySearch::filter(items, "invoice", std::string("Firefox")));
    }
}

void BM_StorageCleanup(benchmark::State& state) {
    Library& lib = library(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        // Under the limit: every file and thumbnail is measured, nothing is evicted.
        benchmark::DoNotOptimize(lib.store->cleanupStorageLimit(VisualMemoryStorageLimit::oneGB));
    }
}

void BM_RetentionCleanup(benchmark::State& state) {
    Library& lib = library(static_cast<int>(state.range(0)));
    const AppPreferences preferences = AppPreferences::defaults();
    for (auto _ : state) {
        benchmark::DoNotOptimize(lib.store->cleanupExpiredItems(preferences, Date{now}));
    }
}

void BM_LoadAfterOutsideChange(benchmark::State& state) {
    Library& lib = library(static_cast<int>(state.range(0)));
    const std::string document = encodeVisualMemoryIndex(lib.store->load());
    for (auto _ : state) {
        state.PauseTiming();
        writeFileAtomically(lib.store->indexURL(), document); // another writer: the cache is stale
        state.ResumeTiming();
        benchmark::DoNotOptimize(lib.store->load());
    }
}

void BM_LoadUnchanged(benchmark::State& state) {
    Library& lib = library(static_cast<int>(state.range(0)));
    lib.store->load();
    for (auto _ : state) {
        benchmark::DoNotOptimize(lib.store->load());
    }
}

void sizes(benchmark::internal::Benchmark* b) {
    b->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
}

BENCHMARK(BM_Upsert)->Apply(sizes);
BENCHMARK(BM_Search)->Apply(sizes);
BENCHMARK(BM_SearchInCollection)->Apply(sizes);
BENCHMARK(BM_StorageCleanup)->Apply(sizes);
BENCHMARK(BM_RetentionCleanup)->Apply(sizes);
BENCHMARK(BM_LoadUnchanged)->Apply(sizes);
BENCHMARK(BM_LoadAfterOutsideChange)->Apply(sizes);

} // namespace

BENCHMARK_MAIN();
