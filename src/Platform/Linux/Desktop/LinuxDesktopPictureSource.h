#pragma once

#include "Platform/DesktopPictureSource.h"
#include "Platform/Linux/Desktop/DesktopCommand.h"

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// The desktop picture as the running desktop stores it: GNOME and its relatives (Ubuntu,
/// Budgie, Pantheon, Cinnamon, MATE) through `gsettings`, Xfce through `xfconf-query`. Other
/// desktops do not tell, so there is no current picture there.
class LinuxDesktopPictureSource final : public DesktopPictureSource {
public:
    /// `currentDesktop` is $XDG_CURRENT_DESKTOP ("ubuntu:GNOME", "XFCE", …).
    explicit LinuxDesktopPictureSource(DesktopCommandRunner runner = defaultRunner(),
                                       std::string currentDesktop = currentDesktopFromEnvironment());

    std::optional<std::filesystem::path> currentDesktopPicture() const override;

    static DesktopCommandRunner defaultRunner();
    static std::string currentDesktopFromEnvironment();
    /// The text of a GVariant string as `gsettings get` prints it ('…' or "…" with backslash
    /// escapes); nothing for anything else.
    static std::optional<std::string> parseGVariantString(std::string_view printed);

private:
    enum class Family { gnome, cinnamon, mate, xfce, unknown };
    Family family() const;
    std::optional<std::string> gsetting(const char* schema, const char* key) const;
    std::optional<std::filesystem::path> gnomePicture(const char* schema) const;
    std::optional<std::filesystem::path> matePicture() const;
    std::optional<std::filesystem::path> xfcePicture() const;

    DesktopCommandRunner runner_;
    std::string currentDesktop_;
};

} // namespace brisklet
