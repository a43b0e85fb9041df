#include "SuperScreenshotTestSupport.h"

#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotFormatter.h"
#include "ZelvorApp/SuperScreenshot/AccessibilitySnapshotService.h"
#include "ZelvorCore/Models/VisualMemoryText.h"

#include <gtest/gtest.h>

#include <sstream>

namespace brisklet {
namespace {

using namespace superscreenshot_testing;

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

// `leaf` wrapped in `levels` elements titled "Level 0" (outermost) ... (moved, never copied).
AccessibilitySnapshotNode chainAbove(AccessibilitySnapshotNode leaf, int levels, const std::string& prefix) {
    AccessibilitySnapshotNode chain = std::move(leaf);
    for (int depth = levels - 1; depth >= 0; --depth) {
        AccessibilitySnapshotNode parent = node(prefix + std::to_string(depth));
        parent.children.push_back(std::move(chain));
        chain = std::move(parent);
    }
    return chain;
}

// A window whose root holds `rows` labelled rows.
AccessibilitySnapshotNode windowWithRows(int rows) {
    AccessibilitySnapshotNode window = node("Window");
    for (int i = 0; i < rows; ++i) {
        window.children.push_back(node("Row " + std::to_string(i)));
    }
    return window;
}

TEST(AccessibilitySnapshotFormatterTest, NoTreeGivesTheEmptyResult) {
    EXPECT_EQ(AccessibilitySnapshotFormatter::format(std::nullopt), AccessibilitySnapshotText{});
}

TEST(AccessibilitySnapshotFormatterTest, StopsAtTheNodeLimitAndSaysSo) {
    const auto result = AccessibilitySnapshotFormatter::format(windowWithRows(4999));
    EXPECT_EQ(result.nodeCount, 2000);
    EXPECT_TRUE(result.wasTruncated);
    const auto lines = linesOf(result.text);
    ASSERT_EQ(lines.size(), 2000u);
    EXPECT_EQ(lines.front(), "Window");
    // Depth first from the root: the root and the first 1999 rows.
    EXPECT_EQ(lines.back(), "  Row 1998");

    const auto exact = AccessibilitySnapshotFormatter::format(windowWithRows(1999));
    EXPECT_EQ(exact.nodeCount, 2000);
    EXPECT_FALSE(exact.wasTruncated) << "a tree of exactly the limit is complete";
}

TEST(AccessibilitySnapshotFormatterTest, VisitsDepthFirstAndSurvivesVeryDeepTrees) {
    AccessibilitySnapshotNode tree = node("A", {node("B", {node("C")}), node("D")});
    EXPECT_EQ(AccessibilitySnapshotFormatter::format(tree).text, "A\n  B\n    C\n  D");

    const AccessibilitySnapshotNode chain = chainAbove(node("Leaf"), 5000, "Level ");
    const auto result = AccessibilitySnapshotFormatter::format(chain);
    EXPECT_EQ(result.nodeCount, 2000);
    EXPECT_TRUE(result.wasTruncated);
}

TEST(AccessibilitySnapshotFormatterTest, CutsTheTextAtTheCharacterLimitNotTheByteLimit) {
    AccessibilitySnapshotNode tree = node("Größe ändern", {node("Überschrift öffnen")});
    const std::string full = "Größe ändern\n  Überschrift öffnen"; // 33 characters, 38 bytes
    const auto whole = AccessibilitySnapshotFormatter::format(tree, {2000, 33});
    EXPECT_EQ(whole.text, full);
    EXPECT_FALSE(whole.wasTruncated);

    const auto cut = AccessibilitySnapshotFormatter::format(tree, {2000, 20});
    EXPECT_TRUE(cut.wasTruncated);
    EXPECT_EQ(memorytext::characterCount(cut.text), 20u);
    EXPECT_EQ(cut.text, "Größe ändern\n  Übers");
    EXPECT_EQ(cut.nodeCount, 2);
}

TEST(AccessibilitySnapshotFormatterTest, SecureElementsGiveNoTextButTheirChildrenAreRead) {
    AccessibilitySnapshotNode password;
    password.role = "password text";
    password.title = "Password";
    password.value = "hunter2-secret";
    password.isSecure = true;
    password.children = {node("Show password characters")};
    AccessibilitySnapshotNode tree = node("Sign in", {node("User name"), password, node("Forgot password?")});

    const auto result = AccessibilitySnapshotFormatter::format(tree);
    EXPECT_EQ(result.text.find("hunter2"), std::string::npos);
    EXPECT_EQ(result.text, "Sign in\n  User name\n    Show password characters\n  Forgot password?");
    EXPECT_EQ(result.nodeCount, 5) << "the secure element itself is still visited";
}

TEST(AccessibilitySnapshotFormatterTest, JoinsTheElementsTextsAndEmitsEachLineOnce) {
    AccessibilitySnapshotNode field;
    field.title = "  Subject ";
    field.value = "";
    field.description = "Mail\n   subject";
    field.selectedText = std::nullopt;
    field.help = "\t";
    EXPECT_EQ(AccessibilitySnapshotFormatter::line(field), "Subject Mail subject");

    AccessibilitySnapshotNode list = node("Inbox");
    for (int row = 0; row < 50; ++row) {
        list.children.push_back(node("Message " + std::to_string(row), {node(row % 2 ? "Delete" : "DELETE")}));
    }
    const auto lines = linesOf(AccessibilitySnapshotFormatter::format(list).text);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "    DELETE"), 1);
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "    Delete"), 0) << "repeats are compared ignoring case";
    EXPECT_EQ(lines.size(), 52u);
}

TEST(AccessibilitySnapshotFormatterTest, IndentsTwoSpacesPerLevelUpToTwelve) {
    const AccessibilitySnapshotNode chain = chainAbove(node("Depth 9"), 9, "Depth ");
    const auto lines = linesOf(AccessibilitySnapshotFormatter::format(chain).text);
    ASSERT_EQ(lines.size(), 10u);
    EXPECT_EQ(lines[3], "      Depth 3");
    EXPECT_EQ(lines[6], "            Depth 6");
    EXPECT_EQ(lines[7], "            Depth 7");
    EXPECT_EQ(lines[9], "            Depth 9");
}

TEST(AccessibilitySnapshotServiceTest, ReadsNothingWithoutTrust) {
    FakeAccessibilityReader reader;
    reader.trusted = false;
    reader.tree = node("Window");
    AccessibilitySnapshotService service(reader);
    EXPECT_EQ(service.capture(42, "Notes"), AccessibilitySnapshotText{});
    EXPECT_TRUE(reader.snapshots.empty());
}

TEST(AccessibilitySnapshotServiceTest, AsksForTheWindowAndOneElementMoreThanItKeeps) {
    FakeAccessibilityReader reader;
    reader.tree = windowWithRows(3000);
    AccessibilitySnapshotService service(reader);
    const auto result = service.capture(42, std::string("Notes"));
    ASSERT_EQ(reader.snapshots.size(), 1u);
    EXPECT_EQ(reader.snapshots[0].processIdentifier, 42);
    EXPECT_EQ(reader.snapshots[0].windowTitle, std::optional<std::string>("Notes"));
    EXPECT_EQ(reader.snapshots[0].limits.nodeBudget, 2001);
    EXPECT_EQ(reader.snapshots[0].limits.maxChildDepth, 23);
    EXPECT_EQ(reader.snapshots[0].limits.maxChildren, 80);
    EXPECT_EQ(result.nodeCount, 2000);
    EXPECT_TRUE(result.wasTruncated);
}

} // namespace
} // namespace brisklet
