#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// One translation direction Apertium offers or could offer after installing a package.
struct ApertiumDirection {
    std::string from; ///< BCP-47 language code ("en")
    std::string to;
    /// The installed mode ("eng-spa"), absent when the direction is only known from a package.
    std::optional<std::string> mode;
    /// The Debian package that provides the direction, when known.
    std::optional<std::string> package;
    bool isInstalled() const { return mode.has_value(); }
    bool operator==(const ApertiumDirection&) const = default;
};

/// A way from one language to another: one direction, or two through a pivot language.
struct ApertiumRoute {
    std::vector<ApertiumDirection> legs;
    bool isInstalled() const;
    /// Packages of the legs that are not installed yet.
    std::vector<std::string> missingPackages() const;
};

/// The language pairs Apertium has installed (its mode files) together with the Debian pair
/// packages we know of, and the routes between languages they allow.
class ApertiumPairCatalog {
public:
    /// Pair packages Debian ships for the languages our users translate between most.
    struct KnownPair {
        const char* package;
        const char* first;
        const char* second;
    };
    static const std::vector<KnownPair>& knownPairs();

    /// Reads the installed modes from `modesDirectory` (a missing directory means none).
    explicit ApertiumPairCatalog(const std::filesystem::path& modesDirectory);
    /// A catalogue from explicit installed modes ("eng-spa", …), for tests.
    explicit ApertiumPairCatalog(const std::vector<std::string>& installedModes);

    /// "eng" → "en", "spa" → "es", "en" → "en"; nothing for codes we cannot map.
    static std::optional<std::string> languageCode(const std::string& apertiumCode);
    /// The direction of an installed mode name ("eng-spa" → en → es); variants and helper modes
    /// ("spa-eng_US", "eng-spa-tagger") give nothing.
    static std::optional<std::pair<std::string, std::string>> directionOfMode(const std::string& mode);

    const std::vector<ApertiumDirection>& directions() const { return directions_; }
    /// Every language that appears in a direction, sorted.
    std::vector<std::string> languages() const;
    /// The best route: installed before not installed, direct before pivoted.
    std::optional<ApertiumRoute> route(const std::string& from, const std::string& to) const;

private:
    void addInstalledMode(const std::string& mode);
    void addKnownPairs();
    std::vector<ApertiumRoute> routes(const std::string& from, const std::string& to) const;

    std::vector<ApertiumDirection> directions_;
};

} // namespace brisklet
