#pragma once

#include "ZelvorApp/Recording/GIFAnnotationTimeline.h"

#include <functional>
#include <optional>
#include <vector>

namespace brisklet {

/// The drawings of one annotated GIF recording: commits, undo and redo, each stamped with the
/// recording time so the export shows every drawing exactly while it was on screen. Main thread.
class GIFAnnotationPrototypeSession {
public:
    using TimeProvider = std::function<double()>;

    /// `timeProvider` returns the current recording time (the recorder's elapsed time, which
    /// stands still while the recording is paused).
    explicit GIFAnnotationPrototypeSession(TimeProvider timeProvider);

    std::function<void()> onAnnotationsChanged;
    std::function<void(bool isLocked)> onAnnotationModeChanged;

    void commit(GIFPrototypeAnnotation annotation);
    void undo();
    void redo();
    /// Selects `tool` and enters annotation mode; choosing the selected tool again leaves it, so
    /// the recorded applications get the mouse back.
    void toggleTool(GIFPrototypeTool tool);

    GIFPrototypeTool selectedTool() const { return selectedTool_; }
    GIFPrototypeColor selectedColor() const { return selectedColor_; }
    void setSelectedColor(GIFPrototypeColor color) { selectedColor_ = color; }
    bool isAnnotationModeLocked() const { return isAnnotationModeLocked_; }
    bool canUndo() const { return !activeAnnotations_.empty(); }
    bool canRedo() const { return !redoStack_.empty(); }
    const std::vector<GIFPrototypeAnnotation>& activeAnnotations() const { return activeAnnotations_; }
    const GIFAnnotationTimeline& timeline() const { return timeline_; }
    /// How many number markers are showing, for the value of the next one.
    int activeNumberCount() const;

    GIFAnnotationExportPlan exportPlan(Size regionSize) const { return {timeline_, regionSize}; }

private:
    void changed() {
        if (onAnnotationsChanged)
            onAnnotationsChanged();
    }

    TimeProvider timeProvider_;
    GIFAnnotationTimeline timeline_;
    std::vector<GIFPrototypeAnnotation> activeAnnotations_;
    std::vector<GIFPrototypeAnnotation> known_;
    std::vector<Uuid> redoStack_;
    GIFPrototypeTool selectedTool_ = GIFPrototypeTool::arrow;
    GIFPrototypeColor selectedColor_;
    bool isAnnotationModeLocked_ = false;
};

} // namespace brisklet
