#pragma once

#include "Platform/GlobalHotkeyService.h"
#include "ZelvorApp/Control/Ports/HotkeyManagerPort.h"
#include "ZelvorApp/Hotkeys/HotkeyDispatchPolicy.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

namespace brisklet {

class Clock;
class MainQueue;

/// Registers the combinations of the preferences as global hotkeys and delivers their presses to
/// the controller on the main queue. Main queue only.
class HotkeyManager final : public HotkeyManagerPort {
public:
    /// Where presses go; set once the controller exists. Unset callbacks drop the press.
    struct Target {
        std::function<void(GlobalHotkeyAction)> handleHotkey;
        std::function<void()> handlePinnedScreenshotEscape;
        /// Which of our windows has the keyboard; absent means none.
        std::function<KeyWindowSnapshot()> keyWindow;
    };

    /// Installs the event handler (a failure is logged and leaves the manager without one).
    HotkeyManager(GlobalHotkeyService& service, MainQueue& mainQueue, const Clock& clock);
    ~HotkeyManager() override;
    HotkeyManager(const HotkeyManager&) = delete;
    HotkeyManager& operator=(const HotkeyManager&) = delete;

    void setTarget(Target target) { target_ = std::move(target); }

    void reload(const AppPreferences& preferences) override;
    void unregisterAll() override;
    /// Suspending keeps only `preserving` registered; resuming registers everything again.
    void setSuspended(bool suspended, const std::set<GlobalHotkeyAction>& preserving);
    void setPinnedScreenshotEscapeEnabled(bool enabled);

    void suspend(const std::set<GlobalHotkeyAction>& allowed) override { setSuspended(true, allowed); }
    void resume() override { setSuspended(false, {}); }
    void setPinnedScreenshotEscapeHotkeyActive(bool active) override { setPinnedScreenshotEscapeEnabled(active); }

    bool hasHandler() const { return handler_ != 0; }
    bool isRegistered(GlobalHotkeyAction action) const { return registrations_.contains(action); }
    std::optional<int> registrationFailure(GlobalHotkeyAction action) const override;
    std::size_t registrationCount() const { return registrations_.size(); }
    bool isPinnedScreenshotEscapeRegistered() const { return escapeRegistration_.has_value(); }
    /// Whether a press may start its action now (see `HotkeyDispatchPolicy`).
    bool shouldDispatchHotkey() const;

private:
    int handle(GlobalHotkeyIdentifier identifier);
    void registerAction(GlobalHotkeyAction action, const HotkeyConfiguration& configuration);

    GlobalHotkeyService& service_;
    MainQueue& mainQueue_;
    const Clock& clock_;
    Target target_;
    GlobalHotkeyService::HandlerToken handler_ = 0;
    std::map<GlobalHotkeyAction, GlobalHotkeyService::Registration> registrations_;
    std::optional<GlobalHotkeyService::Registration> escapeRegistration_;
    std::map<GlobalHotkeyAction, int> failures_;
    AppPreferences cachedPreferences_;
    /// Absent: every action may register.
    std::optional<std::set<GlobalHotkeyAction>> enabledActions_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
