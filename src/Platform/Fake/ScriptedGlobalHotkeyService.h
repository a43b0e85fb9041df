#pragma once

#include "Platform/GlobalHotkeyService.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace brisklet {

/// Global hotkeys in memory: combinations can be marked as held by another program, and
/// `press` delivers a key press to the handlers the way the display server would.
class ScriptedGlobalHotkeyService final : public GlobalHotkeyService {
public:
    struct Entry {
        std::string token;
        HotkeyModifiers modifiers;
        GlobalHotkeyIdentifier identifier;
    };
    static constexpr int statusBadAccess = 10;

    HandlerToken installHandler(Handler handler) override {
        if (refusesHandlers) {
            return 0;
        }
        handlers_.emplace_back(nextHandler_, std::move(handler));
        return nextHandler_++;
    }
    void removeHandler(HandlerToken token) override {
        std::erase_if(handlers_, [&](const auto& pair) { return pair.first == token; });
    }
    RegisterResult registerHotkey(const std::string& token, HotkeyModifiers modifiers,
                                  GlobalHotkeyIdentifier identifier) override {
        ++registerCalls;
        if (takenElsewhere.contains({token, modifiers.rawValue})) {
            return {statusBadAccess, 0};
        }
        for (const auto& [registration, entry] : active_) {
            if (entry.token == token && entry.modifiers == modifiers) {
                return {statusBadAccess, 0};
            }
        }
        active_[nextRegistration_] = Entry{token, modifiers, identifier};
        return {statusOK, nextRegistration_++};
    }
    void unregisterHotkey(Registration registration) override { active_.erase(registration); }

    /// Delivers a press of the combination; false when nothing is registered for it or no handler took it.
    bool press(const std::string& token, HotkeyModifiers modifiers) {
        for (const auto& [registration, entry] : active_) {
            if (entry.token == token && entry.modifiers == modifiers) {
                return deliver(entry.identifier);
            }
        }
        return false;
    }
    bool deliver(GlobalHotkeyIdentifier identifier) {
        const auto handlers = handlers_;
        for (const auto& [token, handler] : handlers) {
            if (handler(identifier) == statusOK) {
                return true;
            }
        }
        return false;
    }

    std::vector<Entry> registered() const {
        std::vector<Entry> entries;
        for (const auto& [registration, entry] : active_) {
            entries.push_back(entry);
        }
        return entries;
    }
    std::optional<Entry> registeredFor(std::uint32_t signature, std::uint32_t id) const {
        for (const auto& [registration, entry] : active_) {
            if (entry.identifier == GlobalHotkeyIdentifier{signature, id}) {
                return entry;
            }
        }
        return std::nullopt;
    }
    std::size_t handlerCount() const { return handlers_.size(); }

    /// Combinations (token, modifier bits) another program holds.
    std::set<std::pair<std::string, int>> takenElsewhere;
    bool refusesHandlers = false;
    int registerCalls = 0;

private:
    std::vector<std::pair<HandlerToken, Handler>> handlers_;
    std::map<Registration, Entry> active_;
    HandlerToken nextHandler_ = 1;
    Registration nextRegistration_ = 1;
};

} // namespace brisklet
