#pragma once

#include "ZelvorApp/Settings/SettingsCategory.h"

#include <string_view>
#include <vector>

namespace brisklet {

class LocalizationStore;

/// Which cards the settings window shows for a category and a search query.
struct SettingsSearchPolicy {
    /// With a query (trimmed of white space and newlines) every card in enumeration order,
    /// otherwise the cards of the selected category.
    static std::vector<SettingsCardKind> candidateCards(SettingsCategory selectedCategory, std::string_view query);
    /// The candidates whose search text contains the trimmed query, both lower-cased; all of
    /// them when the query is empty.
    static std::vector<SettingsCardKind> visibleCards(SettingsCategory selectedCategory, std::string_view query,
                                                      const LocalizationStore& localization);
};

} // namespace brisklet
