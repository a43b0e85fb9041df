#pragma once

#include "Platform/Linux/Accessibility/AccessibleTree.h"

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

struct DBusMessage;

namespace brisklet {

/// What an application tells of all its elements at once through AT-SPI's Cache interface: who
/// each one is and where it sits. Toolkits on the ATK bridge (GTK, Chromium, Firefox) keep it up
/// to date themselves, so one answer replaces five questions per element.
class AtSpiApplicationCache {
public:
    struct Element {
        std::uint32_t role = 0;
        std::string name;
        std::string description;
        std::vector<std::string> interfaces;
        /// How many children the element says it has; `children` may hold fewer.
        int childCount = 0;
        std::vector<AccessibleRef> children;
    };

    /// The cache from a Cache.GetItems answer of the layout "a((so)(so)(so)iiassusau)"; nothing
    /// for an empty answer or another layout (older bridges list children instead of counting).
    static std::optional<AtSpiApplicationCache> fromReply(DBusMessage* reply);

    const Element* find(const AccessibleRef& object) const;
    /// The element's children, when every one of them is in the cache: elements that manage
    /// their descendants (long lists and tables) list none there.
    std::optional<std::vector<AccessibleRef>> children(const AccessibleRef& object) const;

private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, Element> elements_;
};

} // namespace brisklet
