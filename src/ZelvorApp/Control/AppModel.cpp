#include "ZelvorApp/Control/AppModel.h"

#include <algorithm>

namespace brisklet {

void AppModel::setState(AppViewState state) {
    state_ = state;
    if (reaction_) {
        reaction_(state);
    }
    notify();
}

void AppModel::setPreferences(AppPreferences preferences) {
    preferences_ = std::move(preferences);
    notify();
}

void AppModel::setRecentExports(std::vector<ExportedAsset> exports) {
    recentExports_ = std::move(exports);
    notify();
}

void AppModel::setVisualMemoryItems(std::vector<VisualMemoryItem> items) {
    visualMemoryItems_ = std::move(items);
    notify();
}

void AppModel::setLastMessage(std::optional<std::string> message) {
    lastMessage_ = std::move(message);
    notify();
}

void AppModel::setPermissionSnapshot(AppPermissionSnapshot snapshot) {
    permissionSnapshot_ = snapshot;
    notify();
}

void AppModel::setDesktopIconsHidden(bool hidden) {
    desktopIconsHidden_ = hidden;
    notify();
}

void AppModel::setGIFRecordingProgress(double elapsedSeconds, double maxDurationSeconds) {
    gifRecordingElapsed_ = std::max(0.0, elapsedSeconds);
    gifRecordingMaxDuration_ = std::max(0.0, maxDurationSeconds);
    notify();
}

void AppModel::setLongshotAutoScrolling(bool scrolling) {
    isLongshotAutoScrolling_ = scrolling;
    notify();
}

void AppModel::setUpdaterStatus(AppUpdaterStatus status) {
    updaterStatus_ = std::move(status);
    notify();
}

int AppModel::addObserver(Observer observer) {
    const int token = nextObserverToken_++;
    observers_.emplace_back(token, std::move(observer));
    return token;
}

void AppModel::removeObserver(int token) {
    std::erase_if(observers_, [token](const auto& entry) { return entry.first == token; });
}

void AppModel::notify() {
    // Observers may add or remove observers while being told; work on a copy.
    const auto observers = observers_;
    for (const auto& [token, observer] : observers) {
        observer(*this);
    }
}

} // namespace brisklet
