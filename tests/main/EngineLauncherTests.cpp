#include "main/EngineLauncher.h"

#include "Platform/Fake/TemporaryPaths.h"

#include <fstream>
#include <gtest/gtest.h>

namespace brisklet {
namespace {

namespace fs = std::filesystem;

void writeExecutable(const fs::path& file) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << "#!/bin/sh\n";
    fs::permissions(file, fs::perms::owner_all);
}

TEST(EngineLauncher, FindsEachHalfFromTheOtherInstalledAndInABuildTree) {
    TemporaryPaths paths;
    const fs::path prefix = paths.root() / "usr";
    writeExecutable(prefix / "bin" / "brisklet");
    writeExecutable(prefix / "libexec" / "brisklet" / "brisklet-engine");
    EXPECT_EQ(EngineLauncher::locate(prefix / "bin")->lexically_normal(),
              prefix / "libexec" / "brisklet" / "brisklet-engine");
    EXPECT_EQ(EngineLauncher::locateFrontEnd(prefix / "libexec" / "brisklet"),
              fs::canonical(prefix / "bin" / "brisklet"));

    const fs::path build = paths.root() / "build";
    writeExecutable(build / "brisklet");
    writeExecutable(build / "brisklet-engine");
    EXPECT_EQ(EngineLauncher::locate(build), build / "brisklet-engine");
    EXPECT_EQ(EngineLauncher::locateFrontEnd(build), fs::canonical(build / "brisklet"));

    EXPECT_FALSE(EngineLauncher::locate(paths.root()));
    EXPECT_FALSE(EngineLauncher::locateFrontEnd(paths.root()));
    std::ofstream(paths.root() / "brisklet") << "not executable";
    EXPECT_FALSE(EngineLauncher::locateFrontEnd(paths.root()));
}

} // namespace
} // namespace brisklet
