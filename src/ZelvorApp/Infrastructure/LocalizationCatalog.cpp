#include "ZelvorApp/Infrastructure/LocalizationCatalog.h"

#include "ZelvorApp/Infrastructure/StringsTableParser.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <mutex>
#include <optional>
#include <sstream>
#include <unistd.h>

namespace brisklet {

namespace {

struct CatalogState {
    std::mutex mutex;
    std::optional<std::vector<std::filesystem::path>> directories;
    std::map<std::string, StringsTable, std::less<>> tables;
};

CatalogState& state() {
    static CatalogState instance;
    return instance;
}

std::filesystem::path executableDirectory() {
    std::error_code error;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path{} : exe.parent_path();
}

std::vector<std::filesystem::path> defaultDirectories() {
    std::vector<std::filesystem::path> directories;
    const auto exeDir = executableDirectory();
    if (!exeDir.empty()) {
        directories.push_back(exeDir / ".." / "share" / "brisklet" / "resources");
        // brisklet-engine is installed in libexec/brisklet.
        directories.push_back(exeDir / ".." / ".." / "share" / "brisklet" / "resources");
        directories.push_back(exeDir / "resources");
    }
#ifdef BRISKLET_SOURCE_RESOURCES_DIR
    directories.emplace_back(BRISKLET_SOURCE_RESOURCES_DIR);
#endif
    return directories;
}

std::optional<StringsTable> readTable(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::stringstream buffer;
    buffer << in.rdbuf();
    return parseStringsTable(buffer.str());
}

StringsTable loadTable(const std::vector<std::filesystem::path>& directories, std::string_view identifier) {
    std::string lower(identifier);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return std::tolower(c); });
    for (const auto& directory : directories) {
        for (const auto& id : {std::string(identifier), lower}) {
            const auto file = directory / (id + ".lproj") / "Localizable.strings";
            if (std::filesystem::exists(file)) {
                // A damaged table counts as missing: lookups fall back to English, then to the key.
                return readTable(file).value_or(StringsTable{});
            }
        }
    }
    return {};
}

const StringsTable& tableLocked(CatalogState& s, std::string_view identifier) {
    if (!s.directories) {
        s.directories = defaultDirectories();
    }
    auto it = s.tables.find(identifier);
    if (it == s.tables.end()) {
        it = s.tables.emplace(std::string(identifier), loadTable(*s.directories, identifier)).first;
    }
    return it->second;
}

std::optional<std::string> lookup(std::string_view identifier, std::string_view key) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    const StringsTable& table = tableLocked(s, identifier);
    const auto it = table.find(key);
    if (it == table.end() || it->second.empty()) {
        return std::nullopt;
    }
    return it->second;
}

} // namespace

std::string_view LocalizationCatalog::localizationIdentifier(AppLanguage language) {
    return language == AppLanguage::system ? "en" : toString(language);
}

std::string LocalizationCatalog::text(L10nKey key, AppLanguage language) {
    const std::string_view identifier = localizationIdentifier(language);
    if (auto text = lookup(identifier, rawValue(key))) {
        return *text;
    }
    if (identifier != "en") {
        if (auto text = lookup("en", rawValue(key))) {
            return *text;
        }
    }
    return std::string(rawValue(key));
}

std::vector<std::filesystem::path> LocalizationCatalog::resourceDirectories() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    if (!s.directories) {
        s.directories = defaultDirectories();
    }
    return *s.directories;
}

void LocalizationCatalog::setResourceDirectories(std::vector<std::filesystem::path> directories) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.directories = std::move(directories);
    s.tables.clear();
}

} // namespace brisklet
