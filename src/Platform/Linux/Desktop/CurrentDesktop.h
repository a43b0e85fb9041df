#pragma once

#include <algorithm>
#include <cctype>
#include <string_view>

namespace brisklet {

/// Whether $XDG_CURRENT_DESKTOP (a colon-separated list such as "ubuntu:GNOME" or "X-Cinnamon")
/// names `desktop`, compared without regard to case. Whole entries only: "MATE" is not found in
/// "ULTIMATE".
inline bool currentDesktopIncludes(std::string_view currentDesktop, std::string_view desktop) {
    const auto sameName = [](std::string_view a, std::string_view b) {
        return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](unsigned char x, unsigned char y) {
                   return std::tolower(x) == std::tolower(y);
               });
    };
    while (true) {
        const std::size_t colon = currentDesktop.find(':');
        if (sameName(currentDesktop.substr(0, colon), desktop)) {
            return true;
        }
        if (colon == std::string_view::npos) {
            return false;
        }
        currentDesktop.remove_prefix(colon + 1);
    }
}

} // namespace brisklet
