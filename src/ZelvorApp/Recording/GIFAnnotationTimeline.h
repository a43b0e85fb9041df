#pragma once

#include "ZelvorApp/Recording/GIFPrototypeAnnotation.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <variant>
#include <vector>

namespace brisklet {

/// Something that happened to the drawings at a moment of recording time.
struct GIFAnnotationAdded {
    double time = 0;
    GIFPrototypeAnnotation annotation;
    bool operator==(const GIFAnnotationAdded&) const = default;
};
struct GIFAnnotationDeactivated { ///< undone
    double time = 0;
    Uuid annotationID;
    bool operator==(const GIFAnnotationDeactivated&) const = default;
};
struct GIFAnnotationReactivated { ///< redone
    double time = 0;
    Uuid annotationID;
    bool operator==(const GIFAnnotationReactivated&) const = default;
};
using GIFAnnotationEvent = std::variant<GIFAnnotationAdded, GIFAnnotationDeactivated, GIFAnnotationReactivated>;

/// Every drawing, undo and redo of a recording in the order they happened, so any moment of the
/// recording can be replayed with exactly the drawings visible then.
struct GIFAnnotationTimeline {
    std::vector<GIFAnnotationEvent> events;

    /// The annotations visible at `time`, in the order they were first added.
    std::vector<GIFPrototypeAnnotation> activeAnnotations(double time) const;

    bool operator==(const GIFAnnotationTimeline&) const = default;
};

/// What the GIF writer needs to draw the annotations: the timeline and the canvas size (in
/// points) its coordinates refer to.
struct GIFAnnotationExportPlan {
    GIFAnnotationTimeline timeline;
    Size canvasSize;
    bool operator==(const GIFAnnotationExportPlan&) const = default;
};

} // namespace brisklet
