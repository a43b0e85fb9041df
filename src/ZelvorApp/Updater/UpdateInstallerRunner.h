#pragma once

#include "ZelvorApp/Updater/AppUpdaterError.h"
#include "ZelvorCore/Foundation/Result.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace brisklet {

class ProcessRunner;

/// Installs a downloaded Debian package with administrator rights (pkexec asks for the password
/// through the desktop's authentication agent) and starts the new version once this one has
/// quit. Blocking; runs on the updater's queue.
class UpdateInstallerRunner {
public:
    /// apt-get may have to fetch dependencies; the password dialog waits for the user.
    static constexpr double installTimeoutSeconds = 1800;
    static constexpr double inspectTimeoutSeconds = 30;
    /// How long the relaunch waits for this process to end before starting the new one anyway.
    static constexpr int relaunchWaitSeconds = 60;

    explicit UpdateInstallerRunner(const ProcessRunner& runner) : runner_(runner) {}

    /// pkexec apt-get install -y <absolute path>: apt resolves the package's dependencies, which
    /// dpkg -i alone would leave broken.
    static std::vector<std::string> installCommand(const std::filesystem::path& package);
    /// Reads the package name from the file's control data.
    static std::vector<std::string> inspectCommand(const std::filesystem::path& package);
    /// A detached shell, in a session of its own, that waits until `processIdentifier` has ended
    /// (a second instance would otherwise hand over to this one and exit) and then starts
    /// `executable`.
    static std::vector<std::string> relaunchCommand(std::int32_t processIdentifier,
                                                    const std::filesystem::path& executable);

    /// Refuses anything but a Debian package of `packageName`, then installs it. pkexec's 126
    /// and 127 (password dialog dismissed, not authorised, no agent) are startInstallerFailed;
    /// any other failure is installerFailed with the end of the tool's output.
    Status<AppUpdaterError> install(const std::filesystem::path& package, const std::string& packageName) const;

    /// Starts the waiting relaunch; false when it could not be started.
    bool relaunchAfterExit(std::int32_t processIdentifier, const std::filesystem::path& executable) const;

private:
    const ProcessRunner& runner_;
};

} // namespace brisklet
