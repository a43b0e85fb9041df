#pragma once

#include "ZelvorCore/Models/AppPreferences.h"

#include <optional>
#include <string>

namespace brisklet {

class DefaultsStore;

/// Keys the application keeps in the defaults store beside the two documents.
namespace DefaultsKeys {
inline constexpr const char* preferences = "brisklet.preferences";
inline constexpr const char* recentExports = "brisklet.recent.exports";
inline constexpr const char* didShowWelcomeWindow = "brisklet.didShowWelcomeWindow";
/// Followed by "." and the application identifier.
inline constexpr const char* didAttemptStartupScreenRecordingRequest =
    "brisklet.didAttemptStartupScreenRecordingRequest";
inline constexpr const char* videoVisualMemoryDefaultEnabledMigration =
    "brisklet.migrations.videoVisualMemoryDefaultEnabledV1";
inline constexpr const char* gifAnnotationPrototypeEnabled = "brisklet.experimental.gifAnnotationPrototypeEnabled";
inline constexpr const char* screenshotToolbarUseFallback = "brisklet.screenshotToolbar.useAppKitFallback";
inline constexpr const char* useLegacyAnnotationToolbarUI = "brisklet.useLegacyAnnotationToolbarUI";
inline constexpr const char* updaterLastAutomaticCheckAttempt = "brisklet.updater.lastAutomaticCheckAttempt";
inline constexpr const char* updaterPendingVersion = "brisklet.updater.pendingVersion";
inline constexpr const char* updaterRemindAfter = "brisklet.updater.remindAfter";
inline constexpr const char* updaterRemindedVersion = "brisklet.updater.remindedVersion";
inline constexpr const char* updaterSkippedVersion = "brisklet.updater.skippedVersion";
} // namespace DefaultsKeys

/// Reads and writes the preferences document. Holds nothing in memory: a read after a write
/// always sees the write.
class PreferencesStore {
public:
    PreferencesStore(DefaultsStore& defaults, std::string key = DefaultsKeys::preferences);

    /// The stored record; the defaults when nothing is stored or the document cannot be read
    /// (the stored bytes are then left as they are until the next save).
    AppPreferences load() const;
    /// Like `load`, but says why a stored document was not usable.
    AppPreferences load(std::optional<std::string>& decodeError) const;
    void save(const AppPreferences& preferences);

    /// Decodes a preferences document; the error text says what was wrong.
    static std::optional<AppPreferences> decode(std::string_view bytes, std::string* error = nullptr);
    static std::string encode(const AppPreferences& preferences, bool pretty = false);

private:
    DefaultsStore& defaults_;
    std::string key_;
};

} // namespace brisklet
