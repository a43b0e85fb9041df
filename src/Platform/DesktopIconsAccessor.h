#pragma once

#include "ZelvorCore/Foundation/Result.h"

#include <optional>
#include <string>

namespace brisklet {

/// The desktop's own "show icons on the desktop" setting.
class DesktopIconsAccessor {
public:
    virtual ~DesktopIconsAccessor() = default;
    /// False where the desktop has no such live setting (the settings toggle is then disabled).
    virtual bool isSupported() const = 0;
    /// Whether icons are shown; nothing when the setting is absent, not a boolean or unsupported.
    virtual std::optional<bool> createDesktop() const = 0;
    /// Writes the setting; false when it could not be written.
    virtual bool setCreateDesktop(bool shown) = 0;
    /// Makes the desktop redraw with the new setting. Linux desktops watch their settings and
    /// apply them live, so their accessors succeed without doing anything.
    virtual Status<std::string> restartDesktop() = 0;
};

} // namespace brisklet
