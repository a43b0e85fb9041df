#pragma once

#include "ZelvorApp/Memory/VisualMemoryAnalyzer.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <functional>
#include <memory>

namespace brisklet {

class VisualMemoryStore;
struct VisualMemoryEnvironment;

/// Analysis of library items off the main queue, shared by everything that records items.
struct VisualMemoryBackgroundAnalysis {
    using Outcome = Result<VisualMemoryAnalysis, VisualMemoryAnalysisError>;

    /// Analyses `item` on the environment's work queue and hands the outcome to `onOutcome` on the
    /// main queue, unless `alive` has expired by then (the caller is gone). The worker touches only
    /// `analyzer` and the main queue, which must outlive the work.
    static void run(const VisualMemoryEnvironment& env, VisualMemoryAnalyzer& analyzer, const VisualMemoryItem& item,
                    const VisualMemorySource& source, std::weak_ptr<bool> alive,
                    std::function<void(const Outcome&)> onOutcome);

    /// Puts the analysis into the stored item. False when the item was removed while it was being
    /// analysed: storing the result would bring it back, so its new files are deleted instead.
    static bool store(VisualMemoryStore& store, const VisualMemoryItem& item, const VisualMemoryAnalysis& analysis);
};

} // namespace brisklet
