#include "Platform/Linux/Accessibility/AtSpiTextReader.h"

#include "Platform/Linux/Accessibility/AtSpiBusTree.h"

#include <unistd.h>

namespace brisklet {

AtSpiTextReader::AtSpiTextReader(const Clock& clock, FocusedSelectionFinder::Limits limits)
    : clock_(clock), limits_(limits) {}

AtSpiTextReader::~AtSpiTextReader() = default;

AccessibleSelection AtSpiTextReader::focusedSelection() const {
    const std::lock_guard lock(bus_.mutex());
    const double start = clock_.monotonicSeconds();
    const double deadline = start + limits_.seconds;
    if (!bus_.connect(clock_, deadline)) {
        return AccessibleSelection{AccessibleSelection::Outcome::busUnavailable, {}, 0};
    }
    AtSpiBusTree tree{bus_.connection()};
    FocusedSelectionFinder::Limits remaining = limits_;
    remaining.seconds = deadline - clock_.monotonicSeconds();
    return FocusedSelectionFinder(tree, clock_, static_cast<std::int64_t>(::getpid()), remaining).find();
}

} // namespace brisklet
