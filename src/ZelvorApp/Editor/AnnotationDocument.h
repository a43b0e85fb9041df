#pragma once

#include "ZelvorApp/Editor/AnnotationCommand.h"
#include "ZelvorApp/Editor/AnnotationHit.h"
#include "ZelvorApp/Editor/AnnotationHitTester.h"
#include "ZelvorApp/Editor/AnnotationItem.h"

#include <cstddef>
#include <optional>
#include <vector>

namespace brisklet {

class TextLayoutCache;

/// The annotations of one editor, the selection and the undo history. Every change of the list
/// goes through here, which keeps the hit-test boxes in step with the items.
class AnnotationDocument {
public:
    explicit AnnotationDocument(const TextLayoutCache& layout);

    /// In drawing order: the last item is the topmost.
    const std::vector<AnnotationItem>& annotations() const { return items_; }
    const std::optional<Uuid>& selectedAnnotationID() const { return selectedID_; }
    const std::vector<AnnotationCommand>& undoStack() const { return undoStack_; }
    bool canUndo() const { return !undoStack_.empty(); }

    void select(std::optional<Uuid> id);
    const AnnotationItem* selectedItem() const;
    const AnnotationItem* item(const Uuid& id) const;
    std::optional<std::size_t> indexOf(const Uuid& id) const;

    /// Appends, selects the new item and records `add`.
    void appendAnnotation(AnnotationItem item);
    /// Replaces the item with that id in place, recording nothing (used while a gesture runs).
    /// Returns false when there is no such item.
    bool updateAnnotation(const Uuid& id, AnnotationItem item);
    /// Records `replace(before, after)` unless the two are effectively equal. Returns whether it did.
    bool recordReplace(const AnnotationItem& before, const AnnotationItem& after);
    /// Removes the item with that id and records `remove(recordedItem, recordedIndex)`, so undo
    /// can bring back a version other than the current one (an edited text's original).
    bool removeAnnotation(const Uuid& id, const AnnotationItem& recordedItem, std::size_t recordedIndex);
    /// Removes the selected item, records `remove(item, index)` and clears the selection.
    bool deleteSelectedAnnotation();
    /// Reverts the last command, if any: an add is removed (and deselected), a removed item comes
    /// back at its index (clamped) and is selected, a replaced item gets its former version back
    /// and is selected. Returns whether there was anything to undo.
    bool undoLastCommand();

    /// The topmost item containing `point` (image pixels), with its index.
    std::optional<AnnotationHit> annotationHit(Point point, const AnnotationHitParameters& parameters) const;
    /// One more than the largest number present, or 1.
    int nextNumberValue() const;

private:
    void insert(std::size_t index, AnnotationItem item);
    void eraseAt(std::size_t index);

    const TextLayoutCache& layout_;
    std::vector<AnnotationItem> items_;
    std::vector<Rect> reach_; ///< parallel to items_
    std::optional<Uuid> selectedID_;
    std::vector<AnnotationCommand> undoStack_;
};

} // namespace brisklet
