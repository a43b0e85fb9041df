#include "ZelvorApp/Settings/SettingsSearchPolicy.h"

#include "ZelvorCore/Models/VisualMemoryText.h"

namespace brisklet {

std::vector<SettingsCardKind> SettingsSearchPolicy::candidateCards(SettingsCategory selectedCategory,
                                                                   std::string_view query) {
    if (memorytext::trimmed(query).empty()) {
        return settingsCards(selectedCategory);
    }
    return allSettingsCards();
}

std::vector<SettingsCardKind> SettingsSearchPolicy::visibleCards(SettingsCategory selectedCategory,
                                                                 std::string_view query,
                                                                 const LocalizationStore& localization) {
    std::vector<SettingsCardKind> cards = candidateCards(selectedCategory, query);
    const std::string needle = memorytext::lowercased(memorytext::trimmed(query));
    if (needle.empty()) {
        return cards;
    }
    std::erase_if(cards, [&](SettingsCardKind card) {
        return !memorytext::contains(memorytext::lowercased(settingsCardSearchText(card, localization)), needle);
    });
    return cards;
}

} // namespace brisklet
