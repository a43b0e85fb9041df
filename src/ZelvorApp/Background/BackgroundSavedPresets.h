#pragma once

#include "ZelvorCore/Models/BackgroundComposition.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

struct AppPreferences;

/// The user's own background presets, kept in the preferences. Each operation changes the
/// preferences it is given; the caller saves them.
struct BackgroundSavedPresets {
    /// Makes the name for the n-th untitled preset (1-based), e.g. "Preset 3".
    using UntitledName = std::function<std::string(int number)>;

    /// The name as typed, without surrounding whitespace and line breaks.
    static std::string trimmedName(std::string_view name);

    /// Appends a preset with `id`, the trimmed name (an untitled name when nothing is left) and
    /// `composition`; returns the new preset.
    static SavedBackgroundPreset save(AppPreferences& preferences, std::string_view name,
                                      const BackgroundComposition& composition, std::string id,
                                      const UntitledName& untitledName);
    /// Gives the preset a new name. An empty name, or an unknown id, changes nothing and returns
    /// false (the panel beeps).
    static bool rename(AppPreferences& preferences, std::string_view id, std::string_view name);
    /// Removes the preset; a default that pointed at it is cleared too, so nothing refers to a
    /// preset that is gone. False when no preset has that id.
    static bool remove(AppPreferences& preferences, std::string_view id);
    /// Uses the preset as the default (nothing: no default). False, and no change, for an id no
    /// saved preset has.
    static bool makeDefault(AppPreferences& preferences, std::optional<std::string> id);
    static const SavedBackgroundPreset* find(const AppPreferences& preferences, std::string_view id);
};

} // namespace brisklet
