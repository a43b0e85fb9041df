#include "ZelvorApp/Editor/AnnotationDocument.h"

#include "ZelvorApp/Editor/ScreenshotEditorGeometry.h"
#include "ZelvorApp/Editor/ScreenshotTextLayout.h"

#include <algorithm>
#include <climits>

namespace brisklet {

AnnotationDocument::AnnotationDocument(const TextLayoutCache& layout) : layout_(layout) {}

void AnnotationDocument::select(std::optional<Uuid> id) {
    selectedID_ = id && indexOf(*id) ? id : std::nullopt;
}

const AnnotationItem* AnnotationDocument::selectedItem() const {
    return selectedID_ ? item(*selectedID_) : nullptr;
}

const AnnotationItem* AnnotationDocument::item(const Uuid& id) const {
    const auto index = indexOf(id);
    return index ? &items_[*index] : nullptr;
}

std::optional<std::size_t> AnnotationDocument::indexOf(const Uuid& id) const {
    for (std::size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].id() == id) {
            return i;
        }
    }
    return std::nullopt;
}

void AnnotationDocument::insert(std::size_t index, AnnotationItem item) {
    index = std::min(index, items_.size());
    reach_.insert(reach_.begin() + static_cast<std::ptrdiff_t>(index), AnnotationHitTester::reach(item, layout_));
    items_.insert(items_.begin() + static_cast<std::ptrdiff_t>(index), std::move(item));
}

void AnnotationDocument::eraseAt(std::size_t index) {
    if (selectedID_ && items_[index].id() == *selectedID_) {
        selectedID_.reset();
    }
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(index));
    reach_.erase(reach_.begin() + static_cast<std::ptrdiff_t>(index));
}

void AnnotationDocument::appendAnnotation(AnnotationItem item) {
    const Uuid id = item.id();
    insert(items_.size(), std::move(item));
    selectedID_ = id;
    undoStack_.push_back({AnnotationCommand::Add{id}});
}

bool AnnotationDocument::updateAnnotation(const Uuid& id, AnnotationItem item) {
    const auto index = indexOf(id);
    if (!index) {
        return false;
    }
    reach_[*index] = AnnotationHitTester::reach(item, layout_);
    items_[*index] = std::move(item);
    return true;
}

bool AnnotationDocument::recordReplace(const AnnotationItem& before, const AnnotationItem& after) {
    if (before.isEffectivelyEqual(after)) {
        return false;
    }
    undoStack_.push_back({AnnotationCommand::Replace{before, after}});
    return true;
}

bool AnnotationDocument::removeAnnotation(const Uuid& id, const AnnotationItem& recordedItem,
                                          std::size_t recordedIndex) {
    const auto index = indexOf(id);
    if (!index) {
        return false;
    }
    eraseAt(*index);
    undoStack_.push_back({AnnotationCommand::Remove{recordedItem, recordedIndex}});
    return true;
}

bool AnnotationDocument::deleteSelectedAnnotation() {
    const auto index = selectedID_ ? indexOf(*selectedID_) : std::nullopt;
    if (!index) {
        return false;
    }
    AnnotationItem removed = items_[*index];
    eraseAt(*index);
    selectedID_.reset();
    undoStack_.push_back({AnnotationCommand::Remove{std::move(removed), *index}});
    return true;
}

bool AnnotationDocument::undoLastCommand() {
    if (undoStack_.empty()) {
        return false;
    }
    AnnotationCommand command = std::move(undoStack_.back());
    undoStack_.pop_back();
    if (const auto* add = std::get_if<AnnotationCommand::Add>(&command.value)) {
        for (std::size_t i = items_.size(); i-- > 0;) {
            if (items_[i].id() == add->id) {
                eraseAt(i);
            }
        }
    } else if (auto* remove = std::get_if<AnnotationCommand::Remove>(&command.value)) {
        const Uuid id = remove->item.id();
        insert(remove->index, std::move(remove->item));
        selectedID_ = id;
    } else if (auto* replace = std::get_if<AnnotationCommand::Replace>(&command.value)) {
        const Uuid id = replace->after.id();
        if (updateAnnotation(id, replace->before)) {
            selectedID_ = id;
        }
    }
    return true;
}

std::optional<AnnotationHit> AnnotationDocument::annotationHit(Point point,
                                                               const AnnotationHitParameters& parameters) const {
    const double margin = AnnotationHitTester::queryMargin(parameters.displayScale);
    for (std::size_t i = items_.size(); i-- > 0;) {
        const Rect& r = reach_[i];
        if (point.x < r.minX() - margin || point.x > r.maxX() + margin || point.y < r.minY() - margin ||
            point.y > r.maxY() + margin) {
            continue;
        }
        if (AnnotationHitTester::contains(items_[i], point, parameters, layout_)) {
            return AnnotationHit{items_[i], i};
        }
    }
    return std::nullopt;
}

int AnnotationDocument::nextNumberValue() const {
    int largest = 0;
    for (const auto& item : items_) {
        if (const auto* number = item.as<NumberAnnotation>()) {
            largest = std::max(largest, number->value);
        }
    }
    return largest == INT_MAX ? INT_MAX : largest + 1;
}

} // namespace brisklet
