#pragma once

#include "Platform/GlobalHotkeyService.h"
#include "ZelvorCore/Models/HotkeyConfiguration.h"

#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace brisklet {

class MainQueue;

/// While the settings window records a combination, grabs every function key with each of the
/// sixteen modifier sets, so that F-keys the desktop would otherwise consume still reach the
/// recorder. Main queue only.
class HotkeyRecordingFunctionKeyListener {
public:
    HotkeyRecordingFunctionKeyListener(GlobalHotkeyService& service, MainQueue& mainQueue);
    ~HotkeyRecordingFunctionKeyListener();
    HotkeyRecordingFunctionKeyListener(const HotkeyRecordingFunctionKeyListener&) = delete;
    HotkeyRecordingFunctionKeyListener& operator=(const HotkeyRecordingFunctionKeyListener&) = delete;

    /// The sixteen modifier sets, from none to all four.
    static const std::vector<HotkeyModifiers>& modifierSets();

    void start(std::function<void(HotkeyConfiguration)> onHotkey);
    void stop();
    bool isRunning() const { return handler_ != 0; }
    std::size_t registeredCandidateCount() const { return registrations_.size(); }

private:
    int handle(GlobalHotkeyIdentifier identifier);

    GlobalHotkeyService& service_;
    MainQueue& mainQueue_;
    std::function<void(HotkeyConfiguration)> onHotkey_;
    GlobalHotkeyService::HandlerToken handler_ = 0;
    std::vector<GlobalHotkeyService::Registration> registrations_;
    std::map<std::uint32_t, HotkeyConfiguration> candidates_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

} // namespace brisklet
