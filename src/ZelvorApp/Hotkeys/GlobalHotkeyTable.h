#pragma once

#include "Platform/GlobalHotkeyService.h"
#include "ZelvorCore/Models/GlobalHotkeyAction.h"

#include <optional>

namespace brisklet {

struct AppPreferences;
struct HotkeyConfiguration;

/// Which preference holds each action's combination and which number it registers under.
struct GlobalHotkeyTable {
    static constexpr std::uint32_t signature = GlobalHotkeyIdentifier::fourCharacterCode("ZLVT");
    static constexpr std::uint32_t recordingSignature = GlobalHotkeyIdentifier::fourCharacterCode("ZLVR");
    static constexpr std::uint32_t pinnedScreenshotEscapeId = 11;

    static std::uint32_t hotkeyId(GlobalHotkeyAction action);
    /// The action registered under `id` (1–10), if any.
    static std::optional<GlobalHotkeyAction> action(std::uint32_t id);
    static const HotkeyConfiguration& configuration(GlobalHotkeyAction action, const AppPreferences& preferences);
    /// The first action (in declaration order) whose combination is `combination`, key compared
    /// trimmed and upper-cased, modifiers exactly; `except` is never returned.
    static std::optional<GlobalHotkeyAction> actionFor(const HotkeyConfiguration& combination,
                                                       const AppPreferences& preferences,
                                                       std::optional<GlobalHotkeyAction> except = std::nullopt);
};

} // namespace brisklet
