#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"

#include <cstddef>

namespace brisklet {

/// The topmost item under a point and its position in the annotation list.
struct AnnotationHit {
    AnnotationItem item;
    std::size_t index = 0;
    bool operator==(const AnnotationHit&) const = default;
};

} // namespace brisklet
