#pragma once

#include "Platform/DesktopIconsAccessor.h"

#include <string>
#include <vector>

namespace brisklet {

class ProcessRunner;

/// The running desktop's own live setting for desktop icons, through its settings tool. The
/// desktop programs watch these settings and redraw by themselves:
/// - Xfce: xfconf-query, channel xfce4-desktop, /desktop-icons/style (0 none, 1 window icons,
///   2 file icons); hiding remembers the style to bring back.
/// - MATE: gsettings org.mate.background show-desktop-icons (Caja draws the desktop or not).
/// - Cinnamon: gsettings org.nemo.desktop desktop-layout, "primary::other monitors" booleans;
///   Nemo's older show-desktop-icons key is no longer read by nemo-desktop.
/// Everything else is unsupported: GNOME's desktop-icons extension has switches for single icons
/// (home, trash, volumes) but none for the desktop's files, and Plasma keeps its icons in a
/// widget of the desktop containment.
class LinuxDesktopIconsAccessor final : public DesktopIconsAccessor {
public:
    /// `nemo` is Cinnamon, whose desktop Nemo draws.
    enum class Desktop { xfce, mate, nemo, unsupported };

    static constexpr double toolTimeoutSeconds = 3.0;
    /// What Xfce shows when it shows icons and we do not know the user's style.
    static constexpr const char* defaultXfceStyle = "2";
    /// Nemo's own default: icons on the primary monitor only.
    static constexpr const char* defaultNemoLayout = "true::false";

    /// `currentDesktop` is $XDG_CURRENT_DESKTOP, e.g. "XFCE" or "X-Cinnamon".
    LinuxDesktopIconsAccessor(const ProcessRunner& runner, const std::string& currentDesktop);

    static Desktop desktopFor(const std::string& currentDesktop);
    Desktop desktop() const { return desktop_; }

    bool isSupported() const override { return desktop_ != Desktop::unsupported; }
    std::optional<bool> createDesktop() const override;
    bool setCreateDesktop(bool shown) override;
    Status<std::string> restartDesktop() override;

private:
    /// The tool's output without its trailing newline; nothing when it could not run or failed.
    std::optional<std::string> run(const std::vector<std::string>& arguments) const;
    std::optional<std::string> xfceStyle() const;
    std::optional<std::string> nemoLayout() const;

    const ProcessRunner& runner_;
    Desktop desktop_;
    std::string xfceStyleToRestore_ = defaultXfceStyle;
    std::string nemoLayoutToRestore_ = defaultNemoLayout;
};

} // namespace brisklet
