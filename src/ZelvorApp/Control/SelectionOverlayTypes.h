#pragma once

#include "Platform/DisplayServer.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Models/AppLanguage.h"
#include "ZelvorCore/Models/HotkeyConfiguration.h"
#include "ZelvorCore/Models/PreferenceChoices.h"
#include "ZelvorCore/Models/SelectionAssistantPreferences.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

struct AppPreferences;

/// How the overlay behaves for one flow (screenshot, longshot, GIF region, …).
struct SelectionOverlayConfiguration {
    /// `prompt` with the person's selection assistants (crosshair, magnifier, snapping), their
    /// appearance and their full-screen selection hotkey; the rest as for every flow.
    static SelectionOverlayConfiguration following(const AppPreferences& preferences, std::string prompt);

    std::string prompt;
    bool showsActionButtons = false;
    std::string confirmTitle;
    std::string cancelTitle;
    std::optional<std::string> confirmSymbolName;
    std::optional<std::string> cancelSymbolName;
    bool autoConfirmOnMouseUp = true;
    bool showsCrosshair = true;
    bool showsMagnifier = true;
    VisualAppearanceMode appearanceMode = VisualAppearanceMode::system;
    std::optional<RememberedSelectionArea> rememberedSelection;
    bool smartSnapEnabled = true;
    bool waitForCleanSnapshotBeforeConfirm = true;
    std::optional<HotkeyConfiguration> fullScreenSelectionHotkey;
    std::optional<std::string> preferredScreenAppName;
    std::optional<Rect> preferredScreenFrame;

    bool operator==(const SelectionOverlayConfiguration&) const = default;
};

/// Where the chosen pixels come from: a window the user clicked, or the dragged region.
struct SelectionCaptureSource {
    std::optional<std::uint32_t> windowID;

    bool isWindow() const { return windowID.has_value(); }
    bool operator==(const SelectionCaptureSource&) const = default;
};

/// What the overlay hands back once the user confirmed.
struct ScreenSelectionResult {
    /// In global desktop points (origin bottom-left, y up).
    Rect rect;
    DisplayScreen screen;
    /// Our own windows hidden while the user chose.
    std::vector<std::uint32_t> hiddenWindows;
    /// The whole screen as it was when the overlay opened, without the overlay.
    std::optional<Image> screenSnapshotImage;
    SelectionCaptureSource captureSource;
};

} // namespace brisklet
