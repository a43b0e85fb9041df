#include "ZelvorApp/Updater/AppUpdaterConfiguration.h"

#include "ZelvorApp/Updater/UpdaterText.h"

namespace brisklet {

namespace {

std::string valueOf(const UpdateInfoDictionary& info, const char* key) {
    const auto found = info.find(key);
    return found == info.end() ? std::string() : trimmed(found->second);
}

} // namespace

std::optional<std::string_view> debianArchitecture() {
#if defined(__x86_64__)
    return "amd64";
#elif defined(__aarch64__)
    return "arm64";
#elif defined(__arm__) && defined(__ARM_PCS_VFP)
    return "armhf";
#elif defined(__arm__)
    return "armel";
#elif defined(__i386__)
    return "i386";
#elif defined(__powerpc64__) && defined(__LITTLE_ENDIAN__)
    return "ppc64el";
#elif defined(__s390x__)
    return "s390x";
#elif defined(__riscv) && __riscv_xlen == 64
    return "riscv64";
#elif defined(__mips64) && defined(__MIPSEL__)
    return "mips64el";
#elif defined(__loongarch64)
    return "loong64";
#else
    return std::nullopt;
#endif
}

std::string AppUpdaterConfiguration::defaultAssetNameSuffix() {
    const auto architecture = debianArchitecture();
    // Without a known architecture any Debian package matches; the installer then decides.
    return architecture ? "_" + std::string(*architecture) + ".deb" : std::string(".deb");
}

bool AppUpdaterConfiguration::isValid() const {
    if (feedURL && !feedURL->empty()) {
        return true;
    }
    const std::size_t slash = repository.find('/');
    return slash != std::string::npos && slash > 0 && slash + 1 < repository.size() &&
           repository.find('/', slash + 1) == std::string::npos;
}

AppUpdaterConfiguration AppUpdaterConfiguration::fromInfo(const std::optional<UpdateInfoDictionary>& info,
                                                          std::string_view compiledVersion) {
    AppUpdaterConfiguration configuration;
    configuration.currentVersion = std::string(compiledVersion);
    if (!info) {
        return configuration;
    }
    configuration.repository = valueOf(*info, repositoryKey);
    if (std::string feed = valueOf(*info, feedURLKey); !feed.empty()) {
        configuration.feedURL = std::move(feed);
    }
    if (std::string suffix = valueOf(*info, assetNameSuffixKey); !suffix.empty()) {
        configuration.assetNameSuffix = std::move(suffix);
    }
    if (std::string version = valueOf(*info, versionKey); !version.empty()) {
        configuration.currentVersion = std::move(version);
    }
    if (std::string package = valueOf(*info, packageNameKey); !package.empty()) {
        configuration.packageName = std::move(package);
    }
    return configuration;
}

AppUpdaterConfiguration AppUpdaterConfiguration::load(const UpdateInfoSource& source) {
    return fromInfo(source.read(), BRISKLET_VERSION);
}

} // namespace brisklet
