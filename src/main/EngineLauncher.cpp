#include "main/EngineLauncher.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <unistd.h>

namespace brisklet {

std::optional<std::filesystem::path> EngineLauncher::locate(const std::filesystem::path& selfDirectory) {
    for (const auto& candidate :
         {selfDirectory / executableName, selfDirectory / ".." / "libexec" / "brisklet" / executableName}) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate;
        }
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> EngineLauncher::locateFrontEnd(const std::filesystem::path& engineDirectory) {
    for (const auto& candidate : {engineDirectory / "brisklet", engineDirectory / ".." / ".." / "bin" / "brisklet"}) {
        if (::access(candidate.c_str(), X_OK) == 0) {
            std::error_code error;
            const auto resolved = std::filesystem::canonical(candidate, error);
            return error ? candidate.lexically_normal() : resolved;
        }
    }
    return std::nullopt;
}

int EngineLauncher::exec(char** argv) {
    std::error_code error;
    const auto self = std::filesystem::read_symlink("/proc/self/exe", error);
    const auto engine = error ? std::nullopt : locate(self.parent_path());
    if (!engine) {
        std::cerr << "brisklet: " << executableName << " is missing next to " << (error ? "brisklet" : self.string())
                  << "; reinstall Brisklet\n";
        return 1;
    }
    // The palette quantiser's OpenMP workers spin while they wait for work, which on a busy
    // two-core desktop roughly doubles the wall time of a GIF export; waiting passively costs
    // nothing measurable. Only a policy the user has not chosen is set.
    ::setenv("OMP_WAIT_POLICY", "passive", 0);
    argv[0] = const_cast<char*>(engine->c_str());
    ::execv(engine->c_str(), argv);
    std::cerr << "brisklet: cannot start " << engine->string() << ": " << std::strerror(errno) << "\n";
    return 1;
}

} // namespace brisklet
