// Versions, release documents, the choice of the file to install and where updates come from.

#include "ZelvorApp/Updater/AppUpdaterConfiguration.h"
#include "ZelvorApp/Updater/AppVersion.h"
#include "ZelvorApp/Updater/GitHubRelease.h"
#include "ZelvorApp/Updater/UpdateInfoFile.h"
#include "ZelvorApp/Updater/UpdateReleaseClient.h"

#include "Platform/Fake/TemporaryPaths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>

namespace brisklet {
namespace {

bool sameOrNewer(const std::string& a, const std::string& b) {
    return AppVersion{a}.isSameOrNewer(b);
}

TEST(AppVersionTest, DigitRunsCompareByValue) {
    EXPECT_TRUE(sameOrNewer("1.10", "1.9"));
    EXPECT_FALSE(sameOrNewer("1.9", "1.10"));
    EXPECT_FALSE(sameOrNewer("1.9.9", "1.10.0"));
    EXPECT_TRUE(sameOrNewer("1.10.0", "1.9.9"));
    EXPECT_TRUE(sameOrNewer("2.0", "1.99.99"));
    EXPECT_TRUE(sameOrNewer("1.02", "1.2"));
    EXPECT_TRUE(sameOrNewer("1.2", "1.02"));
    EXPECT_FALSE(sameOrNewer("1.2.0-beta", "1.2.0-rc"));
}

TEST(AppVersionTest, WhiteSpaceAndOneLeadingVAreIgnored) {
    EXPECT_TRUE(sameOrNewer("v1.2.0", "1.2"));
    EXPECT_FALSE(sameOrNewer("1.2", "v1.2.0"));
    EXPECT_TRUE(sameOrNewer(" V2.0\n", "v2.0"));
    EXPECT_TRUE(sameOrNewer("2.0", "\tV2.0 "));
    EXPECT_EQ(AppVersion::normalized("  vv3 "), "v3");
}

TEST(GitHubReleaseTest, DecodesTheDocumentAndToleratesNullsAndExtraFields) {
    const auto release = GitHubRelease::decode(R"({
        "tag_name": "v1.3.0", "name": "Brisklet 1.3", "body": null, "draft": false,
        "assets": [
            {"name": "brisklet_1.3.0_amd64.deb", "browser_download_url": "https://example.test/a.deb",
             "size": 123456, "content_type": "application/vnd.debian.binary-package"},
            {"name": "notes.txt", "browser_download_url": "https://example.test/notes.txt", "size": null}
        ]})");
    ASSERT_TRUE(release) << release.error();
    EXPECT_EQ(release.value().tagName, "v1.3.0");
    EXPECT_EQ(release.value().body, std::nullopt);
    ASSERT_EQ(release.value().assets.size(), 2u);
    EXPECT_EQ(release.value().assets[0],
              (GitHubReleaseAsset{"brisklet_1.3.0_amd64.deb", "https://example.test/a.deb", 123456}));
    EXPECT_EQ(release.value().assets[1].size, std::nullopt);

    const auto bare = GitHubRelease::decode(R"({"tag_name": "2.0", "body": "Notes"})");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare.value().body, "Notes");
    EXPECT_TRUE(bare.value().assets.empty());
}

TEST(GitHubReleaseTest, DocumentsThatAreNotReleasesAreErrorsNamingTheProblem) {
    const std::vector<std::pair<std::string, std::string>> cases{
        {"{not json", "not JSON"},
        {"[1, 2]", "not a JSON object"},
        {R"({"body": "x"})", "tag_name"},
        {R"({"tag_name": 13})", "tag_name"},
        {R"({"tag_name": "  "})", "tag_name"},
        {R"({"tag_name": "1", "body": 4})", "body"},
        {R"({"tag_name": "1", "assets": {}})", "assets"},
        {R"({"tag_name": "1", "assets": [{"name": "a.deb"}]})", "browser_download_url"},
        {R"({"tag_name": "1", "assets": [{"name": "a.deb", "browser_download_url": "u", "size": -1}]})", "size"},
        {R"({"tag_name": "1", "assets": [{"name": "a.deb", "browser_download_url": "u", "size": "9"}]})", "size"},
        {R"({"tag_name": "1", "assets": [{"name": "a.deb", "browser_download_url": "u", "size": 1.5}]})", "size"},
    };
    for (const auto& [document, mentioned] : cases) {
        const auto decoded = GitHubRelease::decode(document);
        ASSERT_FALSE(decoded) << document;
        EXPECT_NE(decoded.error().find(mentioned), std::string::npos) << document << " → " << decoded.error();
    }
}

GitHubRelease releaseWith(const std::vector<std::string>& names) {
    GitHubRelease release{"v1", std::nullopt, {}};
    for (const auto& name : names) {
        release.assets.push_back({name, "https://example.test/" + name, 10});
    }
    return release;
}

std::optional<std::string> chosen(const std::vector<std::string>& names, const std::string& suffix) {
    const auto asset = releaseWith(names).preferredInstallerAsset(suffix);
    return asset ? std::optional<std::string>(asset->name) : std::nullopt;
}

