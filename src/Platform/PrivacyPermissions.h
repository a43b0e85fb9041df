#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

#include <filesystem>

namespace brisklet {

/// The two privacy permissions the application checks.
enum class AppPermission { screenRecording, accessibility };

template <> struct EnumTraits<AppPermission> {
    static constexpr std::array<std::pair<AppPermission, std::string_view>, 2> names{{
        {AppPermission::screenRecording, "screenRecording"},
        {AppPermission::accessibility, "accessibility"},
    }};
};

/// Both permissions as last checked.
struct AppPermissionSnapshot {
    bool screenRecording = false;
    bool accessibility = false;
    bool operator==(const AppPermissionSnapshot&) const = default;
};

/// The desktop's permission facilities.
class PrivacyPermissions {
public:
    virtual ~PrivacyPermissions() = default;
    /// Whether screen capture works now without asking (on X11: the display opens).
    virtual bool screenCapturePreflight() const = 0;
    /// Asks for screen capture; returns whether it is allowed afterwards.
    virtual bool requestScreenCapture() = 0;
    /// Whether the accessibility layer answers us (on Linux: the AT-SPI bus is enabled).
    virtual bool isAccessibilityTrusted() const = 0;
    /// Switches the accessibility layer on where the desktop lets us; returns whether it is on.
    virtual bool requestAccessibilityTrust() = 0;
    /// Opens the desktop's settings for the permission; false when there is none to open.
    virtual bool openPrivacySettings(AppPermission permission) = 0;
    /// The running executable, symbolic links resolved.
    virtual std::filesystem::path bundlePath() const = 0;
};

} // namespace brisklet
