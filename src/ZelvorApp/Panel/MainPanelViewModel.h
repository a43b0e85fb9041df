#pragma once

#include "ZelvorApp/Panel/VisualMemoryQuickFilter.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <functional>
#include <memory>
#include <map>
#include <string>
#include <vector>

namespace brisklet {

class AppModel;
class MainQueue;

/// The main panel's state and rules: the quick capture actions, the search over the visual
/// memory with its five filters, and the rows of the eight newest matches. Main queue only.
class MainPanelViewModel {
public:
    static constexpr std::size_t maximumRows = 8;
    static constexpr double copiedStateSeconds = 0.9;

    struct Row {
        VisualMemoryItem item;
        /// The row was copied less than `copiedStateSeconds` ago.
        bool didCopy = false;
    };
    enum class RowAction { open, annotate, copy, favorite, pin, remove };

    /// The controller's side of every control.
    struct Actions {
        std::function<void(MainMenuActionGlyph)> quickAction;
        std::function<void(RowAction, const VisualMemoryItem&)> rowAction;
        std::function<void()> openLibrary;
        std::function<void()> openSettings;
    };

    MainPanelViewModel(AppModel& model, MainQueue& mainQueue, Actions actions);
    ~MainPanelViewModel();
    MainPanelViewModel(const MainPanelViewModel&) = delete;
    MainPanelViewModel& operator=(const MainPanelViewModel&) = delete;

    /// The controller's side, once it exists.
    void setActions(Actions actions) { actions_ = std::move(actions); }
    /// Runs after every change the panel should show.
    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

    const std::string& query() const { return query_; }
    void setQuery(std::string query);
    VisualMemoryQuickFilter filter() const { return filter_; }
    void setFilter(VisualMemoryQuickFilter filter);

    /// Every match of the query and filter, newest first.
    std::vector<VisualMemoryItem> filteredVisualMemories() const;
    /// The first `maximumRows` of them.
    std::vector<Row> rows() const;
    /// Whether the library holds anything at all (tells "empty" from "no results").
    bool hasAnyItems() const;

    void perform(MainMenuActionGlyph action);
    void perform(RowAction action, const std::string& itemId);
    void openLibrary();
    void openSettings();

private:
    void changed();

    AppModel& model_;
    MainQueue& mainQueue_;
    Actions actions_;
    std::function<void()> onChange_;
    std::string query_;
    VisualMemoryQuickFilter filter_ = VisualMemoryQuickFilter::recent;
    /// Copied rows and the number of their latest copy, so an older timer leaves a newer copy shown.
    std::map<std::string, int> copiedIds_;
    int copies_ = 0;
    int observer_ = 0;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
