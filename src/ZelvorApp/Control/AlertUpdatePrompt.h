#pragma once

#include "ZelvorApp/Control/Ports/UpdatePromptPort.h"

#include <memory>

namespace brisklet {

class AlertPresenter;
class LocalizationStore;

/// The update offer as a plain alert, for desktops where the update window is not built: the
/// same texts and the same three choices.
class AlertUpdatePrompt final : public UpdatePromptPort {
public:
    /// Release notes longer than this are cut, so the alert still fits on the screen.
    static constexpr std::size_t releaseNotesLimit = 1200;

    AlertUpdatePrompt(AlertPresenter& alerts, const LocalizationStore& localization)
        : alerts_(alerts), localization_(localization) {}

    void present(const PendingUpdatePrompt& prompt, const std::string& currentVersion,
                 std::function<void(UpdatePromptDecision)> decide) override;
    bool isVisible() const override { return *visible_; }

private:
    AlertPresenter& alerts_;
    const LocalizationStore& localization_;
    std::shared_ptr<bool> visible_ = std::make_shared<bool>(false);
};

} // namespace brisklet
