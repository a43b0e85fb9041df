#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"

#include <string>
#include <vector>

namespace brisklet {

class LocalizationStore;

/// The sidebar of the settings window, in its order.
enum class SettingsCategory { overview, capture, shortcuts, files, about };

/// Every card of the settings window, in the order a search across all of them lists them.
enum class SettingsCardKind {
    language,
    appearance,
    permissions,
    updates,
    selection,
    captureExperience,
    floatingThumbnail,
    longshot,
    gif,
    hotkeys,
    pinnedMouse,
    exportDirectory,
    logs,
    visualMemoryRetention,
    about,
};

const std::vector<SettingsCategory>& allSettingsCategories();
const std::vector<SettingsCardKind>& allSettingsCards();
/// The cards a category shows, in display order.
const std::vector<SettingsCardKind>& settingsCards(SettingsCategory category);
/// The category a card is shown in.
SettingsCategory settingsCategory(SettingsCardKind card);

L10nKey settingsCategoryTitleKey(SettingsCategory category);
std::string settingsCategoryTitle(SettingsCategory category, const LocalizationStore& localization);
/// The keys whose texts a search looks in; the first one is the card's title.
const std::vector<L10nKey>& settingsCardSearchKeys(SettingsCardKind card);
/// The texts of those keys in the current language, joined by newlines.
std::string settingsCardSearchText(SettingsCardKind card, const LocalizationStore& localization);

/// Stable names ("overview", "exportDirectory"), used for remembering the selection and for
/// naming widgets.
std::string settingsCategoryName(SettingsCategory category);
std::string settingsCardName(SettingsCardKind card);

} // namespace brisklet
