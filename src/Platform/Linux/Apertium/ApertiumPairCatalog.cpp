#include "Platform/Linux/Apertium/ApertiumPairCatalog.h"

#include <algorithm>
#include <map>
#include <set>

namespace brisklet {

namespace {

// Apertium names languages by ISO 639-3 in newer pairs and ISO 639-1 in older ones.
const std::map<std::string, std::string>& threeLetterCodes() {
    static const std::map<std::string, std::string> codes{
        {"afr", "af"}, {"arg", "an"}, {"bel", "be"}, {"bul", "bg"}, {"cat", "ca"}, {"dan", "da"}, {"deu", "de"},
        {"eng", "en"}, {"epo", "eo"}, {"eus", "eu"}, {"fra", "fr"}, {"glg", "gl"}, {"hbs", "sh"}, {"hin", "hi"},
        {"ind", "id"}, {"isl", "is"}, {"ita", "it"}, {"jpn", "ja"}, {"kor", "ko"}, {"mkd", "mk"}, {"nld", "nl"},
        {"nno", "nn"}, {"nob", "nb"}, {"nor", "no"}, {"oci", "oc"}, {"pol", "pl"}, {"por", "pt"}, {"ron", "ro"},
        {"rus", "ru"}, {"slv", "sl"}, {"spa", "es"}, {"srd", "sc"}, {"swe", "sv"}, {"ukr", "uk"}, {"urd", "ur"},
        {"zlm", "ms"}, {"zho", "zh"},
    };
    return codes;
}

bool isLowerAlpha(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

int routeRank(const ApertiumRoute& route) {
    return (route.isInstalled() ? 0 : 2) + (route.legs.size() == 1 ? 0 : 1);
}

} // namespace

bool ApertiumRoute::isInstalled() const {
    return std::all_of(legs.begin(), legs.end(), [](const ApertiumDirection& d) { return d.isInstalled(); });
}

std::vector<std::string> ApertiumRoute::missingPackages() const {
    std::vector<std::string> packages;
    for (const auto& leg : legs) {
        if (!leg.isInstalled() && leg.package &&
            std::find(packages.begin(), packages.end(), *leg.package) == packages.end()) {
            packages.push_back(*leg.package);
        }
    }
    return packages;
}

const std::vector<ApertiumPairCatalog::KnownPair>& ApertiumPairCatalog::knownPairs() {
    static const std::vector<KnownPair> pairs{
        {"apertium-eng-spa", "en", "es"}, {"apertium-fr-es", "fr", "es"},   {"apertium-eng-cat", "en", "ca"},
        {"apertium-spa-cat", "es", "ca"}, {"apertium-fra-cat", "fr", "ca"}, {"apertium-es-pt", "es", "pt"},
        {"apertium-spa-ita", "es", "it"}, {"apertium-es-gl", "es", "gl"},   {"apertium-en-gl", "en", "gl"},
        {"apertium-es-ro", "es", "ro"},   {"apertium-oc-es", "oc", "es"},
    };
    return pairs;
}

ApertiumPairCatalog::ApertiumPairCatalog(const std::filesystem::path& modesDirectory) {
    std::error_code error;
    std::vector<std::string> modes;
    for (std::filesystem::directory_iterator it(modesDirectory, error), end; !error && it != end; it.increment(error)) {
        if (it->path().extension() == ".mode") {
            modes.push_back(it->path().stem().string());
        }
    }
    std::sort(modes.begin(), modes.end());
    for (const auto& mode : modes) {
        addInstalledMode(mode);
    }
    addKnownPairs();
}

ApertiumPairCatalog::ApertiumPairCatalog(const std::vector<std::string>& installedModes) {
    for (const auto& mode : installedModes) {
        addInstalledMode(mode);
    }
    addKnownPairs();
}

std::optional<std::string> ApertiumPairCatalog::languageCode(const std::string& apertiumCode) {
    if (apertiumCode.size() == 2 && isLowerAlpha(apertiumCode)) {
        return apertiumCode;
    }
    const auto it = threeLetterCodes().find(apertiumCode);
    return it == threeLetterCodes().end() ? std::nullopt : std::optional<std::string>(it->second);
}

std::optional<std::pair<std::string, std::string>> ApertiumPairCatalog::directionOfMode(const std::string& mode) {
    const auto dash = mode.find('-');
    if (dash == std::string::npos || mode.find('-', dash + 1) != std::string::npos) {
        return std::nullopt;
    }
    const std::string first = mode.substr(0, dash);
    const std::string second = mode.substr(dash + 1);
    if (!isLowerAlpha(first) || !isLowerAlpha(second)) {
        return std::nullopt;
    }
    const auto from = languageCode(first);
    const auto to = languageCode(second);
    if (!from || !to || *from == *to) {
        return std::nullopt;
    }
    return std::make_pair(*from, *to);
}

void ApertiumPairCatalog::addInstalledMode(const std::string& mode) {
    const auto direction = directionOfMode(mode);
    if (!direction) {
        return;
    }
    const bool known = std::any_of(directions_.begin(), directions_.end(), [&](const ApertiumDirection& d) {
        return d.from == direction->first && d.to == direction->second;
    });
    if (!known) {
        directions_.push_back({direction->first, direction->second, mode, std::nullopt});
    }
}

void ApertiumPairCatalog::addKnownPairs() {
    for (const auto& pair : knownPairs()) {
        for (const auto& [from, to] : {std::pair(pair.first, pair.second), std::pair(pair.second, pair.first)}) {
            const auto existing = std::find_if(directions_.begin(), directions_.end(), [&](const ApertiumDirection& d) {
                return d.from == from && d.to == to;
            });
            if (existing != directions_.end()) {
                existing->package = pair.package;
            } else {
                directions_.push_back({from, to, std::nullopt, pair.package});
            }
        }
    }
}

std::vector<std::string> ApertiumPairCatalog::languages() const {
    std::set<std::string> languages;
    for (const auto& direction : directions_) {
        languages.insert(direction.from);
        languages.insert(direction.to);
    }
    return {languages.begin(), languages.end()};
}

std::vector<ApertiumRoute> ApertiumPairCatalog::routes(const std::string& from, const std::string& to) const {
    std::vector<ApertiumRoute> found;
    for (const auto& first : directions_) {
        if (first.from != from) {
            continue;
        }
        if (first.to == to) {
            found.push_back({{first}});
            continue;
        }
        for (const auto& second : directions_) {
            if (second.from == first.to && second.to == to) {
                found.push_back({{first, second}});
            }
        }
    }
    return found;
}

std::optional<ApertiumRoute> ApertiumPairCatalog::route(const std::string& from, const std::string& to) const {
    auto candidates = routes(from, to);
    if (candidates.empty()) {
        return std::nullopt;
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const ApertiumRoute& a, const ApertiumRoute& b) { return routeRank(a) < routeRank(b); });
    return candidates.front();
}

} // namespace brisklet
