#pragma once

#include "ZelvorApp/Library/VisualMemoryLibraryCollectionSummary.h"
#include "ZelvorApp/Library/VisualMemoryLibraryContentFilter.h"
#include "ZelvorApp/Library/VisualMemoryMasonryLayout.h"
#include "ZelvorApp/Library/VisualMemoryTagEditor.h"
#include "ZelvorCore/Models/AppLanguage.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace brisklet {

class AppModel;
class DefaultsStore;
class VisualMemoryImageMetrics;

/// The library window's state and rules: which items show for the query, collection and content
/// filter, the sidebar's counts, the masonry grid, the selection and the keyboard, the detail
/// panel's item and its tags. Main queue only.
class VisualMemoryLibraryViewModel {
public:
    static constexpr double toolbarTopInset = 52;
    static constexpr double sidebarWidth = 220;
    static constexpr double detailPanelWidth = 320;
    static constexpr double spacing = 12;
    static constexpr double defaultThumbnailWidth = 240;
    static constexpr double minimumThumbnailWidth = 140;
    static constexpr double maximumThumbnailWidth = 440;
    static constexpr std::string_view collectionKey = "brisklet.visualLibrary.selectedCollection";
    static constexpr std::string_view thumbnailWidthKey = "brisklet.visualLibrary.thumbnailWidth";
    static constexpr std::string_view contentFilterKey = "brisklet.visualLibrary.contentFilter";

    enum class ItemAction { open, reveal, annotate, copy, copyText, favorite, pin, exportObsidian };
    enum class SelectionChange { replace, toggle, extend };
    enum class Move { left, right, up, down, first, last };

    struct Actions {
        std::function<void(ItemAction, const VisualMemoryItem&)> itemAction;
        std::function<void(const std::vector<VisualMemoryItem>&)> deleteItems;
        std::function<void(const VisualMemoryItem&, const std::string&)> addTag;
        /// The tag as shown, and whether it is the user's own (else an automatic tag to hide).
        std::function<void(const VisualMemoryItem&, const std::string&, bool)> removeTag;
        /// Asks before deleting `count` items; answers true to go ahead.
        std::function<void(int, std::function<void(bool)>)> confirmDelete;
    };

    struct SidebarRow {
        enum class Kind { all, favorites, pinned, untagged, collection };
        Kind kind = Kind::all;
        /// The collection it selects (none for all items): "Favorites", "Pinned", "Untagged" or a name.
        std::optional<std::string> collection;
        int count = 0;
        bool operator==(const SidebarRow&) const = default;
    };

    VisualMemoryLibraryViewModel(AppModel& model, VisualMemoryImageMetrics& metrics, DefaultsStore* defaults,
                                 Actions actions);
    ~VisualMemoryLibraryViewModel();
    VisualMemoryLibraryViewModel(const VisualMemoryLibraryViewModel&) = delete;
    VisualMemoryLibraryViewModel& operator=(const VisualMemoryLibraryViewModel&) = delete;

    void setActions(Actions actions) { actions_ = std::move(actions); }
    /// Runs after every change the window should show.
    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

    const std::string& query() const { return query_; }
    void setQuery(std::string query);
    const std::optional<std::string>& selectedCollection() const { return selectedCollection_; }
    void setSelectedCollection(std::optional<std::string> collection);
    VisualMemoryLibraryContentFilter selectedContentFilter() const { return contentFilter_; }
    void setSelectedContentFilter(VisualMemoryLibraryContentFilter filter);
    double thumbnailWidth() const { return thumbnailWidth_; }
    void setThumbnailWidth(double width);

    /// The items shown, in display order (a copy: the grid reads them one by one below).
    std::vector<VisualMemoryItem> displayedItems() const;
    std::size_t displayedCount() const { return displayed_.size(); }
    const VisualMemoryItem& displayedItem(std::size_t index) const { return sortedItems_[displayed_[index]]; }
    const VisualMemoryLibraryCollectionSummary& collectionSummary() const { return summary_; }
    std::vector<SidebarRow> sidebarRows() const;
    std::size_t totalItemCount() const { return sortedItems_.size(); }

    /// The grid for an available width (kept until the items, the width or the column width change).
    const VisualMemoryMasonryLayout& layout(double availableWidth);

    const std::optional<std::string>& selectedID() const { return selectedID_; }
    const std::set<std::string>& selectedIDs() const { return selectedIDs_; }
    bool isSelected(const std::string& id) const { return selectedIDs_.contains(id); }
    void select(const std::string& id, SelectionChange change = SelectionChange::replace);
    void selectAll();
    void clearSelection();
    /// Arrow keys, Home and End; `extend` (Shift) grows the selection from its anchor.
    void move(Move move, bool extend = false);
    /// The item the detail panel shows: the primary selection.
    std::optional<VisualMemoryItem> selectedItem() const;
    std::vector<VisualMemoryItem> selectedItems() const;
    std::optional<std::size_t> displayedIndex(const std::string& id) const;

    /// Space: shows or closes the large preview of the selected item.
    void toggleQuickLook();
    void closeQuickLook();
    bool isQuickLookOpen() const { return quickLookOpen_ && selectedID_.has_value(); }

    void perform(ItemAction action);
    void perform(ItemAction action, const std::string& itemId);
    /// Deletes the selection after the confirmation.
    void deleteSelection();
    /// Adds what was typed in the tag field to the selected item; false when it added nothing.
    bool addTags(std::string_view typed);
    void removeTag(const std::string& tag);
    std::vector<VisualMemoryTagEditor::Tag> selectedItemTags() const;

    /// Reads the library again from the model (the window calls it when it is shown).
    void refresh();
    /// While inactive (the window is hidden) a changed library is only noted; the work of
    /// sorting, indexing and measuring it waits for the next `refresh`.
    void setActive(bool active) { active_ = active; }
    bool isActive() const { return active_; }

private:
    void itemsChanged();
    void refreshDisplayedItems();
    void pruneSelection();
    void changed();
    std::optional<VisualMemoryItem> item(const std::string& id) const;

    AppModel& model_;
    VisualMemoryImageMetrics& metrics_;
    DefaultsStore* defaults_;
    Actions actions_;
    std::function<void()> onChange_;
    std::string query_;
    std::optional<std::string> selectedCollection_;
    VisualMemoryLibraryContentFilter contentFilter_ = VisualMemoryLibraryContentFilter::all;
    double thumbnailWidth_ = defaultThumbnailWidth;
    std::vector<VisualMemoryItem> libraryItems_;
    /// The library newest first, and each item's search text (built once per library change).
    std::vector<VisualMemoryItem> sortedItems_;
    std::vector<std::string> searchTexts_;
    std::vector<double> ratios_;
    /// Positions in `sortedItems_` of the items shown, so a keystroke copies no item.
    std::vector<std::size_t> displayed_;
    VisualMemoryLibraryCollectionSummary summary_;
    std::optional<std::string> selectedID_;
    std::set<std::string> selectedIDs_;
    std::optional<std::string> anchorID_;
    bool quickLookOpen_ = false;
    bool active_ = true;
    bool stale_ = false;
    VisualAppearanceMode appearance_ = VisualAppearanceMode::system;
    VisualMemoryMasonryLayout layout_;
    double layoutWidth_ = -1;
    bool layoutValid_ = false;
    int observer_ = 0;
};

} // namespace brisklet
