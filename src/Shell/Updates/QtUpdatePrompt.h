#pragma once

#include "ZelvorApp/Control/Ports/UpdatePromptPort.h"

#include <functional>
#include <memory>

namespace brisklet {

class AppModel;
class LocalizationStore;
class UpdateWindow;
class UpdateWindowModel;

/// The update offer as its own window, in the preferences' appearance. After "Install Update" it
/// stays open and follows the updater's status until the download is cancelled, fails or the
/// installer takes over.
class QtUpdatePrompt final : public UpdatePromptPort {
public:
    struct Services {
        const LocalizationStore& localization;
        AppModel& model;
        /// Stops a running download (the controller's cancelUpdateDownload).
        std::function<void()> cancelDownload;
    };

    explicit QtUpdatePrompt(Services services);
    ~QtUpdatePrompt() override;

    void present(const PendingUpdatePrompt& prompt, const std::string& currentVersion,
                 std::function<void(UpdatePromptDecision)> decide) override;
    bool isVisible() const override;

    /// The open window, for tests and screenshots; null when none is open.
    UpdateWindow* window() const;

private:
    struct Presentation;
    void statusChanged();
    void finished();

    Services services_;
    std::unique_ptr<Presentation> presentation_;
    int observer_ = 0;
};

} // namespace brisklet
