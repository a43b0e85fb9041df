#include "Platform/Fake/ManualClock.h"
#include "Platform/Linux/Accessibility/AtSpiBrowserMetadataProvider.h"
#include "Platform/Linux/Accessibility/BrowserPageFinder.h"
#include "support/FakeAccessibleTree.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <tuple>

namespace brisklet {
namespace {

using testing::FakeAccessibleTree;
using testing::statesOf;

constexpr std::int64_t ownProcess = 100;
constexpr std::int64_t browserProcess = 400;
constexpr std::uint32_t frameRole = 23;
constexpr std::uint32_t panelRole = 39;
constexpr std::uint32_t internalFrameRole = 28;

const AccessibleStates activeWindow = statesOf({AccessibleState::active, AccessibleState::showing});
const AccessibleStates shown = statesOf({AccessibleState::showing});
const AccessibleInterfaces documentInterfaces{.text = true, .component = true, .document = true};

class BrowserPageFinderTest : public ::testing::Test {
protected:
    BrowserPageFinderTest() { tree.application("/browser", ":1.7", browserProcess); }

    /// A browser window with a toolbar and, under a panel, one tab's document per entry of
    /// `documents` (attributes, name, whether it is on screen).
    void window(const std::string& path, const std::string& title, AccessibleStates states,
                std::vector<std::tuple<AccessibleAttributes, std::string, bool>> documents) {
        tree.add(path, "/browser", {.role = frameRole, .name = title, .states = states});
        tree.add(path + "/toolbar", path, {.role = 63, .name = "Navigation"});
        tree.add(path + "/toolbar/address", path + "/toolbar", {.role = 79, .name = "Address and search bar"});
        tree.add(path + "/panel", path, {.role = panelRole});
        int index = 0;
        for (auto& [attributes, name, onScreen] : documents) {
            const std::string tab = path + "/panel/tab" + std::to_string(index++);
            tree.add(tab, path + "/panel", {.role = internalFrameRole});
            tree.add(tab + "/document", tab,
                     {.role = documentWebRole,
                      .name = name,
                      .states = onScreen ? shown : AccessibleStates{},
                      .interfaces = documentInterfaces,
                      .documentAttributes = attributes});
            tree.add(tab + "/document/paragraph", tab + "/document", {.role = 73});
        }
    }

    BrowserCaptureMetadata find() { return BrowserPageFinder(tree, clock, ownProcess, {}).find(browserProcess); }

