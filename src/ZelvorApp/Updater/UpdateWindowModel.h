#pragma once

#include "ZelvorApp/Control/Ports/UpdatePromptPort.h"
#include "ZelvorApp/Updater/AppUpdaterStatus.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace brisklet {

class LocalizationStore;

/// What the update window is showing: the offer, the download, the wait for the installer, or
/// a failure.
enum class UpdateWindowStage { offer, downloading, installing, failed };

/// The update window's state: the texts of the offer, the single answer it gives, and after
/// "Install Update" the updater's progress it follows. The window only draws this.
class UpdateWindowModel {
public:
    UpdateWindowModel(const LocalizationStore& localization, PendingUpdatePrompt prompt, std::string currentVersion,
                      std::function<void(UpdatePromptDecision)> decide);

    UpdateWindowStage stage() const { return stage_; }
    std::string windowTitle() const;
    std::string title() const;
    std::string message() const;
    /// The published notes, or the text saying there are none.
    std::string releaseNotes() const;
    bool hasReleaseNotes() const;
    std::string adminHint() const;
    std::string releaseNotesTitle() const;
    std::string buttonText(UpdatePromptDecision decision) const;
    std::string cancelText() const;
    std::string closeText() const;
    /// The status line under the progress bar, or the failure's message.
    std::string statusText() const { return statusText_; }
    /// 0...1 while the size is known; nothing for an indeterminate bar.
    std::optional<double> progress() const { return progress_; }
    /// "3.1 MB of 12.0 MB downloaded" once bytes arrive, else empty.
    std::string progressText() const { return progressText_; }
    /// Cancel is offered only while the package is still downloading.
    bool canCancel() const { return stage_ == UpdateWindowStage::downloading; }

    /// The user's answer; only the first one counts. Returns whether the window stays open.
    bool choose(UpdatePromptDecision decision);
    /// The window was closed: without an answer that means "remind me later".
    void closed();
    /// The updater's newest status; returns whether the window stays open.
    bool follow(const AppUpdaterStatus& status);
    bool hasDecided() const { return !decide_; }

    /// Sizes as people read them ("820 KB", "12.4 MB").
    static std::string byteCountText(std::int64_t bytes);

private:
    const LocalizationStore& localization_;
    PendingUpdatePrompt prompt_;
    std::string currentVersion_;
    std::function<void(UpdatePromptDecision)> decide_;
    UpdateWindowStage stage_ = UpdateWindowStage::offer;
    bool installing_ = false;
    std::string statusText_;
    std::optional<double> progress_;
    std::string progressText_;
};

} // namespace brisklet
