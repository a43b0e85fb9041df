#pragma once

#include <filesystem>
#include <optional>

namespace brisklet {

/// `brisklet` itself runs the commands that must start in an instant (capture, prefs) and links
/// nothing else; every other command runs in `brisklet-engine`, which carries text recognition,
/// video, translation, rendering and the rest. Loading those libraries alone takes longer than a
/// whole screen capture.
struct EngineLauncher {
    static constexpr const char* executableName = "brisklet-engine";

    /// The engine beside this executable (the build tree), else in ../libexec/brisklet (installed).
    static std::optional<std::filesystem::path> locate(const std::filesystem::path& selfDirectory);
    /// The other way round: `brisklet` beside the engine (the build tree), else in ../../bin (installed).
    static std::optional<std::filesystem::path> locateFrontEnd(const std::filesystem::path& engineDirectory);

    /// Replaces this process with the engine, passing `argv` on unchanged. Returns only when the
    /// engine cannot be started, after saying why on standard error; the result is the exit status.
    static int exec(char** argv);
};

} // namespace brisklet
