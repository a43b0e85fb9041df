#pragma once

#include "ZelvorCore/Foundation/Uuid.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string_view>
#include <vector>

namespace brisklet {

class DesktopIconsAccessor;
class MainQueue;

enum class DesktopIconsState { visible, hidden };
/// Which capture asked for the icons to go (each has its own preference for hiding them).
enum class DesktopHideReason { screenshot, longshot, gifRegion };

/// Hides the desktop icons while captures run and brings back what the user had. Sessions
/// nest: the icons come back once, when the last one ends. Main queue only.
class DesktopVisibilityController {
public:
    /// How long the desktop gets to redraw after a change before a capture reads the screen.
    static constexpr double redrawWaitSeconds = 0.35;

    /// One hide session; compares and hashes by its id.
    struct SessionToken {
        Uuid id;
        bool operator==(const SessionToken&) const = default;
    };

    DesktopVisibilityController(DesktopIconsAccessor& accessor, MainQueue& mainQueue);

    /// Whether this desktop has a live icon setting at all (else the settings toggle is disabled).
    bool isSupported() const;
    /// Hidden only when the desktop's setting says so; visible when it is absent or unreadable.
    DesktopIconsState currentDesktopIconsState() const;
    /// Starts a hide session and hides the icons; always returns its token.
    std::optional<SessionToken> beginAutomaticHide(DesktopHideReason reason);
    /// Ends the session; the last one to end restores the remembered state. An unknown or already
    /// ended token changes nothing.
    void endAutomaticHide(const SessionToken& token);
    /// The user's own choice, applied now; while sessions run it also becomes what the last one
    /// restores.
    void setDesktopIconsHidden(bool hidden);

    std::size_t activeSessionCount() const { return active_.size(); }

private:
    void apply(DesktopIconsState state);

    DesktopIconsAccessor& accessor_;
    MainQueue& mainQueue_;
    std::vector<SessionToken> active_;
    /// The state before the first of the running sessions began (or the user's later choice).
    std::optional<DesktopIconsState> remembered_;
};

} // namespace brisklet

template <> struct std::hash<brisklet::DesktopVisibilityController::SessionToken> {
    std::size_t operator()(const brisklet::DesktopVisibilityController::SessionToken& token) const noexcept {
        const auto& bytes = token.id.bytes();
        return std::hash<std::string_view>{}(
            std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    }
};
