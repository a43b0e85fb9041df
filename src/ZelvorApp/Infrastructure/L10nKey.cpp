#include "ZelvorApp/Infrastructure/L10nKey.h"

#include <array>
#include <unordered_map>

namespace brisklet {

namespace {

constexpr std::string_view rawValues[] = {
#define BRISKLET_L10N_KEY(name) #name,
#include "ZelvorApp/Infrastructure/L10nKeys.inc"
#undef BRISKLET_L10N_KEY
};

} // namespace

std::string_view rawValue(L10nKey key) {
    return rawValues[static_cast<std::size_t>(key)];
}

std::optional<L10nKey> l10nKeyFromRawValue(std::string_view raw) {
    static const auto index = [] {
        std::unordered_map<std::string_view, L10nKey> map;
        for (std::size_t i = 0; i < std::size(rawValues); ++i) {
            map.emplace(rawValues[i], static_cast<L10nKey>(i));
        }
        return map;
    }();
    const auto it = index.find(raw);
    if (it == index.end()) {
        return std::nullopt;
    }
    return it->second;
}

const std::vector<L10nKey>& allL10nKeys() {
    static const auto keys = [] {
        std::vector<L10nKey> all;
        for (std::size_t i = 0; i < std::size(rawValues); ++i) {
            all.push_back(static_cast<L10nKey>(i));
        }
        return all;
    }();
    return keys;
}

} // namespace brisklet
