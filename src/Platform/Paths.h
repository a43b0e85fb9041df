#pragma once

#include <filesystem>

namespace brisklet {

/// Where the application keeps its files. Callers append "Brisklet" themselves.
class Paths {
public:
    virtual ~Paths() = default;
    /// Per-user data root ($XDG_DATA_HOME, default ~/.local/share): library, logs.
    virtual std::filesystem::path applicationSupportDirectory() const = 0;
    /// Per-user configuration root ($XDG_CONFIG_HOME, default ~/.config): the defaults file.
    virtual std::filesystem::path configDirectory() const = 0;
    /// Directory for temporary files ($TMPDIR, default /tmp).
    virtual std::filesystem::path temporaryDirectory() const = 0;
    /// The user's home directory.
    virtual std::filesystem::path homeDirectory() const = 0;
};

} // namespace brisklet
