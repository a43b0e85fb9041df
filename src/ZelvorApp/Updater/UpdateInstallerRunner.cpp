#include "ZelvorApp/Updater/UpdateInstallerRunner.h"

#include "Platform/ProcessRunner.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Updater/UpdaterText.h"

#include <algorithm>
#include <cctype>

namespace brisklet {

namespace {

using Installed = Status<AppUpdaterError>;
using Reason = updater_error::StartInstallerFailed::Reason;

Installed refused(Reason reason, std::string detail, std::string expected = {}) {
    return Installed::failure(updater_error::StartInstallerFailed{reason, std::move(detail), std::move(expected)});
}

bool isDebianPackage(const std::filesystem::path& package) {
    std::string extension = package.extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension == ".deb";
}

std::string tailOf(const ProcessOutcome& outcome) {
    const std::string errors = outputTail(outcome.standardError);
    return errors.empty() ? outputTail(outcome.standardOutput) : errors;
}

} // namespace

std::vector<std::string> UpdateInstallerRunner::installCommand(const std::filesystem::path& package) {
    return {"pkexec", "apt-get", "install", "-y", std::filesystem::absolute(package).lexically_normal().string()};
}

std::vector<std::string> UpdateInstallerRunner::inspectCommand(const std::filesystem::path& package) {
    return {"dpkg-deb", "--field", std::filesystem::absolute(package).lexically_normal().string(), "Package"};
}

std::vector<std::string> UpdateInstallerRunner::relaunchCommand(std::int32_t processIdentifier,
                                                                const std::filesystem::path& executable) {
    // Polls five times a second; gives up waiting after relaunchWaitSeconds.
    const std::string script = "exec </dev/null >/dev/null 2>&1; i=0; "
                               "while kill -0 \"$1\" 2>/dev/null && [ \"$i\" -lt " +
                               std::to_string(relaunchWaitSeconds * 5) +
                               " ]; do sleep 0.2; i=$((i+1)); done; exec \"$2\"";
    return {"setsid",           "-f", "/bin/sh", "-c", script, "brisklet-relaunch", std::to_string(processIdentifier),
            executable.string()};
}

Installed UpdateInstallerRunner::install(const std::filesystem::path& package, const std::string& packageName) const {
    if (!isDebianPackage(package)) {
        return refused(Reason::unsupportedPackage, package.filename().string());
    }
    const ProcessOutcome inspected = runner_.run(inspectCommand(package), {}, inspectTimeoutSeconds);
    if (!inspected.succeeded()) {
        // A file dpkg cannot read is no package at all.
        return refused(Reason::unsupportedPackage, package.filename().string());
    }
    const std::string found = trimmed(inspected.standardOutput);
    if (found != packageName) {
        return refused(Reason::wrongPackage, found, packageName);
    }
    const auto command = installCommand(package);
    RuntimeLogger::log("update installer started command=pkexec apt-get install -y " + command.back());
    const ProcessOutcome outcome = runner_.run(command, {}, installTimeoutSeconds);
    if (!outcome.launched) {
        return refused(Reason::toolMissing, outcome.standardError);
    }
    if (outcome.timedOut) {
        return Installed::failure(updater_error::InstallerFailed{-1, "timed out"});
    }
    if (outcome.exitCode == 126 || outcome.exitCode == 127) {
        return refused(Reason::notAuthorized, tailOf(outcome));
    }
    if (outcome.exitCode != 0) {
        return Installed::failure(updater_error::InstallerFailed{outcome.exitCode, tailOf(outcome)});
    }
    return succeeded<AppUpdaterError>();
}

bool UpdateInstallerRunner::relaunchAfterExit(std::int32_t processIdentifier,
                                              const std::filesystem::path& executable) const {
    return runner_.run(relaunchCommand(processIdentifier, executable), {}, inspectTimeoutSeconds).succeeded();
}

} // namespace brisklet
