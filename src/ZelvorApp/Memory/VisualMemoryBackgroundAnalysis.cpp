#include "ZelvorApp/Memory/VisualMemoryBackgroundAnalysis.h"

#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Memory/VisualMemoryEnvironment.h"
#include "ZelvorCore/Stores/VisualMemoryStore.h"

#include <algorithm>

namespace brisklet {

void VisualMemoryBackgroundAnalysis::run(const VisualMemoryEnvironment& env, VisualMemoryAnalyzer& analyzer,
                                         const VisualMemoryItem& item, const VisualMemorySource& source,
                                         std::weak_ptr<bool> alive, std::function<void(const Outcome&)> onOutcome) {
    MainQueue& mainQueue = env.mainQueue;
    env.workQueue.async(
        [&analyzer, &mainQueue, item, source, alive = std::move(alive), onOutcome = std::move(onOutcome)] {
            auto outcome = analyzer.analyze(item.url, item.kind, source);
            mainQueue.post([outcome = std::move(outcome), alive, onOutcome] {
                if (!alive.expired()) {
                    onOutcome(outcome);
                }
            });
        });
}

bool VisualMemoryBackgroundAnalysis::store(VisualMemoryStore& store, const VisualMemoryItem& item,
                                           const VisualMemoryAnalysis& analysis) {
    VisualMemoryItem updated = item;
    updated.summary = analysis.summary;
    updated.tags = analysis.tags;
    updated.ocrText = analysis.ocrText;
    updated.thumbnailPath = analysis.thumbnailPath;
    const std::vector<VisualMemoryItem> current = store.load();
    const bool stillListed = std::any_of(current.begin(), current.end(), [&](const VisualMemoryItem& candidate) {
        return candidate.id == item.id || candidate.url == item.url;
    });
    if (!stillListed) {
        VisualMemoryStore::deleteAssociatedFiles(updated, false, current);
        RuntimeLogger::log("visualMemory analyze dropped url=" + item.url.string() + " reason=itemRemoved");
        return false;
    }
    store.upsert(updated);
    return true;
}

} // namespace brisklet
