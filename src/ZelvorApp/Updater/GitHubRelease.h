#pragma once

#include "ZelvorCore/Foundation/Result.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// One file attached to a release.
struct GitHubReleaseAsset {
    std::string name;
    std::string browserDownloadURL;
    /// The byte count the server publishes for the file.
    std::optional<std::int64_t> size;

    bool operator==(const GitHubReleaseAsset&) const = default;
};

/// The latest release as GitHub's REST interface (or a feed in its form) describes it.
struct GitHubRelease {
    /// The version, e.g. "v1.4.0".
    std::string tagName;
    /// The release notes.
    std::optional<std::string> body;
    std::vector<GitHubReleaseAsset> assets;

    /// The first file whose name ends with `suffix`; else the first Debian package (".deb",
    /// compared without case), which is what this system installs; else, in this order, the
    /// first ".pkg", ".dmg" or ".zip" file, so such a release is still offered and the
    /// installation explains that it cannot install it. Nothing when none of them is there.
    std::optional<GitHubReleaseAsset> preferredInstallerAsset(std::string_view suffix) const;

    /// Reads the release document: "tag_name" (required text), "body" (text or null), "assets"
    /// (array, may be missing) of objects with "name", "browser_download_url" (required texts)
    /// and "size" (whole number or null). Anything else is an error that says what is wrong.
    static Result<GitHubRelease, std::string> decode(std::string_view json);

    bool operator==(const GitHubRelease&) const = default;
};

} // namespace brisklet
