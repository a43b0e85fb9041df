#include "Platform/Linux/Accessibility/AccessibilitySnapshotBuilder.h"

#include "Platform/Linux/Accessibility/AccessibleApplicationLocator.h"
#include "Platform/Linux/Accessibility/AtSpiRoleNames.h"

#include <algorithm>
#include <cctype>
#include <string_view>

namespace brisklet {

namespace {

bool isBlank(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

/// What is worth keeping of an answer: nothing for a missing, empty or blank string.
std::optional<std::string> meaningful(std::optional<std::string> text) {
    if (!text || isBlank(*text)) {
        return std::nullopt;
    }
    return text;
}

/// ASCII letters lower-cased; other bytes (UTF-8 sequences among them) are kept as they are.
std::string lowerAscii(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lowered;
}

bool isSecure(std::optional<std::uint32_t> role, const std::optional<std::string>& roleName,
              const std::optional<std::string>& title) {
    if (role == passwordTextRole) {
        return true;
    }
    if (roleName && lowerAscii(*roleName).find("secure") != std::string::npos) {
        return true;
    }
    return title &&
           (lowerAscii(*title).find("password") != std::string::npos || title->find("密码") != std::string::npos);
}

/// An element's text without the placeholders (U+FFFC) that stand for its children in browsers
/// and rich text, which the children tell themselves, cut to `maxBytes` on a character boundary.
std::string readableText(std::string text, std::size_t maxBytes) {
    static constexpr std::string_view placeholder = "\xEF\xBF\xBC";
    for (auto at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at)) {
        text.erase(at, placeholder.size());
    }
    if (text.size() > maxBytes) {
        std::size_t cut = maxBytes;
        while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80) {
            --cut;
        }
        text.resize(cut);
    }
    return text;
}

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

AccessibilitySnapshotBuilder::AccessibilitySnapshotBuilder(AccessibleTree& tree, const Clock& clock,
                                                           std::int64_t ownProcess, Options options)
    : tree_(tree), clock_(clock), ownProcess_(ownProcess), options_(options) {}

std::optional<AccessibilitySnapshotNode>
AccessibilitySnapshotBuilder::snapshot(std::int64_t process, const std::optional<std::string>& windowTitle,
                                       const AccessibilityWalkLimits& limits, std::optional<ScreenToDesktop> screen) {
    deadline_.emplace(clock_, options_.seconds, options_.callTimeoutMilliseconds);
    tree_.forgetPrefetched();
    limits_ = limits;
    screen_ = screen;
    visited_.clear();
    nodeCount_ = 0;
    hasHelpText_.reset();
    if (process < 1 || limits.nodeBudget < 1) {
        return std::nullopt;
    }
    AccessibleApplicationLocator locator(tree_, *deadline_, ownProcess_);
    const auto application = locator.application(process);
    if (!application) {
        return std::nullopt;
    }
    const AccessibleRef root = locator.window(*application, windowTitle).value_or(*application);
    if (deadline_->expired()) {
        return std::nullopt;
    }
    AccessibilitySnapshotNode tree = node(root, 0);
    tree_.forgetPrefetched();
    // An application that does not even tell its window's role is not answering at all.
    if (!tree.role) {
        return std::nullopt;
    }
    return tree;
}

AccessibilitySnapshotNode AccessibilitySnapshotBuilder::node(const AccessibleRef& element, int depth) {
    ++nodeCount_;
    const bool firstVisit = visited_.insert({element.bus, element.path}).second;
    AccessibilitySnapshotNode node;
    const auto role = ask([&](int timeout) { return tree_.role(element, timeout); });
    node.role = roleName(element, role);
    node.title = meaningful(ask([&](int timeout) { return tree_.name(element, timeout); }));
    node.isSecure = isSecure(role, node.role, node.title);
    node.description = meaningful(ask([&](int timeout) { return tree_.description(element, timeout); }));
    node.help = help(element);
    const auto interfaces =
        ask([&](int timeout) { return tree_.interfaces(element, timeout); }).value_or(AccessibleInterfaces{});
    if (interfaces.component && screen_) {
        if (const auto extents = ask([&](int timeout) { return tree_.extents(element, timeout); })) {
            node.frame = screen_->convert(*extents);
        }
    }
    if (!node.isSecure) {
        readContent(element, interfaces, node);
    }
    // An element seen before (a tree that loops back) is kept, but its children are not
    // followed again.
    if (firstVisit && depth <= limits_.maxChildDepth) {
        readChildren(element, depth, node);
    }
    return node;
}

std::optional<std::string> AccessibilitySnapshotBuilder::roleName(const AccessibleRef& element,
                                                                  std::optional<std::uint32_t> role) {
    if (!role) {
        return std::nullopt;
    }
    if (const auto known = atSpiRoleName(*role)) {
        return std::string(*known);
    }
    return meaningful(ask([&](int timeout) { return tree_.roleName(element, timeout); }));
}

std::optional<std::string> AccessibilitySnapshotBuilder::help(const AccessibleRef& element) {
    // Only newer AT-SPI versions have the property; an application whose root does not answer
    // it is not asked again for every element.
    if (hasHelpText_ == false || deadline_->expired()) {
        return std::nullopt;
    }
    auto text = ask([&](int timeout) { return tree_.helpText(element, timeout); });
    if (!hasHelpText_) {
        hasHelpText_ = text.has_value();
    }
    return meaningful(std::move(text));
}

void AccessibilitySnapshotBuilder::readContent(const AccessibleRef& element, const AccessibleInterfaces& interfaces,
                                               AccessibilitySnapshotNode& node) {
    if (interfaces.text) {
        if (const auto text = ask([&](int timeout) { return tree_.text(element, TextRange{0, -1}, timeout); })) {
            const std::string readable = readableText(*text, options_.maxTextBytes);
            // Labels and headings tell their text as their name too; once is enough.
            const std::string_view content = trimmed(readable);
            if (!content.empty() && (!node.title || trimmed(*node.title) != content)) {
                node.value = readable;
            }
        }
        node.selectedText = selectedText(element);
    }
    if (!node.value && interfaces.value) {
        if (const auto value = ask([&](int timeout) { return tree_.currentValue(element, timeout); })) {
            node.value = formatNumber(*value);
        }
    }
}

std::optional<std::string> AccessibilitySnapshotBuilder::selectedText(const AccessibleRef& element) {
    const auto count = ask([&](int timeout) { return tree_.selectionCount(element, timeout); });
    if (!count) {
        return std::nullopt;
    }
    std::string joined;
    for (int index = 0; index < std::min(*count, options_.maxSelections); ++index) {
        const auto range = ask([&](int timeout) { return tree_.selection(element, index, timeout); });
        if (!range || range->end <= range->start) {
            continue;
        }
        const auto part = ask([&](int timeout) { return tree_.text(element, *range, timeout); });
        if (!part || part->empty()) {
            continue;
        }
        if (!joined.empty()) {
            joined += '\n';
        }
        joined += readableText(*part, options_.maxTextBytes);
    }
    return meaningful(std::move(joined));
}

void AccessibilitySnapshotBuilder::readChildren(const AccessibleRef& element, int depth,
                                                AccessibilitySnapshotNode& node) {
    if (nodeCount_ >= limits_.nodeBudget) {
        return;
    }
    const auto children = ask([&](int timeout) { return tree_.children(element, timeout); });
    if (!children) {
        return;
    }
    const std::size_t count = std::min({children->size(), static_cast<std::size_t>(std::max(limits_.maxChildren, 0)),
                                        static_cast<std::size_t>(limits_.nodeBudget - nodeCount_)});
    if (count > 0 && !deadline_->expired()) {
        tree_.prefetch(std::vector<AccessibleRef>(children->begin(), children->begin() + static_cast<long>(count)),
                       deadline_->callTimeout());
    }
    for (std::size_t index = 0; index < count; ++index) {
        if (nodeCount_ >= limits_.nodeBudget || deadline_->expired()) {
            return;
        }
        node.children.push_back(this->node((*children)[index], depth + 1));
    }
}

} // namespace brisklet
