#pragma once

#include "Platform/Fake/ManualClock.h"
#include "Platform/Linux/Accessibility/AccessibleTree.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace brisklet::testing {

/// A state set with the given states on.
inline AccessibleStates statesOf(std::initializer_list<int> states) {
    AccessibleStates set;
    for (int state : states) {
        set.bits |= std::uint64_t{1} << state;
    }
    return set;
}

/// An accessibility bus in memory for the tree walks: elements by path, each application on its
/// own bus, every call costing `callCost` seconds on the manual clock. Elements of a hung
/// application never answer: each call to them takes its whole timeout. Which elements had
/// their text asked for is kept.
class FakeAccessibleTree final : public AccessibleTree {
public:
    /// Every member has an initializer so an element can be spelled with only what matters to it.
    struct Element {
        std::uint32_t role = 39;
        std::optional<std::string> name{};
        std::optional<std::string> description{};
        std::optional<std::string> helpText{};
        std::optional<std::string> roleName{};
        AccessibleStates states{};
        AccessibleInterfaces interfaces{};
        AccessibleAttributes documentAttributes{};
        std::optional<std::string> text{};
        std::vector<TextRange> selections{};
        std::optional<double> value{};
        std::optional<ScreenExtents> extents{};
        std::vector<std::string> children{};
        std::string bus{};
    };

    explicit FakeAccessibleTree(ManualClock& clock) : clock_(clock) {}

    /// Adds an element as the last child of `parent` (an application's parent is the desktop, "/").
    Element& add(const std::string& path, const std::string& parent, Element element) {
        elements[parent].children.push_back(path);
        if (element.bus.empty()) {
            element.bus = elements[parent].bus;
        }
        return elements[path] = std::move(element);
    }
    Element& application(const std::string& path, const std::string& bus, std::int64_t process) {
        processes[bus] = process;
        return add(path, "/", Element{.role = 75, .bus = bus});
    }

    AccessibleRef desktop() const override { return {"registry", "/"}; }
    std::optional<std::vector<AccessibleRef>> children(const AccessibleRef& object, int timeout) override {
        const Element* element = answer(object, timeout);
        if (!element) {
            return std::nullopt;
        }
        std::vector<AccessibleRef> refs;
        for (const std::string& path : element->children) {
            refs.push_back({elements.contains(path) ? elements.at(path).bus : element->bus, path});
        }
        return refs;
    }
    std::optional<std::vector<AccessibleRef>> focusedDescendants(const AccessibleRef&, int) override {
        return std::nullopt;
    }
    std::optional<AccessibleStates> states(const AccessibleRef& object, int timeout) override {
        return read(object, timeout, [](const Element& e) { return std::optional(e.states); });
    }
    std::optional<std::uint32_t> role(const AccessibleRef& object, int timeout) override {
        return read(object, timeout, [](const Element& e) { return std::optional(e.role); });
    }
    std::optional<std::int64_t> processId(const std::string& bus, int timeout) override {
        ++calls;
        timeouts.push_back(timeout);
        clock_.advance(std::min(callCost, timeout / 1000.0));
        return processes.contains(bus) ? std::optional(processes.at(bus)) : std::nullopt;
    }
    std::optional<int> selectionCount(const AccessibleRef& object, int timeout) override {
        return read(object, timeout, [](const Element& e) {
            return e.interfaces.text ? std::optional(static_cast<int>(e.selections.size())) : std::nullopt;
        });
    }
    std::optional<TextRange> selection(const AccessibleRef& object, int index, int timeout) override {
        return read(object, timeout, [index](const Element& e) {
            return index < static_cast<int>(e.selections.size())
                       ? std::optional(e.selections[static_cast<std::size_t>(index)])
                       : std::nullopt;
        });
    }
    std::optional<std::string> text(const AccessibleRef& object, TextRange range, int timeout) override {
        textReads.insert(object.path);
        return read(object, timeout, [range](const Element& e) -> std::optional<std::string> {
            if (!e.interfaces.text || !e.text) {
                return std::nullopt;
            }
            const auto end = range.end < 0 ? e.text->size() : static_cast<std::size_t>(range.end);
            return e.text->substr(static_cast<std::size_t>(range.start), end - static_cast<std::size_t>(range.start));
        });
    }
    std::optional<std::string> name(const AccessibleRef& object, int timeout) override {
        return read(object, timeout, [](const Element& e) { return e.name; });
    }
    std::optional<std::string> description(const AccessibleRef& object, int timeout) override {
        return read(object, timeout, [](const Element& e) { return e.description; });
    }
    std::optional<std::string> helpText(const AccessibleRef& object, int timeout) override {
        ++helpTextCalls;
        return read(object, timeout, [](const Element& e) { return e.helpText; });
    }
    std::optional<std::string> roleName(const AccessibleRef& object, int timeout) override {
        return read(object, timeout, [](const Element& e) { return e.roleName; });
    }
    std::optional<AccessibleInterfaces> interfaces(const AccessibleRef& object, int timeout) override {
        return read(object, timeout, [](const Element& e) { return std::optional(e.interfaces); });
    }
    std::optional<ScreenExtents> extents(const AccessibleRef& object, int timeout) override {
        return read(object, timeout,
                    [](const Element& e) { return e.interfaces.component ? e.extents : std::nullopt; });
    }
    std::optional<double> currentValue(const AccessibleRef& object, int timeout) override {
        return read(object, timeout, [](const Element& e) { return e.interfaces.value ? e.value : std::nullopt; });
    }
    std::optional<AccessibleAttributes> documentAttributes(const AccessibleRef& object, int timeout) override {
        return read(object, timeout, [](const Element& e) {
            return e.interfaces.document ? std::optional(e.documentAttributes) : std::nullopt;
        });
    }

    void prefetch(const std::vector<AccessibleRef>& objects, int) override {
        prefetched.emplace_back();
        for (const auto& object : objects) {
            prefetched.back().push_back(object.path);
        }
    }
    void forgetPrefetched() override { ++forgets; }

    std::map<std::string, Element> elements{{"/", Element{.role = 14, .bus = "registry"}}};
    std::map<std::string, std::int64_t> processes;
    /// Buses whose application has stopped answering.
    std::set<std::string> hungBuses;
    double callCost = 0.0005;
    int calls = 0;
    int helpTextCalls = 0;
    std::vector<int> timeouts;
    std::set<std::string> textReads;
    /// The elements each prefetch hint named, and how often the hints were dropped.
    std::vector<std::vector<std::string>> prefetched;
    int forgets = 0;

private:
    /// The element, after the call's time has passed; nothing when it does not exist or the call
    /// would outlast its timeout.
    const Element* answer(const AccessibleRef& object, int timeout) {
        ++calls;
        timeouts.push_back(timeout);
        const double limit = timeout / 1000.0;
        if (hungBuses.contains(object.bus)) {
            clock_.advance(limit);
            return nullptr;
        }
        const double cost = std::min(callCost, limit);
        clock_.advance(cost);
        const auto found = elements.find(object.path);
        return cost < callCost || found == elements.end() ? nullptr : &found->second;
    }
    template <typename Read>
    auto read(const AccessibleRef& object, int timeout, Read&& value)
        -> decltype(value(std::declval<const Element&>())) {
        const Element* element = answer(object, timeout);
        return element ? value(*element) : std::nullopt;
    }

    ManualClock& clock_;
};

} // namespace brisklet::testing
