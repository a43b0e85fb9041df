#include "ZelvorApp/Selection/SelectionOverlaySnapshotConfirmationPolicy.h"

namespace brisklet {

SelectionOverlaySnapshotConfirmationPolicy::Action
SelectionOverlaySnapshotConfirmationPolicy::decide(const Situation& s) {
    if (s.hasPreOverlaySnapshot) {
        return Action::completeWithAvailableSnapshot;
    }
    if (s.waitForCleanSnapshotBeforeConfirm) {
        if (s.hasCachedCleanSnapshot) {
            return Action::completeWithAvailableSnapshot;
        }
        if (s.captureInFlight) {
            return Action::waitForInFlightCapture;
        }
        return s.hasCaptureContext ? Action::startCaptureAndWait : Action::completeNow;
    }
    return s.hasSnapshot ? Action::completeWithAvailableSnapshot : Action::completeNow;
}

} // namespace brisklet
