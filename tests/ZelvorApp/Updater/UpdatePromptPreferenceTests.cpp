// What earlier answers to update offers mean for the next offer.

#include "ZelvorApp/Updater/UpdatePromptPreferenceStore.h"

#include "Platform/Fake/InMemoryDefaultsStore.h"
#include "ZelvorCore/Stores/PreferencesStore.h"
#include "support/CapturedLog.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

const Date now{1'700'000'000};

TEST(UpdatePromptPreferenceTest, ASkippedVersionIsOfferedOnlyWhenTheUserAsks) {
    testing::CapturedLog log;
    InMemoryDefaultsStore defaults;
    UpdatePromptPreferenceStore store(defaults);
    EXPECT_TRUE(store.shouldPresent("v1.3.0", now, false));
    store.skip("v1.3.0");
    EXPECT_EQ(defaults.string(DefaultsKeys::updaterSkippedVersion), "v1.3.0");
    EXPECT_FALSE(store.shouldPresent("v1.3.0", now, false));
    EXPECT_FALSE(store.shouldPresent("v1.3.0", now.addingSeconds(365 * 86400.0), false));
    EXPECT_TRUE(store.shouldPresent("v1.3.0", now, true));
    EXPECT_TRUE(store.shouldPresent("v1.4.0", now, false));
    EXPECT_EQ(log.linesStartingWith("update prompt action="),
              std::vector<std::string>{"update prompt action=skip version=v1.3.0"});
}

TEST(UpdatePromptPreferenceTest, RemindLaterKeepsTheOfferAwayForADay) {
    testing::CapturedLog log;
    InMemoryDefaultsStore defaults;
    UpdatePromptPreferenceStore store(defaults);
    store.remindLater("v1.3.0", now);
    EXPECT_EQ(defaults.date(DefaultsKeys::updaterRemindAfter), now.addingSeconds(86400));
    EXPECT_FALSE(store.shouldPresent("v1.3.0", now.addingSeconds(86399), false));
    EXPECT_TRUE(store.shouldPresent("v1.3.0", now.addingSeconds(86400), false));
    EXPECT_TRUE(store.shouldPresent("v1.3.0", now, true));
    // Another version is not held back by the reminder.
    EXPECT_TRUE(store.shouldPresent("v1.3.1", now, false));
    store.install("v1.3.0");
    EXPECT_EQ(log.linesStartingWith("update prompt action="),
              (std::vector<std::string>{"update prompt action=remindLater version=v1.3.0",
                                        "update prompt action=install version=v1.3.0"}));
}

} // namespace
} // namespace brisklet
