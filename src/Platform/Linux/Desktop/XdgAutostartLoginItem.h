#pragma once

#include "Platform/LoginItemService.h"

#include <filesystem>
#include <optional>

namespace brisklet {

/// The login item as an XDG autostart entry, "<autostart directory>/brisklet.desktop". Only a
/// file carrying our own marker key is ever replaced or removed: an entry the user or another
/// program wrote under that name stays as it is.
class XdgAutostartLoginItem final : public LoginItemService {
public:
    static constexpr const char* fileName = "brisklet.desktop";
    static constexpr const char* markerKey = "X-Brisklet-Autostart";

    /// `autostartDirectory` is normally $XDG_CONFIG_HOME/autostart; it is created when needed.
    XdgAutostartLoginItem(std::filesystem::path autostartDirectory, std::filesystem::path executable);

    Status<std::string> registerMainApp() override;
    /// Succeeds without touching anything when there is no entry of ours.
    Status<std::string> unregisterMainApp() override;
    /// Whether our own entry is in place.
    bool isRegistered() const override;

    std::filesystem::path entryPath() const { return directory_ / fileName; }
    /// The entry's text for `executable`; nothing when the path cannot be written in an Exec
    /// line (a line break in it).
    static std::optional<std::string> entryText(const std::filesystem::path& executable);
    /// Whether `text` is an entry we wrote.
    static bool carriesMarker(const std::string& text);

private:
    /// The entry's current text; nothing when there is none or it cannot be read.
    std::optional<std::string> currentText() const;

    std::filesystem::path directory_;
    std::filesystem::path executable_;
};

} // namespace brisklet
