#include "ZelvorApp/Library/VisualMemoryLibraryViewModel.h"

#include "Platform/DefaultsStore.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Library/VisualMemoryImageMetrics.h"
#include "ZelvorCore/Models/VisualMemoryText.h"
#include "ZelvorCore/Stores/VisualMemoryOrdering.h"
#include "ZelvorCore/Stores/VisualMemorySearch.h"

#include <algorithm>
#include <charconv>

namespace brisklet {

using memorytext::lowercased;
using memorytext::trimmed;

VisualMemoryLibraryViewModel::VisualMemoryLibraryViewModel(AppModel& model, VisualMemoryImageMetrics& metrics,
                                                           DefaultsStore* defaults, Actions actions)
    : model_(model), metrics_(metrics), defaults_(defaults), actions_(std::move(actions)) {
    if (defaults_) {
        if (const auto collection = defaults_->string(collectionKey); collection && !collection->empty()) {
            selectedCollection_ = *collection;
        }
        if (const auto width = defaults_->string(thumbnailWidthKey)) {
            double value = 0;
            if (std::from_chars(width->data(), width->data() + width->size(), value).ec == std::errc{}) {
                thumbnailWidth_ = std::clamp(value, minimumThumbnailWidth, maximumThumbnailWidth);
            }
        }
        if (const auto filter = defaults_->string(contentFilterKey)) {
            contentFilter_ = enumFromString<VisualMemoryLibraryContentFilter>(*filter).value_or(contentFilter_);
        }
    }
    appearance_ = model_.preferences().visualAppearanceMode;
    observer_ = model_.addObserver([this](const AppModel&) {
        // The model also speaks for captures and recordings; only the library and the look matter here.
        const bool itemsDiffer = model_.visualMemoryItems() != libraryItems_;
        const bool appearanceDiffers = model_.preferences().visualAppearanceMode != appearance_;
        appearance_ = model_.preferences().visualAppearanceMode;
        if (itemsDiffer && !active_) {
            stale_ = true;
            return;
        }
        if (itemsDiffer) {
            itemsChanged();
        }
        if (itemsDiffer || appearanceDiffers) {
            changed();
        }
    });
    itemsChanged();
}

VisualMemoryLibraryViewModel::~VisualMemoryLibraryViewModel() { model_.removeObserver(observer_); }

void VisualMemoryLibraryViewModel::refresh() {
    if (stale_ || model_.visualMemoryItems() != libraryItems_) {
        itemsChanged();
    }
    stale_ = false;
    changed();
}

void VisualMemoryLibraryViewModel::itemsChanged() {
    libraryItems_ = model_.visualMemoryItems();
    // The sort is stable and the search keeps the order, so sorting once before filtering gives
    // the same list as sorting every filtered result.
    sortedItems_ = VisualMemoryOrdering::chronological(libraryItems_);
    searchTexts_.clear();
    searchTexts_.reserve(sortedItems_.size());
    for (const VisualMemoryItem& item : sortedItems_) {
        searchTexts_.push_back(VisualMemorySearch::searchText(item));
    }
    summary_ = VisualMemoryLibraryCollectionSummary::build(libraryItems_);
    ratios_ = metrics_.aspectRatios(sortedItems_);
    refreshDisplayedItems();
}

void VisualMemoryLibraryViewModel::refreshDisplayedItems() {
    const std::string needle = lowercased(trimmed(query_));
    const std::string collection = selectedCollection_ ? trimmed(*selectedCollection_) : std::string();
    displayed_.clear();
    for (std::size_t i = 0; i < sortedItems_.size(); ++i) {
        const VisualMemoryItem& item = sortedItems_[i];
        if (!collection.empty() && !VisualMemorySearch::isInCollection(item, collection)) {
            continue;
        }
        if (!needle.empty() && searchTexts_[i].find(needle) == std::string::npos) {
            continue;
        }
        if (passesContentFilter(item, contentFilter_)) {
            displayed_.push_back(i);
        }
    }
    layoutValid_ = false;
    pruneSelection();
}

void VisualMemoryLibraryViewModel::pruneSelection() {
    std::set<std::string> shown;
    if (!selectedIDs_.empty()) {
        for (const std::size_t index : displayed_) {
            if (selectedIDs_.contains(sortedItems_[index].id)) {
                shown.insert(sortedItems_[index].id);
            }
        }
    }
    selectedIDs_ = std::move(shown);
    if (!selectedID_ || !selectedIDs_.contains(*selectedID_)) {
        selectedID_.reset();
        for (const std::size_t index : displayed_) {
            if (selectedIDs_.contains(sortedItems_[index].id)) {
                selectedID_ = sortedItems_[index].id;
                break;
            }
        }
    }
    if (!selectedID_) {
        quickLookOpen_ = false;
    }
    if (anchorID_ && !selectedIDs_.contains(*anchorID_)) {
        anchorID_ = selectedID_;
    }
}

void VisualMemoryLibraryViewModel::changed() {
    if (onChange_) {
        onChange_();
    }
}

void VisualMemoryLibraryViewModel::setQuery(std::string query) {
    if (query == query_) {
        return;
    }
    query_ = std::move(query);
    refreshDisplayedItems();
    RuntimeLogger::log("visualLibrary search query=" + query_ + " items=" + std::to_string(displayed_.size()));
    changed();
}

void VisualMemoryLibraryViewModel::setSelectedCollection(std::optional<std::string> collection) {
    if (collection && collection->empty()) {
        collection.reset();
    }
    if (collection == selectedCollection_) {
        return;
    }
    selectedCollection_ = std::move(collection);
    if (defaults_) {
        defaults_->setString(collectionKey, selectedCollection_.value_or(""));
    }
    refreshDisplayedItems();
    RuntimeLogger::log("visualLibrary collection name=" + selectedCollection_.value_or("") +
                       " items=" + std::to_string(displayed_.size()));
    changed();
}

void VisualMemoryLibraryViewModel::setSelectedContentFilter(VisualMemoryLibraryContentFilter filter) {
    if (filter == contentFilter_) {
        return;
    }
    contentFilter_ = filter;
    if (defaults_) {
        defaults_->setString(contentFilterKey, std::string(toString(filter)));
    }
    refreshDisplayedItems();
    RuntimeLogger::log("visualLibrary filter value=" + std::string(toString(filter)) +
                       " items=" + std::to_string(displayed_.size()));
    changed();
}

void VisualMemoryLibraryViewModel::setThumbnailWidth(double width) {
    width = std::clamp(width, minimumThumbnailWidth, maximumThumbnailWidth);
    if (width == thumbnailWidth_) {
        return;
    }
    thumbnailWidth_ = width;
    layoutValid_ = false;
    if (defaults_) {
        defaults_->setString(thumbnailWidthKey, std::to_string(static_cast<int>(width)));
    }
    changed();
}

std::vector<VisualMemoryLibraryViewModel::SidebarRow> VisualMemoryLibraryViewModel::sidebarRows() const {
    using Kind = SidebarRow::Kind;
    std::vector<SidebarRow> rows{
        {Kind::all, std::nullopt, static_cast<int>(libraryItems_.size())},
        {Kind::favorites, std::string("Favorites"), summary_.favoriteCount},
        {Kind::pinned, std::string("Pinned"), summary_.pinnedCount},
        {Kind::untagged, std::string("Untagged"), summary_.untaggedCount},
    };
    for (const std::string& name : summary_.collections) {
        rows.push_back({Kind::collection, name, summary_.count(name)});
    }
    return rows;
}

const VisualMemoryMasonryLayout& VisualMemoryLibraryViewModel::layout(double availableWidth) {
    if (!layoutValid_ || availableWidth != layoutWidth_) {
        std::vector<double> ratios;
        ratios.reserve(displayed_.size());
        for (const std::size_t index : displayed_) {
            ratios.push_back(ratios_[index]);
        }
        layout_ = VisualMemoryMasonryLayout::make(ratios, availableWidth, thumbnailWidth_, spacing);
        layoutWidth_ = availableWidth;
        layoutValid_ = true;
    }
    return layout_;
}

std::optional<std::size_t> VisualMemoryLibraryViewModel::displayedIndex(const std::string& id) const {
    for (std::size_t i = 0; i < displayed_.size(); ++i) {
        if (displayedItem(i).id == id) {
            return i;
        }
    }
    return std::nullopt;
}

void VisualMemoryLibraryViewModel::select(const std::string& id, SelectionChange change) {
    const auto index = displayedIndex(id);
    if (!index) {
        return;
    }
    switch (change) {
    case SelectionChange::replace:
        selectedIDs_ = {id};
        selectedID_ = id;
        anchorID_ = id;
        break;
    case SelectionChange::toggle:
        if (selectedIDs_.erase(id) == 0) {
            selectedIDs_.insert(id);
            selectedID_ = id;
            anchorID_ = id;
        } else if (selectedID_ == id) {
            selectedID_.reset();
            pruneSelection();
        }
        break;
    case SelectionChange::extend: {
        const auto anchor = anchorID_ ? displayedIndex(*anchorID_) : std::nullopt;
        const std::size_t from = anchor.value_or(*index);
        selectedIDs_.clear();
        for (std::size_t i = std::min(from, *index); i <= std::max(from, *index); ++i) {
            selectedIDs_.insert(displayedItem(i).id);
        }
        selectedID_ = id;
        if (!anchorID_) {
            anchorID_ = id;
        }
        break;
    }
    }
    changed();
}

void VisualMemoryLibraryViewModel::selectAll() {
    selectedIDs_.clear();
    for (const std::size_t index : displayed_) {
        selectedIDs_.insert(sortedItems_[index].id);
    }
    if (!selectedID_ && !displayed_.empty()) {
        selectedID_ = displayedItem(0).id;
        anchorID_ = selectedID_;
    }
    changed();
}

void VisualMemoryLibraryViewModel::clearSelection() {
    selectedIDs_.clear();
    selectedID_.reset();
    anchorID_.reset();
    quickLookOpen_ = false;
    changed();
}

void VisualMemoryLibraryViewModel::move(Move move, bool extend) {
    if (displayed_.empty()) {
        return;
    }
    const std::size_t last = displayed_.size() - 1;
    const auto current = selectedID_ ? displayedIndex(*selectedID_) : std::nullopt;
    std::size_t target = 0;
    if (!current) {
        target = move == Move::last ? last : 0;
    } else {
        switch (move) {
        case Move::left:
            target = *current == 0 ? 0 : *current - 1;
            break;
        case Move::right:
            target = std::min(*current + 1, last);
            break;
        case Move::up:
        case Move::down: {
            const auto* neighbour =
                layoutValid_ ? layout_.vertical(*current, move == Move::up ? -1 : 1) : nullptr;
            target = neighbour ? neighbour->index : *current;
            break;
        }
        case Move::first:
            target = 0;
            break;
        case Move::last:
            target = last;
            break;
        }
    }
    select(displayedItem(target).id, extend ? SelectionChange::extend : SelectionChange::replace);
}

std::optional<VisualMemoryItem> VisualMemoryLibraryViewModel::item(const std::string& id) const {
    const auto index = displayedIndex(id);
    return index ? std::optional<VisualMemoryItem>(displayedItem(*index)) : std::nullopt;
}

std::vector<VisualMemoryItem> VisualMemoryLibraryViewModel::displayedItems() const {
    std::vector<VisualMemoryItem> items;
    items.reserve(displayed_.size());
    for (const std::size_t index : displayed_) {
        items.push_back(sortedItems_[index]);
    }
    return items;
}

std::optional<VisualMemoryItem> VisualMemoryLibraryViewModel::selectedItem() const {
    return selectedID_ ? item(*selectedID_) : std::nullopt;
}

std::vector<VisualMemoryItem> VisualMemoryLibraryViewModel::selectedItems() const {
    std::vector<VisualMemoryItem> items;
    for (const std::size_t index : displayed_) {
        if (selectedIDs_.contains(sortedItems_[index].id)) {
            items.push_back(sortedItems_[index]);
        }
    }
    return items;
}

void VisualMemoryLibraryViewModel::toggleQuickLook() {
    quickLookOpen_ = !quickLookOpen_ && selectedID_.has_value();
    changed();
}

void VisualMemoryLibraryViewModel::closeQuickLook() {
    if (quickLookOpen_) {
        quickLookOpen_ = false;
        changed();
    }
}

void VisualMemoryLibraryViewModel::perform(ItemAction action) {
    if (selectedID_) {
        perform(action, *selectedID_);
    }
}

void VisualMemoryLibraryViewModel::perform(ItemAction action, const std::string& itemId) {
    if (const auto target = item(itemId); target && actions_.itemAction) {
        actions_.itemAction(action, *target);
    }
}

void VisualMemoryLibraryViewModel::deleteSelection() {
    std::vector<VisualMemoryItem> doomed = selectedItems();
    if (doomed.empty() || !actions_.deleteItems) {
        return;
    }
    const auto remove = [this, doomed](bool confirmed) {
        if (confirmed && actions_.deleteItems) {
            RuntimeLogger::log("visualLibrary delete items=" + std::to_string(doomed.size()));
            actions_.deleteItems(doomed);
        }
    };
    if (actions_.confirmDelete) {
        actions_.confirmDelete(static_cast<int>(doomed.size()), remove);
    } else {
        remove(true);
    }
}

bool VisualMemoryLibraryViewModel::addTags(std::string_view typed) {
    const auto target = selectedItem();
    if (!target || !actions_.addTag) {
        return false;
    }
    const std::vector<std::string> tags = VisualMemoryTagEditor::tagsToAdd(*target, typed);
    for (const std::string& tag : tags) {
        actions_.addTag(*target, tag);
    }
    return !tags.empty();
}

void VisualMemoryLibraryViewModel::removeTag(const std::string& tag) {
    if (const auto target = selectedItem(); target && actions_.removeTag) {
        actions_.removeTag(*target, tag, VisualMemoryTagEditor::isManualTag(*target, tag));
    }
}

std::vector<VisualMemoryTagEditor::Tag> VisualMemoryLibraryViewModel::selectedItemTags() const {
    const auto target = selectedItem();
    return target ? VisualMemoryTagEditor::tags(*target) : std::vector<VisualMemoryTagEditor::Tag>{};
}

} // namespace brisklet
