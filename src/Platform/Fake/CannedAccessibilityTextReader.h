#pragma once

#include "Platform/AccessibilityTextReader.h"

namespace brisklet {

/// Answers every read with the selection it was given, and counts the reads.
class CannedAccessibilityTextReader final : public AccessibilityTextReader {
public:
    AccessibleSelection focusedSelection() const override {
        ++reads;
        return answer;
    }

    AccessibleSelection answer;
    mutable int reads = 0;
};

} // namespace brisklet
