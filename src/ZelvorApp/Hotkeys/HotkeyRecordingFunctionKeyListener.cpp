#include "ZelvorApp/Hotkeys/HotkeyRecordingFunctionKeyListener.h"

#include "Platform/MainQueue.h"
#include "ZelvorApp/Hotkeys/GlobalHotkeyTable.h"
#include "ZelvorApp/Hotkeys/HotkeyKeyMap.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

namespace brisklet {

HotkeyRecordingFunctionKeyListener::HotkeyRecordingFunctionKeyListener(GlobalHotkeyService& service,
                                                                       MainQueue& mainQueue)
    : service_(service), mainQueue_(mainQueue) {}

HotkeyRecordingFunctionKeyListener::~HotkeyRecordingFunctionKeyListener() {
    stop();
}

const std::vector<HotkeyModifiers>& HotkeyRecordingFunctionKeyListener::modifierSets() {
    constexpr int cmd = HotkeyModifiers::command;
    constexpr int shift = HotkeyModifiers::shift;
    constexpr int opt = HotkeyModifiers::option;
    constexpr int ctrl = HotkeyModifiers::control;
    static const std::vector<HotkeyModifiers> sets{
        {0},
        {shift},
        {ctrl},
        {opt},
        {cmd},
        {shift | ctrl},
        {shift | opt},
        {shift | cmd},
        {opt | ctrl},
        {cmd | ctrl},
        {cmd | opt},
        {opt | ctrl | shift},
        {cmd | ctrl | shift},
        {cmd | opt | shift},
        {opt | ctrl | cmd},
        {opt | ctrl | cmd | shift},
    };
    return sets;
}

void HotkeyRecordingFunctionKeyListener::start(std::function<void(HotkeyConfiguration)> onHotkey) {
    stop();
    onHotkey_ = std::move(onHotkey);
    handler_ = service_.installHandler([this](GlobalHotkeyIdentifier identifier) { return handle(identifier); });
    if (handler_ == 0) {
        return;
    }
    std::uint32_t nextId = 1;
    for (const std::string& token : HotkeyKeyMap::recordableFunctionTokens()) {
        for (const HotkeyModifiers& modifiers : modifierSets()) {
            const std::uint32_t id = nextId++;
            const auto result = service_.registerHotkey(token, modifiers, {GlobalHotkeyTable::recordingSignature, id});
            if (result.status == GlobalHotkeyService::statusOK) {
                registrations_.push_back(result.registration);
                candidates_[id] = HotkeyConfiguration{token, modifiers};
            }
        }
    }
    RuntimeLogger::log("hotkey recording carbon listener registered candidates=" + std::to_string(registrations_.size()));
}

void HotkeyRecordingFunctionKeyListener::stop() {
    for (const auto registration : registrations_) {
        service_.unregisterHotkey(registration);
    }
    registrations_.clear();
    candidates_.clear();
    if (handler_ != 0) {
        service_.removeHandler(handler_);
        handler_ = 0;
    }
}

int HotkeyRecordingFunctionKeyListener::handle(GlobalHotkeyIdentifier identifier) {
    if (identifier.signature != GlobalHotkeyTable::recordingSignature) {
        return GlobalHotkeyService::statusEventNotHandled;
    }
    const auto it = candidates_.find(identifier.id);
    if (it == candidates_.end()) {
        return GlobalHotkeyService::statusEventNotHandled;
    }
    std::weak_ptr<bool> alive = alive_;
    mainQueue_.post([this, alive, configuration = it->second] {
        if (!alive.expired() && onHotkey_) {
            onHotkey_(configuration);
        }
    });
    return GlobalHotkeyService::statusOK;
}

} // namespace brisklet
