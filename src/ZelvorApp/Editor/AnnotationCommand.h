#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"

#include <cstddef>
#include <variant>

namespace brisklet {

/// One undoable change of the annotation list. There is no redo.
struct AnnotationCommand {
    /// An item was appended.
    struct Add {
        Uuid id;
        bool operator==(const Add&) const = default;
    };
    /// An item was deleted from position `index`.
    struct Remove {
        AnnotationItem item;
        std::size_t index = 0;
        bool operator==(const Remove&) const = default;
    };
    /// An existing item was moved, resized, restyled or re-edited.
    struct Replace {
        AnnotationItem before;
        AnnotationItem after;
        bool operator==(const Replace&) const = default;
    };

    std::variant<Add, Remove, Replace> value;

    bool operator==(const AnnotationCommand&) const = default;
};

} // namespace brisklet
