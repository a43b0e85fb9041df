#include "Platform/Linux/System/XdgPaths.h"

#include "ZelvorCore/Models/AppPreferences.h"

#include <cstdlib>

namespace brisklet {

namespace {

// The XDG rules: a variable that is unset, empty or relative is ignored.
std::optional<std::filesystem::path> absoluteFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || value[0] != '/') {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

} // namespace

XdgPaths::XdgPaths(Overrides overrides) : overrides_(std::move(overrides)) {}

std::filesystem::path XdgPaths::applicationSupportDirectory() const {
    if (overrides_.dataDirectory) {
        return *overrides_.dataDirectory;
    }
    return absoluteFromEnvironment("XDG_DATA_HOME").value_or(homeDirectory() / ".local" / "share");
}

std::filesystem::path XdgPaths::configDirectory() const {
    if (overrides_.configDirectory) {
        return *overrides_.configDirectory;
    }
    return absoluteFromEnvironment("XDG_CONFIG_HOME").value_or(homeDirectory() / ".config");
}

std::filesystem::path XdgPaths::temporaryDirectory() const {
    return absoluteFromEnvironment("TMPDIR").value_or(std::filesystem::path("/tmp"));
}

std::filesystem::path XdgPaths::homeDirectory() const {
    return currentHomeDirectory();
}

} // namespace brisklet
