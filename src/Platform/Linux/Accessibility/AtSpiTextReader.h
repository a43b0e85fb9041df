#pragma once

#include "Platform/AccessibilityTextReader.h"
#include "Platform/Clock.h"
#include "Platform/Linux/Accessibility/AtSpiBusConnection.h"
#include "Platform/Linux/Accessibility/FocusedSelectionFinder.h"

namespace brisklet {

/// The focused element's selected text through AT-SPI: the accessibility bus's address from
/// $AT_SPI_BUS_ADDRESS or the session bus's org.a11y.Bus, one private connection to it kept
/// while it lives, and a bounded search of the tree. The whole read, connecting included,
/// stays within the limits' time. Main thread only.
class AtSpiTextReader final : public AccessibilityTextReader {
public:
    explicit AtSpiTextReader(const Clock& clock, FocusedSelectionFinder::Limits limits = {});
    ~AtSpiTextReader() override;

    AccessibleSelection focusedSelection() const override;

private:
    const Clock& clock_;
    FocusedSelectionFinder::Limits limits_;
    AtSpiBusConnection bus_;
};

} // namespace brisklet
