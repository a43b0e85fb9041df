#include "Platform/Fake/ManualClock.h"
#include "Platform/Linux/Accessibility/AccessibilitySnapshotBuilder.h"
#include "support/FakeAccessibleTree.h"

#include <gtest/gtest.h>

#include <functional>

namespace brisklet {
namespace {

using testing::FakeAccessibleTree;
using testing::statesOf;
using Element = FakeAccessibleTree::Element;

constexpr std::int64_t ownProcess = 100;
constexpr std::int64_t notesProcess = 300;
constexpr std::uint32_t labelRole = 29;
constexpr std::uint32_t textRole = 61;
constexpr std::uint32_t sliderRole = 51;
constexpr std::uint32_t frameRole = 23;

const AccessibleStates activeWindow = statesOf({AccessibleState::active, AccessibleState::showing});
const AccessibleStates inactiveWindow = statesOf({AccessibleState::showing});
const AccessibleInterfaces textInterfaces{.text = true, .component = true};

int countNodes(const AccessibilitySnapshotNode& node) {
    int count = 1;
    for (const auto& child : node.children) {
        count += countNodes(child);
    }
    return count;
}

int depthOf(const AccessibilitySnapshotNode& node) {
    int deepest = 0;
    for (const auto& child : node.children) {
        deepest = std::max(deepest, 1 + depthOf(child));
    }
    return deepest;
}

/// Every node's texts, depth first, for checking what was and was not read.
std::string allTexts(const AccessibilitySnapshotNode& node) {
    std::string joined;
    for (const auto* part : {&node.title, &node.value, &node.description, &node.selectedText, &node.help}) {
        if (*part) {
            joined += **part + "|";
        }
    }
    for (const auto& child : node.children) {
        joined += allTexts(child);
    }
    return joined;
}

/// Our own application with an active window, and a notes application on its own bus.
class AccessibilitySnapshotBuilderTest : public ::testing::Test {
protected:
    AccessibilitySnapshotBuilderTest() {
        tree.application("/own", ":1.1", ownProcess);
        tree.add("/own/window", "/own", {.role = frameRole, .name = "Ours", .states = activeWindow});
        tree.application("/notes", ":1.2", notesProcess);
    }

    std::optional<AccessibilitySnapshotNode> snapshot(std::optional<std::string> title = std::nullopt,
                                                      AccessibilityWalkLimits limits = {}) {
        AccessibilitySnapshotBuilder builder(tree, clock, ownProcess, options);
        auto result = builder.snapshot(notesProcess, title, limits, ScreenToDesktop{0, 800});
        nodeCount = builder.nodeCount();
        return result;
    }

    /// A window whose children are made by `child(index)`, `count` of them.
    void windowWith(int count, const std::function<Element(int)>& child) {
        tree.add("/notes/window", "/notes", {.role = frameRole, .name = "Notes", .states = activeWindow});
        for (int index = 0; index < count; ++index) {
            tree.add("/notes/window/" + std::to_string(index), "/notes/window", child(index));
        }
    }

