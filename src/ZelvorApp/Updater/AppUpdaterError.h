#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace brisklet {

class LocalizationStore;

/// The cases of the updater's failures; each is a small record of what the message needs.
namespace updater_error {

struct InvalidRepository {
    std::string repository;
    bool operator==(const InvalidRepository&) const = default;
};
/// The server knows no published release (HTTP 404).
struct ReleaseNotFound {
    /// The repository or the feed address.
    std::string source;
    bool operator==(const ReleaseNotFound&) const = default;
};
/// The release server answered with a status other than 200.
struct HttpStatus {
    int status = 0;
    bool operator==(const HttpStatus&) const = default;
};
/// The file's server answered with an error status.
struct AssetDownloadFailed {
    std::string assetName;
    int status = 0;
    bool operator==(const AssetDownloadFailed&) const = default;
};
/// The installer could not run, or was not allowed to.
struct StartInstallerFailed {
    enum class Reason {
        /// The administrator password was not given, or no authentication agent runs.
        notAuthorized,
        /// pkexec is not installed.
        toolMissing,
        /// The file is not a Debian package (`detail` is its name).
        unsupportedPackage,
        /// The package is another program's (`detail` found, `expected` wanted).
        wrongPackage,
        /// Anything else; `detail` says what.
        other,
    };
    Reason reason = Reason::other;
    std::string detail;
    std::string expected;
    bool operator==(const StartInstallerFailed&) const = default;
};
/// The downloaded file disappeared before it could be installed.
struct AssetStateMissing {
    bool operator==(const AssetStateMissing&) const = default;
};
/// No answer from the release server at all (no network, unknown host, timeout).
struct ServerUnreachable {
    std::string description;
    bool operator==(const ServerUnreachable&) const = default;
};
/// The release document cannot be read.
struct InvalidRelease {
    std::string description;
    bool operator==(const InvalidRelease&) const = default;
};
/// The file's transfer broke off or could not be stored.
struct AssetTransferFailed {
    std::string assetName;
    std::string description;
    bool operator==(const AssetTransferFailed&) const = default;
};
/// The file arrived shorter or longer than the release says; it was thrown away.
struct AssetSizeMismatch {
    std::string assetName;
    std::int64_t expectedByteCount = 0;
    std::int64_t receivedByteCount = 0;
    bool operator==(const AssetSizeMismatch&) const = default;
};
/// The package manager ran and failed.
struct InstallerFailed {
    int exitCode = 0;
    /// The end of what it printed.
    std::string output;
    bool operator==(const InstallerFailed&) const = default;
};
/// The release has no file this system can use.
struct NoInstallerAsset {
    std::string version;
    bool operator==(const NoInstallerAsset&) const = default;
};
struct Generic {
    std::string message;
    bool operator==(const Generic&) const = default;
};
/// Installing needs a release found by a check first.
struct InstallRequiresCheck {
    bool operator==(const InstallRequiresCheck&) const = default;
};
/// An installation was started, but the next launch still runs the old version.
struct NotInstalled {
    std::string expectedVersion;
    std::string runningVersion;
    bool operator==(const NotInstalled&) const = default;
};

} // namespace updater_error

/// What a check, a download or an installation fails with.
using AppUpdaterError =
    std::variant<updater_error::InvalidRepository, updater_error::ReleaseNotFound, updater_error::HttpStatus,
                 updater_error::AssetDownloadFailed, updater_error::StartInstallerFailed,
                 updater_error::AssetStateMissing, updater_error::ServerUnreachable, updater_error::InvalidRelease,
                 updater_error::AssetTransferFailed, updater_error::AssetSizeMismatch, updater_error::InstallerFailed>;

/// What the error status keeps: every updater error and the failures of the updater itself.
using ErrorDescriptor =
    std::variant<updater_error::NoInstallerAsset, updater_error::InvalidRepository, updater_error::ReleaseNotFound,
                 updater_error::HttpStatus, updater_error::AssetDownloadFailed, updater_error::StartInstallerFailed,
                 updater_error::Generic, updater_error::InstallRequiresCheck, updater_error::AssetStateMissing,
                 updater_error::ServerUnreachable, updater_error::InvalidRelease, updater_error::AssetTransferFailed,
                 updater_error::AssetSizeMismatch, updater_error::InstallerFailed, updater_error::NotInstalled>;

ErrorDescriptor describe(const AppUpdaterError& error);

/// The message shown to the user, in the current language.
std::string localizedMessage(const ErrorDescriptor& descriptor, const LocalizationStore& localization);

/// A stable English form for log lines, e.g. "httpStatus status=503".
std::string logDescription(const ErrorDescriptor& descriptor);

} // namespace brisklet
