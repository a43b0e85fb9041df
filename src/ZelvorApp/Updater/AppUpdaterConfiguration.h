#pragma once

#include "ZelvorApp/Updater/UpdateInfoSource.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// Where updates come from and what this build is, read from the installed update information.
struct AppUpdaterConfiguration {
    static constexpr const char* repositoryKey = "BriskletUpdateRepository";
    static constexpr const char* feedURLKey = "BriskletUpdateFeedURL";
    static constexpr const char* assetNameSuffixKey = "BriskletUpdateAssetNameSuffix";
    static constexpr const char* versionKey = "CFBundleShortVersionString";
    static constexpr const char* packageNameKey = "BriskletPackageName";

    /// "owner/name" of the GitHub repository whose latest release is the update.
    std::string repository;
    /// An address answering like GitHub's latest-release endpoint; replaces GitHub when set.
    std::optional<std::string> feedURL;
    /// The release file meant for this system, matched at the end of its name.
    std::string assetNameSuffix = defaultAssetNameSuffix();
    /// The running version.
    std::string currentVersion;
    /// The Debian package the update must contain.
    std::string packageName = "brisklet";
    /// What is started after an installation: where the package puts the command.
    std::filesystem::path relaunchExecutable = "/usr/bin/brisklet";

    /// A feed is configured, or the repository is exactly two non-empty parts around one "/".
    bool isValid() const;

    /// Reads `info` (missing or empty values take their defaults); without information the
    /// configuration is not valid and the version is `compiledVersion`.
    static AppUpdaterConfiguration fromInfo(const std::optional<UpdateInfoDictionary>& info,
                                            std::string_view compiledVersion);
    /// `fromInfo` with what `source` holds and the version this program was built as.
    static AppUpdaterConfiguration load(const UpdateInfoSource& source);
    /// "_" + the Debian architecture + ".deb", e.g. "_amd64.deb": the package of this machine.
    static std::string defaultAssetNameSuffix();

    bool operator==(const AppUpdaterConfiguration&) const = default;
};

/// Debian's name for the architecture this program was compiled for ("amd64", "arm64", ...), or
/// nothing for one Debian does not know.
std::optional<std::string_view> debianArchitecture();

} // namespace brisklet