    ManualClock clock;
    FakeAccessibleTree tree{clock};
    AccessibilitySnapshotBuilder::Options options;
    int nodeCount = 0;
};

TEST_F(AccessibilitySnapshotBuilderTest, ReadsEachElementsTextsFrameAndValue) {
    tree.add("/notes/window", "/notes", {.role = frameRole, .name = "Notes", .helpText = "", .states = activeWindow});
    tree.add("/notes/window/label", "/notes/window",
             {.role = labelRole, .name = "Quarterly report", .helpText = "Shown on the cover"});
    tree.add("/notes/window/field", "/notes/window",
             {.role = textRole,
              .description = "Summary field",
              .interfaces = textInterfaces,
              .text = "Draft for March",
              .selections = {{0, 5}, {10, 15}},
              .extents = ScreenExtents{10, 20, 300, 40}});
    tree.add("/notes/window/volume", "/notes/window",
             {.role = sliderRole, .name = "Volume", .interfaces = {.value = true}, .value = 42.5});
    // Labels and headings in browsers tell their text as their name too; it is kept once.
    tree.add("/notes/window/heading", "/notes/window",
             {.role = 83, .name = "Release notes", .interfaces = textInterfaces, .text = "Release notes"});
    // Browsers put a placeholder where a child (here a link) sits in its parent's text.
    tree.add("/notes/window/paragraph", "/notes/window",
             {.role = 73, .interfaces = textInterfaces, .text = "Read the \xEF\xBF\xBC today."});

    const auto root = snapshot();

    ASSERT_TRUE(root);
    EXPECT_EQ(root->role, "frame");
    EXPECT_EQ(root->title, "Notes");
    ASSERT_EQ(root->children.size(), 5U);
    const auto& label = root->children[0];
    EXPECT_EQ(label.role, "label");
    EXPECT_EQ(label.title, "Quarterly report");
    EXPECT_EQ(label.help, "Shown on the cover");
    AccessibilitySnapshotNode field;
    field.role = "text";
    field.value = "Draft for March";
    field.description = "Summary field";
    field.selectedText = "Draft\nMarch";
    // Ten points from the left, and 20 + 40 down from the top of an 800-point desktop.
    field.frame = Rect{{10, 740}, {300, 40}};
    EXPECT_EQ(root->children[1], field);
    EXPECT_EQ(root->children[2].value, "42.5");
    EXPECT_EQ(root->children[3].title, "Release notes");
    EXPECT_FALSE(root->children[3].value);
    EXPECT_EQ(root->children[4].value, "Read the  today.");
    EXPECT_EQ(nodeCount, 6);
}

TEST_F(AccessibilitySnapshotBuilderTest, SecureElementsNeverHaveTheirTextRead) {
    tree.add("/notes/window", "/notes", {.role = frameRole, .name = "Sign in", .states = activeWindow});
    tree.add("/notes/window/user", "/notes/window",
             {.role = textRole, .name = "User", .interfaces = textInterfaces, .text = "alice"});
    // A password field by its role, by a role name the table does not know, and by titles.
    tree.add("/notes/window/password", "/notes/window",
             {.role = passwordTextRole, .interfaces = textInterfaces, .text = "hunter2", .selections = {{0, 7}}});
    tree.add("/notes/window/custom", "/notes/window",
             {.role = 200, .roleName = "Secure Text Field", .interfaces = textInterfaces, .text = "s3cret"});
    tree.add("/notes/window/titled", "/notes/window",
             {.role = textRole,
              .name = "Enter Password",
              .interfaces = {.text = true, .value = true},
              .text = "tr0ub4dor",
              .value = 7});
    tree.add("/notes/window/chinese", "/notes/window",
             {.role = textRole, .name = "输入密码", .interfaces = textInterfaces, .text = "mima123"});
    // A secure container's children are still read.
    tree.add("/notes/window/chinese/hint", "/notes/window/chinese", {.role = labelRole, .name = "Eight characters"});

    const auto root = snapshot();

    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 5U);
    EXPECT_FALSE(root->children[0].isSecure);
    EXPECT_EQ(root->children[0].value, "alice");
    for (std::size_t index = 1; index < 5; ++index) {
        EXPECT_TRUE(root->children[index].isSecure) << index;
        EXPECT_FALSE(root->children[index].value) << index;
        EXPECT_FALSE(root->children[index].selectedText) << index;
    }
    EXPECT_EQ(root->children[1].role, "password text");
    EXPECT_EQ(root->children[2].role, "Secure Text Field");
    EXPECT_EQ(tree.textReads, (std::set<std::string>{"/notes/window/user"}));
    const std::string texts = allTexts(*root);
    for (const char* secret : {"hunter2", "s3cret", "tr0ub4dor", "mima123"}) {
        EXPECT_EQ(texts.find(secret), std::string::npos) << secret;
    }
    ASSERT_EQ(root->children[4].children.size(), 1U);
    EXPECT_EQ(root->children[4].children[0].title, "Eight characters");
}

TEST_F(AccessibilitySnapshotBuilderTest, TakesTheActiveWindowElseTheTitledOneElseTheApplication) {
    tree.add("/notes/first", "/notes", {.role = frameRole, .name = "First", .states = inactiveWindow});
    tree.add("/notes/second", "/notes", {.role = frameRole, .name = "Second", .states = inactiveWindow});
    tree.add("/notes/third", "/notes", {.role = frameRole, .name = "Third", .states = activeWindow});

    EXPECT_EQ(snapshot("Second")->title, "Third");

    tree.elements["/notes/third"].states = inactiveWindow;
    EXPECT_EQ(snapshot("Second")->title, "Second");

    const auto application = snapshot("Elsewhere");
    ASSERT_TRUE(application);
    EXPECT_EQ(application->role, "application");
    EXPECT_EQ(application->children.size(), 3U);
    EXPECT_EQ(snapshot(std::nullopt)->role, "application");
}

TEST_F(AccessibilitySnapshotBuilderTest, NeverReadsOurOwnOrAnAbsentApplication) {
    AccessibilitySnapshotBuilder builder(tree, clock, ownProcess, options);
    EXPECT_FALSE(builder.snapshot(ownProcess, "Ours", {}, std::nullopt));
    EXPECT_EQ(tree.calls, 0);
    EXPECT_FALSE(builder.snapshot(0, std::nullopt, {}, std::nullopt));
    EXPECT_FALSE(builder.snapshot(4242, std::nullopt, {}, std::nullopt));
}

TEST_F(AccessibilitySnapshotBuilderTest, FollowsChildrenToTheDepthLimitOnly) {
    std::string parent = "/notes/window";
    tree.add(parent, "/notes", {.role = frameRole, .states = activeWindow});
    for (int depth = 1; depth <= 30; ++depth) {
        const std::string path = parent + "/" + std::to_string(depth);
        tree.add(path, parent, {.name = "level " + std::to_string(depth)});
        parent = path;
    }

    const auto root = snapshot();

    // Children are read up to depth 23, so the deepest element kept is at depth 24.
    ASSERT_TRUE(root);
    EXPECT_EQ(depthOf(*root), 24);
    EXPECT_EQ(nodeCount, 25);
    const auto shallow = snapshot(std::nullopt, {.maxChildDepth = 2, .maxChildren = 80, .nodeBudget = 2001});
    EXPECT_EQ(depthOf(*shallow), 3);
}

TEST_F(AccessibilitySnapshotBuilderTest, FollowsTheFirstEightyChildren) {
    windowWith(100, [](int index) { return Element{.role = labelRole, .name = "row " + std::to_string(index)}; });

    const auto root = snapshot();

    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 80U);
    EXPECT_EQ(root->children.front().title, "row 0");
    EXPECT_EQ(root->children.back().title, "row 79");
}

