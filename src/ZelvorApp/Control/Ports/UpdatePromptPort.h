#pragma once

#include "ZelvorApp/Updater/PendingUpdatePrompt.h"

#include <functional>
#include <string>

namespace brisklet {

/// What the user answered to an update offer.
enum class UpdatePromptDecision {
    /// Never offer this version again on automatic checks.
    skip,
    /// Offer it again after a while (closing the window without a choice counts as this).
    remindLater,
    /// Download and install it now.
    install,
};

/// The update-available window: the new version, the running one, the release notes and the
/// three choices. Download and installation progress is published afterwards as
/// `AppModel::updaterStatus()`, which the window may observe to stay open with a progress bar.
class UpdatePromptPort {
public:
    virtual ~UpdatePromptPort() = default;
    /// Shows the offer and brings it to the front. `decide` is called once, on the main queue.
    virtual void present(const PendingUpdatePrompt& prompt, const std::string& currentVersion,
                         std::function<void(UpdatePromptDecision)> decide) = 0;
    /// Whether an offer is on screen now.
    virtual bool isVisible() const = 0;
};

} // namespace brisklet
