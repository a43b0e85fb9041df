#include "ZelvorApp/Control/AlertUpdatePrompt.h"

#include "ZelvorApp/Control/Ports/AlertPresenter.h"
#include "ZelvorApp/Infrastructure/LocalizationStore.h"

namespace brisklet {

namespace {

std::string shortened(const std::string& notes, std::size_t limit) {
    if (notes.size() <= limit) {
        return notes;
    }
    std::size_t end = limit;
    // Never cut inside a UTF-8 sequence.
    while (end > 0 && (static_cast<unsigned char>(notes[end]) & 0xC0) == 0x80) {
        --end;
    }
    return notes.substr(0, end) + "…";
}

} // namespace

void AlertUpdatePrompt::present(const PendingUpdatePrompt& prompt, const std::string& currentVersion,
                                std::function<void(UpdatePromptDecision)> decide) {
    using K = L10nKey;
    const LocalizationStore& text = localization_;
    const bool hasNotes = prompt.releaseNotes && prompt.releaseNotes->find_first_not_of(" \t\r\n") != std::string::npos;
    const std::string notes =
        hasNotes ? shortened(*prompt.releaseNotes, releaseNotesLimit) : text.text(K::updateNoReleaseNotes);
    const std::string message = text.format(K::updateAvailableMessage, {prompt.version, currentVersion}) + "\n\n" +
                                text.text(K::updateReleaseNotes) + "\n" + notes + "\n\n" +
                                text.text(K::updateAdminPasswordHint);
    AlertRequest alert{text.text(K::updateAvailableTitle),
                       message,
                       {text.text(K::updateInstall), text.text(K::updateRemindLater), text.text(K::updateSkipVersion)},
                       AlertRequest::Style::informational};
    *visible_ = true;
    alerts_.present(alert, [visible = visible_, decide = std::move(decide)](int button) {
        *visible = false;
        if (button == 0) {
            decide(UpdatePromptDecision::install);
        } else if (button == 2) {
            decide(UpdatePromptDecision::skip);
        } else {
            decide(UpdatePromptDecision::remindLater);
        }
    });
}

} // namespace brisklet
