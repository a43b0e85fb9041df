#pragma once

#include "Platform/PrivacyPermissions.h"
#include "ZelvorApp/Updater/AppUpdaterStatus.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Models/AppViewState.h"
#include "ZelvorCore/Models/ExportedAsset.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// What the application publishes to its windows. Changed on the main queue only; every change
/// of `state` runs the state-change reaction the controller installs before observers hear of it.
class AppModel {
public:
    using Observer = std::function<void(const AppModel&)>;

    AppViewState state() const { return state_; }
    /// Sets the state; the reaction and the observers run even when it did not change, so a
    /// repeated `idle` still refreshes the tray icon.
    void setState(AppViewState state);

    const AppPreferences& preferences() const { return preferences_; }
    void setPreferences(AppPreferences preferences);

    const std::vector<ExportedAsset>& recentExports() const { return recentExports_; }
    void setRecentExports(std::vector<ExportedAsset> exports);

    const std::vector<VisualMemoryItem>& visualMemoryItems() const { return visualMemoryItems_; }
    void setVisualMemoryItems(std::vector<VisualMemoryItem> items);

    const std::optional<std::string>& lastMessage() const { return lastMessage_; }
    void setLastMessage(std::optional<std::string> message);

    AppPermissionSnapshot permissionSnapshot() const { return permissionSnapshot_; }
    void setPermissionSnapshot(AppPermissionSnapshot snapshot);

    bool desktopIconsHidden() const { return desktopIconsHidden_; }
    void setDesktopIconsHidden(bool hidden);

    double gifRecordingElapsed() const { return gifRecordingElapsed_; }
    double gifRecordingMaxDuration() const { return gifRecordingMaxDuration_; }
    void setGIFRecordingProgress(double elapsedSeconds, double maxDurationSeconds);

    bool isLongshotAutoScrolling() const { return isLongshotAutoScrolling_; }
    void setLongshotAutoScrolling(bool scrolling);

    /// What the updater reports (settings card, update window).
    const AppUpdaterStatus& updaterStatus() const { return updaterStatus_; }
    void setUpdaterStatus(AppUpdaterStatus status);

    /// Runs first on every state change (the controller's ordered reaction).
    void setStateChangeReaction(std::function<void(AppViewState)> reaction) { reaction_ = std::move(reaction); }
    int addObserver(Observer observer);
    void removeObserver(int token);

private:
    void notify();

    AppViewState state_ = AppViewState::idle;
    AppPreferences preferences_;
    std::vector<ExportedAsset> recentExports_;
    std::vector<VisualMemoryItem> visualMemoryItems_;
    std::optional<std::string> lastMessage_;
    AppPermissionSnapshot permissionSnapshot_;
    bool desktopIconsHidden_ = false;
    double gifRecordingElapsed_ = 0;
    double gifRecordingMaxDuration_ = 0;
    bool isLongshotAutoScrolling_ = false;
    AppUpdaterStatus updaterStatus_;
    std::function<void(AppViewState)> reaction_;
    std::vector<std::pair<int, Observer>> observers_;
    int nextObserverToken_ = 1;
};

} // namespace brisklet
