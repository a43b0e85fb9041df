#pragma once

#include "Platform/PrivacyPermissions.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// Permissions on an X11 desktop: screen capture is allowed wherever the display opens (X11
/// has no capture permission); accessibility is the AT-SPI bus's org.a11y.Status IsEnabled switch
/// on the session bus, which asking turns on; the settings open in the running desktop's own tool.
class LinuxPrivacyPermissions final : public PrivacyPermissions {
public:
    /// A settings command: the program (looked up on PATH) and its arguments.
    using Command = std::vector<std::string>;
    /// Whether gnome-control-center has the panel of that name installed.
    using GnomePanelLookup = std::function<bool(std::string_view panel)>;

    /// A session bus that does not answer within this time counts as "accessibility off".
    static constexpr int busTimeoutMilliseconds = 2000;

    /// `displayName` as for xcb_connect (empty: $DISPLAY).
    explicit LinuxPrivacyPermissions(std::string displayName);

    bool screenCapturePreflight() const override;
    bool requestScreenCapture() override { return screenCapturePreflight(); }
    bool isAccessibilityTrusted() const override;
    bool requestAccessibilityTrust() override;
    /// Starts the first installed command of `privacySettingsCommands` for $XDG_CURRENT_DESKTOP.
    bool openPrivacySettings(AppPermission permission) override;
    std::filesystem::path bundlePath() const override;

    /// The settings tools to try, best first, for `permission` on `currentDesktop`
    /// ($XDG_CURRENT_DESKTOP); an unknown desktop gets every known tool.
    static std::vector<Command> privacySettingsCommands(AppPermission permission, std::string_view currentDesktop,
                                                        const GnomePanelLookup& hasGnomePanel);

private:
    std::string displayName_;
};

} // namespace brisklet