    ManualClock clock;
    FakeAccessibleTree tree{clock};
};

BrowserCaptureMetadata available(std::string url, std::optional<std::string> title) {
    return {std::move(url), std::move(title), BrowserDeepCaptureStatus::metadataAvailable};
}

TEST_F(BrowserPageFinderTest, ReadsTheShownTabsAddressAndTitle) {
    // Firefox: the address is "DocURL", a background tab's document is in the window too, and a
    // document still loading has no name yet (the window's title has it).
    window("/browser/window", "Release notes \u2014 Mozilla Firefox", activeWindow,
           {{{{"DocURL", "https://www.mozilla.org/privacy/"}}, "Privacy Notice", false},
            {{{"MimeType", "text/html"}, {"DocURL", "http://127.0.0.1:8765/notes.html"}}, "", true}});

    EXPECT_EQ(find(), available("http://127.0.0.1:8765/notes.html", "Release notes"));
}

TEST_F(BrowserPageFinderTest, ReadsChromiumsAddressAttributeAndTheDocumentsName) {
    window("/browser/window", "Release notes - Chromium", activeWindow,
           {{{{"URI", "file:///tmp/notes.html"}, {"Title", "Release notes"}}, "  Release notes  ", true}});

    EXPECT_EQ(find(), available("file:///tmp/notes.html", "Release notes"));
}

TEST_F(BrowserPageFinderTest, PrefersTheActiveWindowAndOtherwiseTakesTheFirstWithAPage) {
    window("/browser/first", "First - Chromium", shown, {{{{"URI", "https://first.example/"}}, "First", true}});
    window("/browser/second", "Second - Chromium", activeWindow,
           {{{{"URI", "https://second.example/"}}, "Second", true}});
    EXPECT_EQ(find(), available("https://second.example/", "Second"));

    // Without an active window (no window manager), the first window showing a page is taken.
    tree.elements["/browser/second"].states = shown;
    tree.elements["/browser/first/panel/tab0/document"].documentAttributes = {};
    EXPECT_EQ(find(), available("https://second.example/", "Second"));
}

TEST_F(BrowserPageFinderTest, AnAddressWithoutASchemeOrNoDocumentIsUnavailable) {
    window("/browser/window", "Notes - Chromium", activeWindow, {{{{"URI", "127.0.0.1/notes.html"}}, "Notes", true}});
    EXPECT_EQ(find(), BrowserCaptureMetadata::unavailable());

    tree.elements["/browser/window/panel/tab0/document"].documentAttributes = {{"URI", ""}};
    EXPECT_EQ(find(), BrowserCaptureMetadata::unavailable());

    tree.elements["/browser/window/panel"].children.clear();
    EXPECT_EQ(find(), BrowserCaptureMetadata::unavailable());

    EXPECT_EQ(BrowserPageFinder(tree, clock, ownProcess, {}).find(999), BrowserCaptureMetadata::unavailable());
    // Our own process is never asked.
    EXPECT_EQ(BrowserPageFinder(tree, clock, browserProcess, {}).find(browserProcess),
              BrowserCaptureMetadata::unavailable());
}

TEST_F(BrowserPageFinderTest, AHungBrowserIsUnavailableWithinTheTimeLimit) {
    window("/browser/window", "Notes - Chromium", activeWindow, {{{{"URI", "https://example.org/"}}, "Notes", true}});
    tree.hungBuses.insert(":1.7");
    const double start = clock.monotonicSeconds();

    EXPECT_EQ(find(), BrowserCaptureMetadata::unavailable());
    EXPECT_LE(clock.monotonicSeconds() - start, BrowserPageFinder::Options{}.seconds + 1e-9);
}

TEST(BrowserPageFinder, TellsAddressesWithASchemeAndPageTitlesOfWindowTitles) {
    for (const char* url : {"https://example.org/", "file:///tmp/a.html", "about:blank", "chrome-extension://x/"}) {
        EXPECT_TRUE(BrowserPageFinder::hasScheme(url)) << url;
    }
    for (const char* url : {"", "example.org/path", ":no-scheme", "1http://x", "a b:c"}) {
        EXPECT_FALSE(BrowserPageFinder::hasScheme(url)) << url;
    }
    EXPECT_EQ(BrowserPageFinder::pageTitleFromWindowTitle("Inbox - Google Chrome"), "Inbox");
    EXPECT_EQ(BrowserPageFinder::pageTitleFromWindowTitle("Docs - Microsoft\u200B Edge"), "Docs");
    EXPECT_EQ(BrowserPageFinder::pageTitleFromWindowTitle("A - B - Brave"), "A - B");
    EXPECT_EQ(BrowserPageFinder::pageTitleFromWindowTitle("Mozilla Firefox"), "");
    EXPECT_EQ(BrowserPageFinder::pageTitleFromWindowTitle("Plain title"), "Plain title");
}

TEST(AtSpiBrowserMetadataProvider, RecognisesTheSupportedBrowsersByTheirIdentifiers) {
    for (const char* identifier :
         {"chromium", "google-chrome", "microsoft-edge", "brave-browser", "vivaldi-stable", "firefox", "Firefox-ESR"}) {
        EXPECT_TRUE(AtSpiBrowserMetadataProvider::isBrowser({identifier, std::string(identifier), 0})) << identifier;
    }
    // This test program is no browser, whatever it is called.
    const auto self = static_cast<std::int32_t>(::getpid());
    for (const char* identifier : {"xterm", "org.gnome.gedit", "chromium-notes"}) {
        EXPECT_FALSE(AtSpiBrowserMetadataProvider::isBrowser({identifier, std::string(identifier), self}))
            << identifier;
    }
    EXPECT_FALSE(AtSpiBrowserMetadataProvider::isBrowser({"Unknown", std::nullopt, self}));
}

} // namespace
} // namespace brisklet
