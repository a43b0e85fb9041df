#include "Platform/Fake/ManualClock.h"
#include "Platform/Linux/Accessibility/FocusedSelectionFinder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace brisklet {
namespace {

using Outcome = AccessibleSelection::Outcome;

AccessibleStates statesOf(std::initializer_list<int> states) {
    AccessibleStates set;
    for (int state : states) {
        set.bits |= std::uint64_t{1} << state;
    }
    return set;
}

/// An accessibility bus in memory: objects by path, each call costing `callCost` seconds on the
/// manual clock; every timeout the search passed is kept.
class ScriptedAccessibleTree final : public AccessibleTree {
public:
    /// Every member has an initializer so a node can be spelled with only what matters to it.
    struct Node {
        AccessibleStates states{};
        std::uint32_t role = 61;
        std::optional<std::string> text{};
        std::vector<TextRange> selections{};
        std::string bus{};
        std::vector<std::string> children{};
    };

    explicit ScriptedAccessibleTree(ManualClock& clock) : clock_(clock) {}

    /// Adds an object under `parent` (an application's parent is the desktop, "/").
    Node& add(const std::string& path, const std::string& parent, Node node) {
        nodes[parent].children.push_back(path);
        if (node.bus.empty()) {
            node.bus = nodes[parent].bus;
        }
        return nodes[path] = std::move(node);
    }
    Node& application(const std::string& path, const std::string& bus, std::int64_t process) {
        processes[bus] = process;
        return add(path, "/", Node{.role = 75, .bus = bus});
    }

    AccessibleRef desktop() const override { return {"registry", "/"}; }
    std::optional<std::vector<AccessibleRef>> children(const AccessibleRef& object, int timeout) override {
        const Node* node = answer(object, timeout);
        if (!node || (object.path == "/" && desktopDown)) {
            return std::nullopt;
        }
        return refs(node->bus, node->children);
    }
    std::optional<std::vector<AccessibleRef>> focusedDescendants(const AccessibleRef& window, int timeout) override {
        const Node* node = answer(window, timeout);
        if (!node || !searches.contains(window.path)) {
            return std::nullopt;
        }
        return refs(node->bus, searches.at(window.path));
    }
    std::optional<AccessibleStates> states(const AccessibleRef& object, int timeout) override {
        const Node* node = answer(object, timeout);
        if (node) {
            statesAsked.push_back(object.path);
        }
        return node ? std::optional(node->states) : std::nullopt;
    }
    std::optional<std::uint32_t> role(const AccessibleRef& object, int timeout) override {
        const Node* node = answer(object, timeout);
        return node ? std::optional(node->role) : std::nullopt;
    }
    std::optional<std::int64_t> processId(const std::string& bus, int timeout) override {
        if (!answer({bus, "/"}, timeout) || !processes.contains(bus)) {
            return std::nullopt;
        }
        return processes.at(bus);
    }
    std::optional<int> selectionCount(const AccessibleRef& object, int timeout) override {
        const Node* node = answer(object, timeout);
        return node && node->text ? std::optional(static_cast<int>(node->selections.size())) : std::nullopt;
    }
    std::optional<TextRange> selection(const AccessibleRef& object, int index, int timeout) override {
        const Node* node = answer(object, timeout);
        return node ? std::optional(node->selections.at(static_cast<std::size_t>(index))) : std::nullopt;
    }
    std::optional<std::string> text(const AccessibleRef& object, TextRange range, int timeout) override {
        const Node* node = answer(object, timeout);
        ++textReads;
        if (!node || !node->text) {
            return std::nullopt;
        }
        return node->text->substr(static_cast<std::size_t>(range.start),
                                  static_cast<std::size_t>(range.end - range.start));
    }

    std::map<std::string, Node> nodes{{"/", Node{.role = 14, .bus = "registry"}}};
    std::map<std::string, std::int64_t> processes;
    /// What a window's own search answers, for the applications that have one.
    std::map<std::string, std::vector<std::string>> searches;
    double callCost = 0.0005;
    bool desktopDown = false;
    std::vector<int> timeouts;
    std::vector<std::string> statesAsked;
    int textReads = 0;

private:
    /// The object, after the call's time has passed; nothing when it does not exist or the
    /// call would outlast its timeout.
    const Node* answer(const AccessibleRef& object, int timeout) {
        timeouts.push_back(timeout);
        const double cost = std::min(callCost, timeout / 1000.0);
        clock_.advance(cost);
        const auto found = nodes.find(object.path);
        return cost < callCost || found == nodes.end() ? nullptr : &found->second;
    }
    /// References to `paths`, each on its own object's bus (`bus` for objects that do not exist).
    std::vector<AccessibleRef> refs(const std::string& bus, const std::vector<std::string>& paths) const {
        std::vector<AccessibleRef> result;
        for (const std::string& path : paths) {
            result.push_back({nodes.contains(path) ? nodes.at(path).bus : bus, path});
        }
        return result;
    }

