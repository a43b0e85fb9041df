#include "ZelvorApp/Control/StartupPreferencesMigration.h"

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

TEST(StartupPreferencesMigrationTest, VideoSwitchIsTurnedOnOnceOnly) {
    InMemoryDefaultsStore defaults;
    AppPreferences p = AppPreferences::defaults();
    p.saveVideoToVisualMemory = false;
    EXPECT_TRUE(runStartupPreferencesMigrations(p, defaults));
    EXPECT_TRUE(p.saveVideoToVisualMemory);
    EXPECT_TRUE(defaults.boolValue(DefaultsKeys::videoVisualMemoryDefaultEnabledMigration));

    p.saveVideoToVisualMemory = false; // the user turns it off afterwards: that choice stays
    EXPECT_FALSE(runStartupPreferencesMigrations(p, defaults));
    EXPECT_FALSE(p.saveVideoToVisualMemory);
}

TEST(StartupPreferencesMigrationTest, PreviewComputesTheSameRecordWithoutWriting) {
    InMemoryDefaultsStore defaults;
    AppPreferences p = AppPreferences::defaults();
    p.saveVideoToVisualMemory = false;
    p.gifFPS = 10;
    AppPreferences applied = p;
    EXPECT_TRUE(runStartupPreferencesMigrations(p, defaults, MigrationMode::preview));
    EXPECT_TRUE(defaults.snapshot().empty());
    runStartupPreferencesMigrations(applied, defaults);
    EXPECT_EQ(p, applied);
}

} // namespace
} // namespace brisklet