TEST(GitHubReleaseTest, TheConfiguredSuffixWinsThenDebianPackagesThenTheOtherKinds) {
    EXPECT_EQ(chosen({"brisklet_1.3_arm64.deb", "brisklet_1.3_amd64.deb"}, "_amd64.deb"), "brisklet_1.3_amd64.deb");
    EXPECT_EQ(chosen({"Brisklet.zip", "brisklet_1.3_arm64.DEB"}, "_amd64.deb"), "brisklet_1.3_arm64.DEB");
    EXPECT_EQ(chosen({"Brisklet.pkg", "Brisklet.dmg", "brisklet.deb"}, "_amd64.deb"), "brisklet.deb");
    EXPECT_EQ(chosen({"Brisklet.dmg", "Brisklet-upgrade.pkg"}, "-upgrade.pkg"), "Brisklet-upgrade.pkg");
    EXPECT_EQ(chosen({"Brisklet.ZIP", "Brisklet.dmg"}, "_amd64.deb"), "Brisklet.dmg");
    // A release with only an archive still offers it; installing it then explains why not.
    EXPECT_EQ(chosen({"Brisklet-1.3.zip"}, "_amd64.deb"), "Brisklet-1.3.zip");
    EXPECT_EQ(chosen({"brisklet-1.3.tar.gz", "SHA256SUMS"}, "_amd64.deb"), std::nullopt);
    EXPECT_EQ(chosen({}, "_amd64.deb"), std::nullopt);
}

TEST(UpdaterConfigurationTest, ReadsTheInstalledInformationTrimmedAndFallsBackWithoutIt) {
    TemporaryPaths paths;
    const auto file = paths.root() / "update-info.json";
    std::ofstream(file) << R"({"BriskletUpdateRepository": "  brisklet/brisklet\n", "BriskletUpdateFeedURL": " ",
                              "CFBundleShortVersionString": " 1.4.0 ", "BriskletPackageName": "brisklet",
                              "BriskletUpdateAssetNameSuffix": "", "Unrelated": 5})";
    const auto info = UpdateInfoFile(file).read();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->at("BriskletUpdateRepository"), "brisklet/brisklet");
    EXPECT_FALSE(info->contains("Unrelated"));
    const auto configuration = AppUpdaterConfiguration::fromInfo(info, "0.1.0");
    EXPECT_EQ(configuration.repository, "brisklet/brisklet");
    EXPECT_EQ(configuration.feedURL, std::nullopt);
    EXPECT_EQ(configuration.currentVersion, "1.4.0");
    EXPECT_EQ(configuration.assetNameSuffix, AppUpdaterConfiguration::defaultAssetNameSuffix());
    EXPECT_TRUE(configuration.isValid());

    EXPECT_EQ(UpdateInfoFile(paths.root() / "missing.json").read(), std::nullopt);
    std::ofstream(paths.root() / "broken.json") << R"({"BriskletUpdateRepository": )";
    EXPECT_EQ(UpdateInfoFile(paths.root() / "broken.json").read(), std::nullopt);
    const auto unconfigured = AppUpdaterConfiguration::fromInfo(std::nullopt, "0.1.0");
    EXPECT_FALSE(unconfigured.isValid());
    EXPECT_EQ(unconfigured.currentVersion, "0.1.0");
}

TEST(UpdaterConfigurationTest, ValidWithAFeedOrAnOwnerAndNameRepository) {
    AppUpdaterConfiguration configuration;
    for (const std::string repository : {"owner", "owner/", "/name", "a/b/c", ""}) {
        configuration.repository = repository;
        EXPECT_FALSE(configuration.isValid()) << repository;
    }
    configuration.repository = "owner/name";
    EXPECT_TRUE(configuration.isValid());
    configuration.repository = "";
    configuration.feedURL = "http://127.0.0.1:8000/latest.json";
    EXPECT_TRUE(configuration.isValid());
    EXPECT_EQ(UpdateReleaseClient::releaseURL(configuration), "http://127.0.0.1:8000/latest.json");
    configuration.feedURL.reset();
    configuration.repository = "owner/name";
    const HttpRequest request = UpdateReleaseClient::releaseRequest(configuration);
    EXPECT_EQ(request.url, "https://api.github.com/repos/owner/name/releases/latest");
    EXPECT_EQ(request.headers,
              (std::vector<HttpHeader>{{"Accept", "application/vnd.github+json"}, {"User-Agent", "Brisklet-Updater"}}));
}

TEST(UpdaterConfigurationTest, TheDefaultSuffixNamesThisMachinesDebianArchitecture) {
    const auto architecture = debianArchitecture();
#if defined(__x86_64__)
    EXPECT_EQ(architecture, "amd64");
#elif defined(__aarch64__)
    EXPECT_EQ(architecture, "arm64");
#endif
    ASSERT_TRUE(architecture);
    EXPECT_EQ(AppUpdaterConfiguration::defaultAssetNameSuffix(), "_" + std::string(*architecture) + ".deb");
}

TEST(UpdaterConfigurationTest, TheEnvironmentNamesAnotherInformationFile) {
    const char* previous = std::getenv(UpdateInfoFile::overrideVariable);
    const std::optional<std::string> saved = previous ? std::optional<std::string>(previous) : std::nullopt;
    setenv(UpdateInfoFile::overrideVariable, "/tmp/brisklet-trial/update-info.json", 1);
    EXPECT_EQ(UpdateInfoFile::forRunningExecutable().path(), "/tmp/brisklet-trial/update-info.json");
    unsetenv(UpdateInfoFile::overrideVariable);
    EXPECT_EQ(UpdateInfoFile::forRunningExecutable().path().filename(), "update-info.json");
    if (saved) {
        setenv(UpdateInfoFile::overrideVariable, saved->c_str(), 1);
    }
}

} // namespace
} // namespace brisklet
