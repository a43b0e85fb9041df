#include "ZelvorApp/Updater/UpdateWindowModel.h"

#include "ZelvorApp/Infrastructure/LocalizationStore.h"

#include <cstdio>
#include <utility>

namespace brisklet {

namespace {

bool hasText(const std::optional<std::string>& text) {
    return text && text->find_first_not_of(" \t\r\n") != std::string::npos;
}

} // namespace

UpdateWindowModel::UpdateWindowModel(const LocalizationStore& localization, PendingUpdatePrompt prompt,
                                     std::string currentVersion, std::function<void(UpdatePromptDecision)> decide)
    : localization_(localization), prompt_(std::move(prompt)), currentVersion_(std::move(currentVersion)),
      decide_(std::move(decide)) {}

std::string UpdateWindowModel::windowTitle() const {
    return localization_.text(L10nKey::updateWindowTitle);
}

std::string UpdateWindowModel::title() const {
    return localization_.text(L10nKey::updateAvailableTitle);
}

std::string UpdateWindowModel::message() const {
    return localization_.format(L10nKey::updateAvailableMessage, {prompt_.version, currentVersion_});
}

bool UpdateWindowModel::hasReleaseNotes() const {
    return hasText(prompt_.releaseNotes);
}

std::string UpdateWindowModel::releaseNotes() const {
    return hasReleaseNotes() ? *prompt_.releaseNotes : localization_.text(L10nKey::updateNoReleaseNotes);
}

std::string UpdateWindowModel::adminHint() const {
    return localization_.text(L10nKey::updateAdminPasswordHint);
}

std::string UpdateWindowModel::releaseNotesTitle() const {
    return localization_.text(L10nKey::updateReleaseNotes);
}

std::string UpdateWindowModel::buttonText(UpdatePromptDecision decision) const {
    switch (decision) {
    case UpdatePromptDecision::skip:
        return localization_.text(L10nKey::updateSkipVersion);
    case UpdatePromptDecision::remindLater:
        return localization_.text(L10nKey::updateRemindLater);
    case UpdatePromptDecision::install:
        return localization_.text(L10nKey::updateInstall);
    }
    return {};
}

std::string UpdateWindowModel::cancelText() const {
    return localization_.text(L10nKey::genericCancel);
}

std::string UpdateWindowModel::closeText() const {
    return localization_.text(L10nKey::genericClose);
}

bool UpdateWindowModel::choose(UpdatePromptDecision decision) {
    if (!decide_) {
        return stage_ != UpdateWindowStage::offer;
    }
    auto decide = std::move(decide_);
    decide_ = nullptr;
    installing_ = decision == UpdatePromptDecision::install;
    if (installing_) {
        stage_ = UpdateWindowStage::downloading;
        statusText_ = localization_.format(L10nKey::updaterDownloadingDetail, {prompt_.version});
    }
    decide(decision);
    return installing_;
}

void UpdateWindowModel::closed() {
    choose(UpdatePromptDecision::remindLater);
}

bool UpdateWindowModel::follow(const AppUpdaterStatus& status) {
    if (!installing_) {
        return stage_ == UpdateWindowStage::offer;
    }
    switch (status.phase) {
    case AppUpdaterPhase::downloading:
        stage_ = UpdateWindowStage::downloading;
        statusText_ = status.detail;
        progress_ = status.progressFraction;
        progressText_.clear();
        if (status.downloadedByteCount && status.totalByteCount) {
            progressText_ =
                localization_.format(L10nKey::updateDownloadProgress, {byteCountText(*status.downloadedByteCount),
                                                                       byteCountText(*status.totalByteCount)});
        }
        return true;
    case AppUpdaterPhase::awaitingInstall:
        stage_ = UpdateWindowStage::installing;
        statusText_ = status.detail;
        progress_.reset();
        progressText_.clear();
        return true;
    case AppUpdaterPhase::error:
        stage_ = UpdateWindowStage::failed;
        statusText_ = status.detail.empty() ? status.title : status.detail;
        progress_.reset();
        progressText_.clear();
        return true;
    case AppUpdaterPhase::checking:
        return true;
    default:
        // Cancelled, installed or reset: nothing left to follow.
        return false;
    }
}

std::string UpdateWindowModel::byteCountText(std::int64_t bytes) {
    char buffer[32];
    if (bytes < 1000) {
        std::snprintf(buffer, sizeof buffer, "%lld B", static_cast<long long>(bytes));
    } else if (bytes < 1000 * 1000) {
        std::snprintf(buffer, sizeof buffer, "%.0f KB", static_cast<double>(bytes) / 1000.0);
    } else {
        std::snprintf(buffer, sizeof buffer, "%.1f MB", static_cast<double>(bytes) / 1.0e6);
    }
    return buffer;
}

} // namespace brisklet
