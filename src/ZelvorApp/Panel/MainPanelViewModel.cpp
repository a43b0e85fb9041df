#include "ZelvorApp/Panel/MainPanelViewModel.h"

#include "Platform/MainQueue.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorCore/Stores/VisualMemorySearch.h"

#include <algorithm>

namespace brisklet {

MainPanelViewModel::MainPanelViewModel(AppModel& model, MainQueue& mainQueue, Actions actions)
    : model_(model), mainQueue_(mainQueue), actions_(std::move(actions)) {
    observer_ = model_.addObserver([this](const AppModel&) { changed(); });
}

MainPanelViewModel::~MainPanelViewModel() {
    model_.removeObserver(observer_);
}

void MainPanelViewModel::changed() {
    if (onChange_) {
        onChange_();
    }
}

void MainPanelViewModel::setQuery(std::string query) {
    if (query == query_) {
        return;
    }
    query_ = std::move(query);
    changed();
}

void MainPanelViewModel::setFilter(VisualMemoryQuickFilter filter) {
    if (filter == filter_) {
        return;
    }
    filter_ = filter;
    changed();
}

std::vector<VisualMemoryItem> MainPanelViewModel::filteredVisualMemories() const {
    auto matches = VisualMemorySearch::filter(model_.visualMemoryItems(), query_,
                                              MainMenuVisualMemoryFilterPolicy::collection(filter_));
    return MainMenuVisualMemoryFilterPolicy::apply(filter_, std::move(matches));
}

std::vector<MainPanelViewModel::Row> MainPanelViewModel::rows() const {
    std::vector<Row> rows;
    for (auto& item : filteredVisualMemories()) {
        if (rows.size() == maximumRows) {
            break;
        }
        const bool copied = copiedIds_.contains(item.id);
        rows.push_back(Row{std::move(item), copied});
    }
    return rows;
}

bool MainPanelViewModel::hasAnyItems() const {
    return !model_.visualMemoryItems().empty();
}

void MainPanelViewModel::perform(MainMenuActionGlyph action) {
    if (actions_.quickAction) {
        actions_.quickAction(action);
    }
}

void MainPanelViewModel::perform(RowAction action, const std::string& itemId) {
    const auto& items = model_.visualMemoryItems();
    const auto it = std::find_if(items.begin(), items.end(), [&](const VisualMemoryItem& item) { return item.id == itemId; });
    if (it == items.end()) {
        RuntimeLogger::log("main panel row action skipped; item gone id=" + itemId);
        return;
    }
    // The controller may replace the published items; act on a copy.
    const VisualMemoryItem item = *it;
    if (actions_.rowAction) {
        actions_.rowAction(action, item);
    }
    if (action != RowAction::copy) {
        return;
    }
    const int copy = ++copies_;
    copiedIds_[item.id] = copy;
    changed();
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.postAfter(copiedStateSeconds, [this, alive, copy, id = item.id] {
        if (alive.expired()) {
            return;
        }
        const auto entry = copiedIds_.find(id);
        if (entry != copiedIds_.end() && entry->second == copy) {
            copiedIds_.erase(entry);
            changed();
        }
    });
}

void MainPanelViewModel::openLibrary() {
    if (actions_.openLibrary) {
        actions_.openLibrary();
    }
}

void MainPanelViewModel::openSettings() {
    if (actions_.openSettings) {
        actions_.openSettings();
    }
}

} // namespace brisklet
