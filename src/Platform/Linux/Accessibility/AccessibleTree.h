#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// One object on the accessibility bus: the connection that owns it and its object path.
struct AccessibleRef {
    std::string bus;
    std::string path;
    bool operator==(const AccessibleRef&) const = default;
};

/// A selected range of a text, in characters, end excluded.
struct TextRange {
    int start = 0;
    int end = 0;
    bool operator==(const TextRange&) const = default;
};

/// The AT-SPI state bits the focus search looks at (their numbers on the bus).
namespace AccessibleState {
inline constexpr int active = 1;
inline constexpr int defunct = 6;
inline constexpr int focused = 12;
inline constexpr int iconified = 15;
inline constexpr int showing = 25;
inline constexpr int managesDescendants = 31;
} // namespace AccessibleState

/// The AT-SPI role of a password field, whose text is never read.
inline constexpr std::uint32_t passwordTextRole = 40;
/// The AT-SPI role of a web page's document in a browser.
inline constexpr std::uint32_t documentWebRole = 95;

/// A state set: bit n is state n.
struct AccessibleStates {
    std::uint64_t bits = 0;
    bool has(int state) const { return (bits >> state) & 1U; }
};

/// The AT-SPI interfaces beyond Accessible that the tree walks read from.
struct AccessibleInterfaces {
    bool text = false;
    bool value = false;
    bool component = false;
    bool document = false;
    bool operator==(const AccessibleInterfaces&) const = default;
};

/// An object's extents in the X screen's coordinates (the root window's top-left, y down).
struct ScreenExtents {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool operator==(const ScreenExtents&) const = default;
};

/// Name/value pairs an object or its document tells about itself.
using AccessibleAttributes = std::map<std::string, std::string>;

/// The questions the tree walks ask the accessibility bus. Every answer is nothing when the
/// object does not answer within `timeoutMilliseconds` or does not have the interface. The
/// questions beyond the focus search answer nothing unless a tree overrides them.
class AccessibleTree {
public:
    virtual ~AccessibleTree() = default;
    /// The desktop: its children are the applications.
    virtual AccessibleRef desktop() const = 0;
    virtual std::optional<std::vector<AccessibleRef>> children(const AccessibleRef& object,
                                                               int timeoutMilliseconds) = 0;
    /// The focused elements below `window` as the application's own search (the Collection
    /// interface) finds them, at most one; nothing when the application has no such search.
    virtual std::optional<std::vector<AccessibleRef>> focusedDescendants(const AccessibleRef& window,
                                                                         int timeoutMilliseconds) = 0;
    virtual std::optional<AccessibleStates> states(const AccessibleRef& object, int timeoutMilliseconds) = 0;
    virtual std::optional<std::uint32_t> role(const AccessibleRef& object, int timeoutMilliseconds) = 0;
    /// The process behind a connection on the bus.
    virtual std::optional<std::int64_t> processId(const std::string& bus, int timeoutMilliseconds) = 0;
    /// How many ranges of an object's text are selected (nothing: it has no text).
    virtual std::optional<int> selectionCount(const AccessibleRef& object, int timeoutMilliseconds) = 0;
    virtual std::optional<TextRange> selection(const AccessibleRef& object, int index, int timeoutMilliseconds) = 0;
    /// The characters of `range`; an end of -1 reads to the end of the text.
    virtual std::optional<std::string> text(const AccessibleRef& object, TextRange range, int timeoutMilliseconds) = 0;

    virtual std::optional<std::string> name(const AccessibleRef&, int) { return std::nullopt; }
    virtual std::optional<std::string> description(const AccessibleRef&, int) { return std::nullopt; }
    /// The help text newer AT-SPI versions carry beside the name and description.
    virtual std::optional<std::string> helpText(const AccessibleRef&, int) { return std::nullopt; }
    /// The role's name as the application spells it, for roles newer than the ones we know.
    virtual std::optional<std::string> roleName(const AccessibleRef&, int) { return std::nullopt; }
    virtual std::optional<AccessibleInterfaces> interfaces(const AccessibleRef&, int) { return std::nullopt; }
    virtual std::optional<ScreenExtents> extents(const AccessibleRef&, int) { return std::nullopt; }
    /// The Value interface's current value (sliders, spin boxes, progress bars).
    virtual std::optional<double> currentValue(const AccessibleRef&, int) { return std::nullopt; }
    /// The Document interface's attributes (a browser's page address among them).
    virtual std::optional<AccessibleAttributes> documentAttributes(const AccessibleRef&, int) { return std::nullopt; }

    /// A hint that the questions a snapshot asks about each of `objects` come next: a tree may
    /// ask them all at once, so that the answers' round trips overlap instead of adding up.
    virtual void prefetch(const std::vector<AccessibleRef>&, int) {}
    /// Drops answers asked for ahead and not used, so no later question gets an old answer.
    virtual void forgetPrefetched() {}
};

} // namespace brisklet
