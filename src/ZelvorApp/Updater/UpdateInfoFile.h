#pragma once

#include "ZelvorApp/Updater/UpdateInfoSource.h"

#include <filesystem>

namespace brisklet {

/// The update information the Debian package installs as a JSON object of texts
/// (share/brisklet/update-info.json beside the executables' prefix).
class UpdateInfoFile final : public UpdateInfoSource {
public:
    /// Names the file in place of the installed one (tests, trial feeds).
    static constexpr const char* overrideVariable = "BRISKLET_UPDATE_INFO_FILE";

    explicit UpdateInfoFile(std::filesystem::path path) : path_(std::move(path)) {}

    /// The file named by $BRISKLET_UPDATE_INFO_FILE, else the first existing
    /// <prefix>/share/brisklet/update-info.json for the running executable (bin/brisklet or
    /// libexec/brisklet/brisklet-engine), else the usual place under the executable's prefix.
    static UpdateInfoFile forRunningExecutable();

    const std::filesystem::path& path() const { return path_; }
    /// Non-text values are skipped; texts lose their surrounding white space.
    std::optional<UpdateInfoDictionary> read() const override;

private:
    std::filesystem::path path_;
};

} // namespace brisklet
