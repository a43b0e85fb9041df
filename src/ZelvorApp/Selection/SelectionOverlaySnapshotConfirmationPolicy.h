#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// What the overlay does with the clean screen image when the user confirms a selection.
struct SelectionOverlaySnapshotConfirmationPolicy {
    enum class Action { completeNow, completeWithAvailableSnapshot, waitForInFlightCapture, startCaptureAndWait };

    struct Situation {
        bool hasPreOverlaySnapshot = false;
        bool waitForCleanSnapshotBeforeConfirm = false;
        bool hasCachedCleanSnapshot = false;
        bool captureInFlight = false;
        bool hasCaptureContext = false;
        /// The view or the coordinator holds some snapshot.
        bool hasSnapshot = false;
    };

    static Action decide(const Situation& situation);
};

template <> struct EnumTraits<SelectionOverlaySnapshotConfirmationPolicy::Action> {
    using A = SelectionOverlaySnapshotConfirmationPolicy::Action;
    static constexpr std::array<std::pair<A, std::string_view>, 4> names{{
        {A::completeNow, "completeNow"},
        {A::completeWithAvailableSnapshot, "completeWithAvailableSnapshot"},
        {A::waitForInFlightCapture, "waitForInFlightCapture"},
        {A::startCaptureAndWait, "startCaptureAndWait"},
    }};
};

} // namespace brisklet