    ManualClock& clock_;
};

constexpr std::int64_t ownProcess = 100;
const AccessibleStates window = statesOf({AccessibleState::showing});
const AccessibleStates activeWindow = statesOf({AccessibleState::active, AccessibleState::showing});
const AccessibleStates shown = statesOf({AccessibleState::showing});
const AccessibleStates focusedField = statesOf({AccessibleState::showing, AccessibleState::focused});

/// Our own application with an active window, an editor whose window is in the background, and
/// a notes application whose active window holds a panel with a focused field.
class FocusedSelectionFinderTest : public ::testing::Test {
protected:
    FocusedSelectionFinderTest() {
        tree.application("/own", ":1.1", ownProcess);
        tree.add("/own/window", "/own", {activeWindow, 22});
        tree.add("/own/window/field", "/own/window", {focusedField, 61, "ours", {{0, 4}}});
        tree.application("/editor", ":1.2", 201);
        tree.add("/editor/window", "/editor", {window, 22});
        tree.add("/editor/window/field", "/editor/window", {focusedField, 61, "background", {{0, 10}}});
        tree.application("/notes", ":1.3", 202);
        tree.add("/notes/palette", "/notes", {window, 22});
        tree.add("/notes/window", "/notes", {activeWindow, 22});
        tree.add("/notes/window/toolbar", "/notes/window", {shown, 62});
        tree.add("/notes/window/panel", "/notes/window", {shown, 39});
        field = &tree.add("/notes/window/panel/field", "/notes/window/panel",
                          {focusedField, 61, "Ship on Friday, then rest", {{0, 14}}});
    }

    AccessibleSelection find(FocusedSelectionFinder::Limits limits = {}) {
        return FocusedSelectionFinder(tree, clock, ownProcess, limits).find();
    }
    /// Puts `count` shown elements ahead of the panel in the notes window.
    void crowdTheWindow(int count) {
        tree.nodes["/notes/window"].children.clear();
        for (int index = 0; index < count; ++index) {
            tree.add("/notes/window/item" + std::to_string(index), "/notes/window", {shown, 62});
        }
        tree.nodes["/notes/window"].children.push_back("/notes/window/panel");
    }

