#pragma once

#include <filesystem>
#include <optional>

namespace brisklet {

/// Which picture the desktop shows behind the windows.
class DesktopPictureSource {
public:
    virtual ~DesktopPictureSource() = default;

    /// The local picture file set as the main screen's desktop background, or nothing when the
    /// desktop does not tell, shows no picture, or names a file that does not exist. May take a
    /// few milliseconds (it can ask another process); callable from any thread.
    virtual std::optional<std::filesystem::path> currentDesktopPicture() const = 0;
};

} // namespace brisklet
