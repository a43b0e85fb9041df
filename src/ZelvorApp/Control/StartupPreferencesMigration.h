#pragma once

namespace brisklet {

struct AppPreferences;
class DefaultsStore;

enum class MigrationMode {
    apply,   ///< record the one-time flags in the defaults store
    preview, ///< compute the effective record without writing anything
};

/// The one-time corrections applied to stored preferences when the application starts, in order:
/// the video library switch (once, guarded by a defaults flag), the two hotkey migrations, the
/// desktop-icon opt-in and the GIF frame rate. Returns whether the record changed (the caller then
/// saves it once).
bool runStartupPreferencesMigrations(AppPreferences& preferences, DefaultsStore& defaults,
                                     MigrationMode mode = MigrationMode::apply);

} // namespace brisklet
