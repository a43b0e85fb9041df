#include "ZelvorApp/Control/StartupPreferencesMigration.h"

#include "Platform/DefaultsStore.h"
#include "ZelvorCore/Models/AppPreferences.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

namespace brisklet {

bool runStartupPreferencesMigrations(AppPreferences& preferences, DefaultsStore& defaults, MigrationMode mode) {
    bool changed = false;
    if (!defaults.boolValue(DefaultsKeys::videoVisualMemoryDefaultEnabledMigration)) {
        if (mode == MigrationMode::apply) {
            defaults.setBool(DefaultsKeys::videoVisualMemoryDefaultEnabledMigration, true);
        }
        if (!preferences.saveVideoToVisualMemory) {
            preferences.saveVideoToVisualMemory = true;
            changed = true;
        }
    }
    changed |= preferences.migrateSystemShortcutConflictingDefaultHotkeys();
    changed |= preferences.migrateLegacyEditorCopyDefaultHotkey();
    changed |= preferences.migrateLegacyDesktopAutoHideDefaultsToOptIn();
    changed |= preferences.migrateLegacyGIFFrameRateForSmoothPlayback();
    return changed;
}

} // namespace brisklet
