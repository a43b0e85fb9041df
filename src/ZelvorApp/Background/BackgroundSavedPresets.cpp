#include "ZelvorApp/Background/BackgroundSavedPresets.h"

#include "ZelvorCore/Models/AppPreferences.h"

#include <algorithm>

namespace brisklet {

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

/// The lowest untitled number not taken by an existing name, so deleting "Preset 2" and saving
/// again does not produce a second "Preset 3".
int nextUntitledNumber(const AppPreferences& preferences, const BackgroundSavedPresets::UntitledName& untitledName) {
    int number = 1;
    const auto taken = [&](int n) {
        const std::string candidate = untitledName(n);
        return std::any_of(preferences.savedBackgroundPresets.begin(), preferences.savedBackgroundPresets.end(),
                           [&](const SavedBackgroundPreset& p) { return p.name == candidate; });
    };
    while (taken(number)) {
        ++number;
    }
    return number;
}

} // namespace

std::string BackgroundSavedPresets::trimmedName(std::string_view name) {
    std::size_t begin = 0;
    std::size_t end = name.size();
    while (begin < end && isBlank(name[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(name[end - 1])) {
        --end;
    }
    return std::string(name.substr(begin, end - begin));
}

SavedBackgroundPreset BackgroundSavedPresets::save(AppPreferences& preferences, std::string_view name,
                                                   const BackgroundComposition& composition, std::string id,
                                                   const UntitledName& untitledName) {
    std::string finalName = trimmedName(name);
    if (finalName.empty()) {
        finalName = untitledName(nextUntitledNumber(preferences, untitledName));
    }
    SavedBackgroundPreset preset{std::move(id), std::move(finalName), composition};
    preferences.savedBackgroundPresets.push_back(preset);
    return preset;
}

bool BackgroundSavedPresets::rename(AppPreferences& preferences, std::string_view id, std::string_view name) {
    std::string finalName = trimmedName(name);
    if (finalName.empty()) {
        return false;
    }
    for (auto& preset : preferences.savedBackgroundPresets) {
        if (preset.id == id) {
            preset.name = std::move(finalName);
            return true;
        }
    }
    return false;
}

bool BackgroundSavedPresets::remove(AppPreferences& preferences, std::string_view id) {
    auto& presets = preferences.savedBackgroundPresets;
    const auto removed =
        std::remove_if(presets.begin(), presets.end(), [&](const SavedBackgroundPreset& p) { return p.id == id; });
    if (removed == presets.end()) {
        return false;
    }
    presets.erase(removed, presets.end());
    if (preferences.defaultBackgroundPresetID == id) {
        preferences.defaultBackgroundPresetID.reset();
    }
    return true;
}

bool BackgroundSavedPresets::makeDefault(AppPreferences& preferences, std::optional<std::string> id) {
    if (id && find(preferences, *id) == nullptr) {
        return false;
    }
    preferences.defaultBackgroundPresetID = std::move(id);
    return true;
}

const SavedBackgroundPreset* BackgroundSavedPresets::find(const AppPreferences& preferences, std::string_view id) {
    for (const auto& preset : preferences.savedBackgroundPresets) {
        if (preset.id == id) {
            return &preset;
        }
    }
    return nullptr;
}

} // namespace brisklet
