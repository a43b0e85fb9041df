#include "ZelvorApp/Updater/UpdateInfoFile.h"

#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Updater/UpdaterText.h"
#include "ZelvorCore/Foundation/Json.h"

#include <nlohmann/json.hpp>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <vector>

namespace brisklet {

namespace {

std::filesystem::path executableDirectory() {
    std::error_code error;
    const auto executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path{} : executable.parent_path();
}

} // namespace

UpdateInfoFile UpdateInfoFile::forRunningExecutable() {
    if (const char* named = std::getenv(overrideVariable); named && *named) {
        return UpdateInfoFile(named);
    }
    const auto directory = executableDirectory();
    // bin/brisklet and libexec/brisklet/brisklet-engine share one prefix.
    const std::vector<std::filesystem::path> candidates{directory / ".." / "share" / "brisklet" / "update-info.json",
                                                        directory / ".." / ".." / "share" / "brisklet" /
                                                            "update-info.json"};
    for (const auto& candidate : candidates) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) {
            return UpdateInfoFile(candidate.lexically_normal());
        }
    }
    return UpdateInfoFile(candidates.front().lexically_normal());
}

std::optional<UpdateInfoDictionary> UpdateInfoFile::read() const {
    std::ifstream file(path_, std::ios::binary);
    if (!file) {
        RuntimeLogger::log("updater info file missing path=" + path_.string());
        return std::nullopt;
    }
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const Json document = Json::parse(text, nullptr, false);
    if (document.is_discarded() || !document.is_object()) {
        RuntimeLogger::log("updater info file unreadable path=" + path_.string() + " error=notAJsonObject");
        return std::nullopt;
    }
    UpdateInfoDictionary info;
    for (const auto& [key, value] : document.items()) {
        if (value.is_string()) {
            info[key] = trimmed(value.get_ref<const std::string&>());
        }
    }
    return info;
}

} // namespace brisklet
