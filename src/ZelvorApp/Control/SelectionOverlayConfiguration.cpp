#include "ZelvorApp/Control/SelectionOverlayTypes.h"

#include "ZelvorCore/Models/AppPreferences.h"

#include <utility>

namespace brisklet {

SelectionOverlayConfiguration SelectionOverlayConfiguration::following(const AppPreferences& preferences,
                                                                       std::string prompt) {
    SelectionOverlayConfiguration configuration;
    configuration.prompt = std::move(prompt);
    configuration.showsCrosshair = preferences.selectionAssistant.showsCrosshair;
    configuration.showsMagnifier = preferences.selectionAssistant.showsMagnifier;
    configuration.smartSnapEnabled = preferences.selectionAssistant.smartSnapEnabled;
    configuration.appearanceMode = preferences.visualAppearanceMode;
    configuration.fullScreenSelectionHotkey = preferences.selectionFullScreenHotkey;
    return configuration;
}

} // namespace brisklet
