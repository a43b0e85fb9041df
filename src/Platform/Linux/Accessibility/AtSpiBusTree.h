#pragma once

#include "Platform/Linux/Accessibility/AccessibleTree.h"

#include "Platform/Linux/Accessibility/AtSpiApplicationCache.h"
#include "Platform/Linux/Accessibility/AtSpiWire.h"

#include <map>
#include <string>
#include <vector>

namespace brisklet {

/// The accessibility tree as the AT-SPI registry and the applications on the accessibility bus
/// tell it, one blocking call per question (never with an event loop: nothing else runs while
/// we wait), or, for elements prefetched, answers asked for all at once and kept until used.
class AtSpiBusTree final : public AccessibleTree {
public:
    explicit AtSpiBusTree(AtSpiWire& wire);

    AccessibleRef desktop() const override;
    std::optional<std::vector<AccessibleRef>> children(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<std::vector<AccessibleRef>> focusedDescendants(const AccessibleRef& window,
                                                                 int timeoutMilliseconds) override;
    std::optional<AccessibleStates> states(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<std::uint32_t> role(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<std::int64_t> processId(const std::string& bus, int timeoutMilliseconds) override;
    std::optional<int> selectionCount(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<TextRange> selection(const AccessibleRef& object, int index, int timeoutMilliseconds) override;
    std::optional<std::string> text(const AccessibleRef& object, TextRange range, int timeoutMilliseconds) override;
    std::optional<std::string> name(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<std::string> description(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<std::string> helpText(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<std::string> roleName(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<AccessibleInterfaces> interfaces(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<ScreenExtents> extents(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<double> currentValue(const AccessibleRef& object, int timeoutMilliseconds) override;
    std::optional<AccessibleAttributes> documentAttributes(const AccessibleRef& object,
                                                           int timeoutMilliseconds) override;
    void prefetch(const std::vector<AccessibleRef>& objects, int timeoutMilliseconds) override;
    void forgetPrefetched() override {
        prefetched_.clear();
        caches_.clear();
    }

private:
    /// A property read one at a time: Qt 6.4's bridge ends the whole application when asked for
    /// all of an object's properties at once.
    AtSpiAnswer property(const AccessibleRef& object, const std::string& interface, const std::string& name,
                         int timeoutMilliseconds);
    std::optional<std::string> stringProperty(const AccessibleRef& object, const std::string& name,
                                              int timeoutMilliseconds);
    AtSpiAnswer call(const AtSpiQuestion& question, int timeoutMilliseconds);

    /// Sends every question before waiting for the first answer; the answers (errors included)
    /// are kept for `call`.
    void askTogether(const std::vector<AtSpiQuestion>& questions, int timeoutMilliseconds);
    /// A prefetched answer, left in place; null when there is none.
    DBusMessage* prefetchedReply(const AtSpiQuestion& question) const;
    /// Whether the prefetched name says the element holds a password.
    bool namedAsSecret(const AccessibleRef& object) const;
    /// Asks the application for its cache once per snapshot.
    void loadCache(const std::string& bus, int timeoutMilliseconds);
    /// The element as its application's cache tells it; null when it is not there.
    const AtSpiApplicationCache::Element* cached(const AccessibleRef& object) const;
    /// The element's children as its application's cache lists them, when it lists them all.
    std::optional<std::vector<AccessibleRef>> cachedChildren(const AccessibleRef& object) const;

    AtSpiWire& wire_;
    /// Prefetched answers by question, each used once.
    std::map<std::string, AtSpiAnswer> prefetched_;
    /// Applications' caches by bus name, taken when their elements are first prefetched; nothing
    /// for an application without one.
    std::map<std::string, std::optional<AtSpiApplicationCache>> caches_;
};

} // namespace brisklet
