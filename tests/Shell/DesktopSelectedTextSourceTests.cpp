#include "Platform/Fake/CannedAccessibilityTextReader.h"
#include "Shell/DesktopSelectedTextSource.h"
#include "ZelvorApp/Control/AppHarness.h"

#include <gtest/gtest.h>

namespace brisklet {
namespace {

using control_testing::AppHarness;
using Outcome = AccessibleSelection::Outcome;

/// The real controller with the desktop's selected-text source over a canned accessibility
/// layer and a PRIMARY selection the test sets.
class DesktopSelectedTextSourceTest : public ::testing::Test {
protected:
    DesktopSelectedTextSourceTest() {
        AppServices services{
            app.defaults,     app.mainQueue,         app.clock,         app.localization,  app.codec,
            app.permissions,  app.desktopVisibility, app.launchAtLogin, app.exportService, app.copyPersistence,
            app.store,        app.visualMemory,      app.sources,       app.capture,       app.displays,
            app.captureQueue, app.pasteboard,        app.workspace};
        services.selectedText = &source;
        controller = std::make_unique<AppController>(AppEnvironment{services, app.ports}, app.model);
        controller->start();
    }

    AppHarness app;
    CannedAccessibilityTextReader accessibility;
    std::optional<std::string> primary;
    int primaryReads = 0;
    DesktopSelectedTextSource source{accessibility, [this] {
                                         ++primaryReads;
                                         return primary;
                                     }};
    std::unique_ptr<AppController> controller;
};

TEST_F(DesktopSelectedTextSourceTest, PinsTheFocusedFieldsSelectionBeforeThePrimarySelection) {
    accessibility.answer = {Outcome::found, "from the field", 7};
    primary = "highlighted elsewhere";
    app.pasteboard.writeText("copied");
    controller->pinClipboardText();
    EXPECT_EQ(app.pinned.texts, std::vector<std::string>{"from the field"});
    EXPECT_EQ(primaryReads, 0) << "the PRIMARY selection was read although the field had a selection";
    EXPECT_EQ(app.log.linesStartingWith("pin text selected source=axFocused length=14").size(), 1u);
    EXPECT_TRUE(app.log.linesStartingWith("pin text accessibility none").empty());
}

TEST_F(DesktopSelectedTextSourceTest, FallsBackToThePrimarySelectionThenTheClipboard) {
    accessibility.answer = {Outcome::noSelection, {}, 5};
    primary = "highlighted elsewhere";
    app.pasteboard.writeText("copied");
    controller->pinClipboardText();
    EXPECT_EQ(app.pinned.texts.back(), "highlighted elsewhere");
    EXPECT_EQ(app.log.linesStartingWith("pin text accessibility none reason=noSelection visited=5").size(), 1u);
    EXPECT_EQ(app.log.linesStartingWith("pin text selected source=ax app=Firefox length=21").size(), 1u);

    // A password field gives nothing, and with the PRIMARY selection empty the clipboard is pinned.
    accessibility.answer = {Outcome::secureField, {}, 3};
    primary.reset();
    controller->pinClipboardText();
    EXPECT_EQ(app.pinned.texts.back(), "copied");
    EXPECT_EQ(app.log.linesStartingWith("pin text accessibility none reason=secureField").size(), 1u);
    EXPECT_EQ(app.log.linesStartingWith("clipboard text pinned length=6 source=pasteboard").size(), 1u);
    EXPECT_EQ(accessibility.reads, 2);
}

} // namespace
} // namespace brisklet
