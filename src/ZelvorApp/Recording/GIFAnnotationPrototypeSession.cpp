#include "ZelvorApp/Recording/GIFAnnotationPrototypeSession.h"

#include <algorithm>

namespace brisklet {

GIFAnnotationPrototypeSession::GIFAnnotationPrototypeSession(TimeProvider timeProvider)
    : timeProvider_(std::move(timeProvider)) {}

void GIFAnnotationPrototypeSession::commit(GIFPrototypeAnnotation annotation) {
    timeline_.events.push_back(GIFAnnotationAdded{timeProvider_(), annotation});
    known_.push_back(annotation);
    activeAnnotations_.push_back(std::move(annotation));
    redoStack_.clear();
    changed();
}

void GIFAnnotationPrototypeSession::undo() {
    if (activeAnnotations_.empty())
        return;
    const Uuid id = activeAnnotations_.back().id;
    activeAnnotations_.pop_back();
    timeline_.events.push_back(GIFAnnotationDeactivated{timeProvider_(), id});
    redoStack_.push_back(id);
    changed();
}

void GIFAnnotationPrototypeSession::redo() {
    if (redoStack_.empty())
        return;
    const Uuid id = redoStack_.back();
    redoStack_.pop_back();
    const auto it = std::find_if(known_.begin(), known_.end(), [&](const auto& a) { return a.id == id; });
    if (it != known_.end()) {
        timeline_.events.push_back(GIFAnnotationReactivated{timeProvider_(), id});
        activeAnnotations_.push_back(*it);
    }
    changed();
}

void GIFAnnotationPrototypeSession::toggleTool(GIFPrototypeTool tool) {
    const bool locked = !(isAnnotationModeLocked_ && selectedTool_ == tool);
    selectedTool_ = tool;
    if (locked != isAnnotationModeLocked_) {
        isAnnotationModeLocked_ = locked;
        if (onAnnotationModeChanged)
            onAnnotationModeChanged(locked);
    }
}

int GIFAnnotationPrototypeSession::activeNumberCount() const {
    return static_cast<int>(std::count_if(activeAnnotations_.begin(), activeAnnotations_.end(), [](const auto& a) {
        return std::holds_alternative<GIFPrototypeNumberAnnotation>(a.payload);
    }));
}

} // namespace brisklet