TEST_F(AccessibilitySnapshotBuilderTest, StopsAtTheNodeBudget) {
    // 60 groups of 80 labels: 4861 elements.
    windowWith(60, [](int) { return Element{}; });
    for (int group = 0; group < 60; ++group) {
        const std::string path = "/notes/window/" + std::to_string(group);
        for (int row = 0; row < 80; ++row) {
            tree.add(path + "/" + std::to_string(row), path, {.role = labelRole, .name = "cell"});
        }
    }
    tree.callCost = 0;

    const auto root = snapshot();

    ASSERT_TRUE(root);
    EXPECT_EQ(nodeCount, 2001);
    EXPECT_EQ(countNodes(*root), 2001);
    // Each group's labels are announced together before they are read, never more than the
    // walk will read, and nothing announced outlives the snapshot.
    ASSERT_EQ(tree.prefetched.size(), 26u) << "the window's groups, then 25 groups' labels";
    EXPECT_EQ(tree.prefetched[0].size(), 60u);
    EXPECT_EQ(tree.prefetched[1].size(), 80u);
    EXPECT_EQ(tree.prefetched[1].front(), "/notes/window/0/0");
    // 1 window + 24 whole groups of 81 + the 25th group itself leave 55 of the 2001.
    EXPECT_EQ(tree.prefetched.back().size(), 55u) << "only what is left of the budget";
    EXPECT_EQ(tree.forgets, 2) << "dropped when the snapshot starts and when it ends";
}

