#include "ZelvorApp/Hotkeys/HotkeyManager.h"

#include "Platform/Clock.h"
#include "Platform/MainQueue.h"
#include "ZelvorApp/Editor/EditorHotkeyAction.h"
#include "ZelvorApp/Hotkeys/GlobalHotkeyTable.h"
#include "ZelvorApp/Hotkeys/HotkeyKeyMap.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include <cmath>

namespace brisklet {

HotkeyManager::HotkeyManager(GlobalHotkeyService& service, MainQueue& mainQueue, const Clock& clock)
    : service_(service), mainQueue_(mainQueue), clock_(clock) {
    handler_ = service_.installHandler([this](GlobalHotkeyIdentifier identifier) { return handle(identifier); });
    if (handler_ == 0) {
        RuntimeLogger::log("hotkey install handler failed status=" + std::to_string(GlobalHotkeyService::statusNoDisplay));
    }
}

HotkeyManager::~HotkeyManager() {
    unregisterAll();
    setPinnedScreenshotEscapeEnabled(false);
    if (handler_ != 0) {
        service_.removeHandler(handler_);
    }
}

void HotkeyManager::registerAction(GlobalHotkeyAction action, const HotkeyConfiguration& configuration) {
    const std::string token = normalizedHotkeyToken(configuration.key);
    if (!HotkeyKeyMap::isKnownToken(token)) {
        return;
    }
    const auto result = service_.registerHotkey(
        token, configuration.modifiers, {GlobalHotkeyTable::signature, GlobalHotkeyTable::hotkeyId(action)});
    const std::string what = "action=" + std::string(toString(action)) + " key=" + configuration.displayValue();
    if (result.status != GlobalHotkeyService::statusOK) {
        RuntimeLogger::log("hotkey register failed " + what + " status=" + std::to_string(result.status));
        failures_[action] = result.status;
        return;
    }
    registrations_[action] = result.registration;
    RuntimeLogger::log("hotkey registered " + what);
}

void HotkeyManager::reload(const AppPreferences& preferences) {
    const double started = clock_.monotonicSeconds();
    cachedPreferences_ = preferences;
    unregisterAll();
    failures_.clear();
    for (const auto action : allCases<GlobalHotkeyAction>()) {
        if (!enabledActions_ || enabledActions_->contains(action)) {
            registerAction(action, GlobalHotkeyTable::configuration(action, preferences));
        }
    }
    const auto elapsedMs = static_cast<long long>(std::floor((clock_.monotonicSeconds() - started) * 1000.0));
    RuntimeLogger::log("hotkey reload actions=" + std::to_string(registrations_.size()) +
                       " elapsedMs=" + std::to_string(elapsedMs));
}

std::optional<int> HotkeyManager::registrationFailure(GlobalHotkeyAction action) const {
    const auto it = failures_.find(action);
    return it == failures_.end() ? std::nullopt : std::optional<int>(it->second);
}

void HotkeyManager::unregisterAll() {
    for (const auto& [action, registration] : registrations_) {
        service_.unregisterHotkey(registration);
    }
    registrations_.clear();
}

void HotkeyManager::setSuspended(bool suspended, const std::set<GlobalHotkeyAction>& preserving) {
    std::optional<std::set<GlobalHotkeyAction>> enabled;
    if (suspended) {
        enabled = preserving;
    }
    if (enabled == enabledActions_) {
        return;
    }
    enabledActions_ = std::move(enabled);
    reload(cachedPreferences_);
}

void HotkeyManager::setPinnedScreenshotEscapeEnabled(bool enabled) {
    if (!enabled) {
        if (escapeRegistration_) {
            service_.unregisterHotkey(*escapeRegistration_);
            escapeRegistration_.reset();
            RuntimeLogger::log("pinned screenshot escape hotkey unregistered");
        }
        return;
    }
    if (handler_ == 0 || escapeRegistration_) {
        return;
    }
    const auto result =
        service_.registerHotkey("ESC", {}, {GlobalHotkeyTable::signature, GlobalHotkeyTable::pinnedScreenshotEscapeId});
    if (result.status != GlobalHotkeyService::statusOK) {
        RuntimeLogger::log("pinned screenshot escape hotkey register failed status=" + std::to_string(result.status));
        return;
    }
    escapeRegistration_ = result.registration;
    RuntimeLogger::log("pinned screenshot escape hotkey registered");
}

bool HotkeyManager::shouldDispatchHotkey() const {
    if (!target_.keyWindow) {
        return true;
    }
    return HotkeyDispatchPolicy::shouldDispatchHotkey(target_.keyWindow());
}

int HotkeyManager::handle(GlobalHotkeyIdentifier identifier) {
    if (identifier.signature != GlobalHotkeyTable::signature || identifier.id < 1 ||
        identifier.id > GlobalHotkeyTable::pinnedScreenshotEscapeId) {
        return GlobalHotkeyService::statusEventNotHandled;
    }
    std::weak_ptr<bool> alive = alive_;
    if (identifier.id == GlobalHotkeyTable::pinnedScreenshotEscapeId) {
        mainQueue_.post([this, alive] {
            if (!alive.expired() && target_.handlePinnedScreenshotEscape) {
                target_.handlePinnedScreenshotEscape();
            }
        });
        return GlobalHotkeyService::statusOK;
    }
    const auto action = GlobalHotkeyTable::action(identifier.id);
    // Delivered as a task so a press arriving while the main loop waits is handled after the
    // current step, not inside it.
    mainQueue_.post([this, alive, action] {
        if (alive.expired() || !action || !target_.handleHotkey) {
            return;
        }
        if (shouldDispatchHotkey()) {
            target_.handleHotkey(*action);
        } else {
            RuntimeLogger::log("hotkey not dispatched action=" + std::string(toString(*action)) +
                               " reason=keyWindow");
        }
    });
    return GlobalHotkeyService::statusOK;
}

} // namespace brisklet