    ManualClock clock;
    ScriptedAccessibleTree tree{clock};
    ScriptedAccessibleTree::Node* field = nullptr;
};

TEST_F(FocusedSelectionFinderTest, ReadsTheFocusedFieldOfAnotherApplicationsActiveWindow) {
    const AccessibleSelection selection = find();
    EXPECT_EQ(selection.outcome, Outcome::found);
    EXPECT_EQ(selection.text, "Ship on Friday");
    // Every selected range, in order, one a line; empty ranges are no text.
    field->selections = {{0, 4}, {8, 8}, {8, 14}};
    EXPECT_EQ(find().text, "Ship\nFriday");
    // Our own window is never asked, although it is active too.
    EXPECT_EQ(std::count(tree.statesAsked.begin(), tree.statesAsked.end(), "/own/window"), 0);
}

TEST_F(FocusedSelectionFinderTest, SaysWhyThereIsNoText) {
    field->role = passwordTextRole;
    EXPECT_EQ(find().outcome, Outcome::secureField);
    EXPECT_EQ(tree.textReads, 0) << "a password field's text was read";

    field->role = 61;
    field->selections = {{3, 3}};
    EXPECT_EQ(find().outcome, Outcome::noSelection);
    field->text.reset();
    EXPECT_EQ(find().outcome, Outcome::noSelection) << "an element without a text";

    field->states = shown;
    EXPECT_EQ(find().outcome, Outcome::noFocusedElement);

    tree.nodes["/notes/window"].states = statesOf({AccessibleState::active, AccessibleState::iconified});
    EXPECT_EQ(find().outcome, Outcome::noActiveWindow);

    tree.desktopDown = true;
    EXPECT_EQ(find().outcome, Outcome::busUnavailable);
}

TEST_F(FocusedSelectionFinderTest, LooksOnlyWhereTheFocusCanBe) {
    // A hidden page and a table managing a huge number of rows come before the panel.
    tree.nodes["/notes/window"].children.clear();
    tree.add("/notes/window/hidden", "/notes/window", {{}, 39});
    tree.add("/notes/window/hidden/field", "/notes/window/hidden", {focusedField, 61, "stale", {{0, 5}}});
    tree.add("/notes/window/table", "/notes/window",
             {statesOf({AccessibleState::showing, AccessibleState::managesDescendants}), 33});
    for (int row = 0; row < 50; ++row) {
        tree.add("/notes/window/table/" + std::to_string(row), "/notes/window/table", {shown, 35});
    }
    tree.nodes["/notes/window"].children.push_back("/notes/window/panel");

    EXPECT_EQ(find().text, "Ship on Friday");
    for (const std::string& path : tree.statesAsked) {
        EXPECT_NE(path, "/notes/window/hidden/field");
        EXPECT_EQ(path.find("/notes/window/table/"), std::string::npos) << path;
    }
}

TEST_F(FocusedSelectionFinderTest, StopsAtTheElementAndDepthLimits) {
    // Thousands of shown elements ahead of the panel: the search gives up at its element count.
    crowdTheWindow(3000);
    FocusedSelectionFinder::Limits limits;
    limits.maxElements = 500;
    limits.seconds = 100;
    const AccessibleSelection wide = find(limits);
    EXPECT_EQ(wide.outcome, Outcome::noFocusedElement);
    EXPECT_EQ(wide.visited, 500);

    // A chain deeper than the depth limit is not followed to its end.
    tree.nodes["/notes/window"].children.clear();
    std::string parent = "/notes/window";
    for (int depth = 0; depth < 60; ++depth) {
        const std::string path = "/notes/window/d" + std::to_string(depth);
        tree.add(path, parent,
                 depth < 59 ? ScriptedAccessibleTree::Node{shown, 39}
                            : ScriptedAccessibleTree::Node{focusedField, 39, "deep", {{0, 4}}});
        parent = path;
    }
    limits.maxDepth = 40;
    EXPECT_EQ(find(limits).outcome, Outcome::noFocusedElement);
    limits.maxDepth = 70;
    EXPECT_EQ(find(limits).text, "deep");
}

TEST_F(FocusedSelectionFinderTest, TakesTheApplicationsOwnSearchWhenItAnswersRight) {
    // Far more elements ahead of the field than a walk may visit.
    crowdTheWindow(3000);
    tree.searches["/notes/window"] = {"/notes/window/panel/field"};
    const AccessibleSelection searched = find();
    EXPECT_EQ(searched.text, "Ship on Friday");
    EXPECT_LT(searched.visited, 10);

    // A search answering with an element that is not focused is not believed; the walk decides.
    tree.searches["/notes/window"] = {"/notes/window/item7"};
    FocusedSelectionFinder::Limits patient;
    patient.seconds = 100;
    EXPECT_EQ(find(patient).outcome, Outcome::noFocusedElement);
    tree.nodes["/notes/window"].children = {"/notes/window/panel"};
    EXPECT_EQ(find().text, "Ship on Friday");
}

TEST_F(FocusedSelectionFinderTest, NeverWaitsLongerThanItsTimeLimit) {
    // A slow bus: each answer takes 30 ms of the 200 ms.
    tree.callCost = 0.030;
    const double start = clock.monotonicSeconds();
    EXPECT_EQ(find().outcome, Outcome::timedOut);
    EXPECT_LE(clock.monotonicSeconds() - start, 0.2 + 1e-9);
    ASSERT_FALSE(tree.timeouts.empty());
    EXPECT_EQ(tree.timeouts.front(), 200);
    EXPECT_TRUE(std::is_sorted(tree.timeouts.rbegin(), tree.timeouts.rend())) << "a later call got more time";
    EXPECT_GT(tree.timeouts.back(), 0);

    // Fast enough, the same tree answers.
    tree.callCost = 0.002;
    EXPECT_EQ(find().text, "Ship on Friday");
}

} // namespace
} // namespace brisklet