TEST_F(AccessibilitySnapshotBuilderTest, AnElementSeenBeforeIsKeptWithoutItsChildren) {
    tree.add("/notes/window", "/notes", {.role = frameRole, .name = "Loop", .states = activeWindow});
    tree.add("/notes/window/group", "/notes/window", {.name = "Group"});
    // The group names the window among its children: a tree that loops back on itself.
    tree.elements["/notes/window/group"].children.push_back("/notes/window");

    const auto root = snapshot();

    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 1U);
    ASSERT_EQ(root->children[0].children.size(), 1U);
    EXPECT_EQ(root->children[0].children[0].title, "Loop");
    EXPECT_TRUE(root->children[0].children[0].children.empty());
    EXPECT_EQ(nodeCount, 3);
}

TEST_F(AccessibilitySnapshotBuilderTest, ASlowApplicationIsReadOnlyUntilTheDeadline) {
    windowWith(1000, [](int index) { return Element{.role = labelRole, .name = "row " + std::to_string(index)}; });
    tree.callCost = 0.01;
    const double start = clock.monotonicSeconds();

    const auto root = snapshot();

    ASSERT_TRUE(root);
    EXPECT_GT(root->children.size(), 10U);
    EXPECT_LT(root->children.size(), 1000U);
    EXPECT_LE(clock.monotonicSeconds() - start, options.seconds + 1e-9);
    for (const int timeout : tree.timeouts) {
        EXPECT_GT(timeout, 0);
        EXPECT_LE(timeout, options.callTimeoutMilliseconds);
    }
}

TEST_F(AccessibilitySnapshotBuilderTest, AHungApplicationGivesNothingWithinTheDeadline) {
    windowWith(3, [](int) { return Element{.role = labelRole, .name = "row"}; });
    tree.hungBuses.insert(":1.2");
    const double start = clock.monotonicSeconds();

    EXPECT_FALSE(snapshot("Notes"));

    EXPECT_NEAR(clock.monotonicSeconds() - start, options.seconds, 0.002);
    // Each call waits at most a second, so a three-second walk makes only a handful of them.
    EXPECT_LE(tree.calls, 8);
}

TEST_F(AccessibilitySnapshotBuilderTest, AsksForTheNewerHelpTextOnlyWhereTheApplicationHasIt) {
    windowWith(5, [](int) { return Element{.role = labelRole, .name = "row"}; });

    snapshot();
    EXPECT_EQ(tree.helpTextCalls, 1);

    tree.helpTextCalls = 0;
    tree.elements["/notes/window"].helpText = "";
    tree.elements["/notes/window/3"].helpText = "Opens the row";
    const auto root = snapshot();
    EXPECT_EQ(tree.helpTextCalls, 6);
    EXPECT_EQ(root->children[3].help, "Opens the row");
}

TEST(ScreenToDesktop, PutsTheRootWindowsCornerAtTheScreensTopLeft) {
    // A taller screen left of the primary one: the root window starts at its top-left corner.
    std::vector<DisplayScreen> screens(2);
    screens[0].frame = Rect{{0, 0}, {1280, 800}};
    screens[0].isPrimary = true;
    screens[1].frame = Rect{{-1920, 0}, {1920, 1200}};
    const auto mapping = ScreenToDesktop::fromScreens(screens);
    ASSERT_TRUE(mapping);

    // The primary screen's top-left corner is 1920 right of and 400 below the root's.
    EXPECT_EQ(mapping->convert({1920, 400, 100, 50}), (Rect{{0, 750}, {100, 50}}));
    EXPECT_FALSE(mapping->convert({1920, 400, 0, 50}));
    EXPECT_FALSE(mapping->convert({-1, -1, -1, -1}));
    EXPECT_FALSE(ScreenToDesktop::fromScreens({}));
}

} // namespace
} // namespace brisklet
