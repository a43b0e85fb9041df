#include "Platform/Linux/Accessibility/BrowserPageFinder.h"

#include "Platform/Linux/Accessibility/AccessibleApplicationLocator.h"

#include <array>
#include <cctype>
#include <deque>
#include <utility>

namespace brisklet {

namespace {

std::string trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string_view::npos) {
        return {};
    }
    return std::string(text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1));
}

// Browsers append their name after a hyphen or, Firefox, an em dash. Edge writes a zero-width
// space inside its name.
constexpr std::array<std::string_view, 10> browserTitleSuffixes{
    " - Chromium",
    " - Google Chrome",
    " - Microsoft Edge",
    " - Microsoft\u200B Edge",
    " - Brave",
    " - Vivaldi",
    " \u2014 Mozilla Firefox",
    " - Mozilla Firefox",
    " \u2014 Firefox Developer Edition",
    " - Firefox Developer Edition",
};

} // namespace

BrowserPageFinder::BrowserPageFinder(AccessibleTree& tree, const Clock& clock, std::int64_t ownProcess, Options options)
    : tree_(tree), clock_(clock), ownProcess_(ownProcess), options_(options) {}

BrowserCaptureMetadata BrowserPageFinder::find(std::int64_t process) {
    deadline_.emplace(clock_, options_.seconds, options_.callTimeoutMilliseconds);
    AccessibleApplicationLocator locator(tree_, *deadline_, ownProcess_);
    const auto application = locator.application(process);
    if (!application) {
        return BrowserCaptureMetadata::unavailable();
    }
    for (const AccessibleRef& window : locator.frontWindows(*application)) {
        if (deadline_->expired()) {
            break;
        }
        if (auto found = page(window)) {
            return *found;
        }
    }
    return BrowserCaptureMetadata::unavailable();
}

std::optional<BrowserCaptureMetadata> BrowserPageFinder::page(const AccessibleRef& window) {
    const auto found = document(window);
    if (!found || deadline_->expired()) {
        return std::nullopt;
    }
    const auto attributes = tree_.documentAttributes(*found, deadline_->callTimeout());
    const auto url = attributes ? pageAddress(*attributes) : std::nullopt;
    if (!url || !hasScheme(*url)) {
        return std::nullopt;
    }
    std::string title;
    if (!deadline_->expired()) {
        title = trimmed(tree_.name(*found, deadline_->callTimeout()).value_or(""));
    }
    if (title.empty() && !deadline_->expired()) {
        title = pageTitleFromWindowTitle(tree_.name(window, deadline_->callTimeout()).value_or(""));
    }
    return BrowserCaptureMetadata{*url, title.empty() ? std::nullopt : std::optional<std::string>(title),
                                  BrowserDeepCaptureStatus::metadataAvailable};
}

std::optional<AccessibleRef> BrowserPageFinder::document(const AccessibleRef& window) {
    // Breadth first: the page is a few levels below the window, beside the toolbars, and a
    // document's own subtree (the page itself, possibly huge) is never entered.
    std::deque<std::pair<AccessibleRef, int>> pending{{window, 0}};
    std::optional<AccessibleRef> hidden;
    int visited = 0;
    while (!pending.empty() && visited < options_.maxElements && !deadline_->expired()) {
        auto [element, depth] = std::move(pending.front());
        pending.pop_front();
        ++visited;
        if (tree_.role(element, deadline_->callTimeout()) == documentWebRole) {
            // Firefox keeps the documents of background tabs in the window too, off screen.
            const auto states = deadline_->expired() ? std::nullopt : tree_.states(element, deadline_->callTimeout());
            if (states && states->has(AccessibleState::showing)) {
                return element;
            }
            if (!hidden) {
                hidden = element;
            }
            continue;
        }
        if (depth >= options_.maxDepth || deadline_->expired()) {
            continue;
        }
        if (const auto children = tree_.children(element, deadline_->callTimeout())) {
            for (const AccessibleRef& child : *children) {
                pending.emplace_back(child, depth + 1);
            }
        }
    }
    return hidden;
}

std::optional<std::string> BrowserPageFinder::pageAddress(const AccessibleAttributes& attributes) {
    for (const char* key : {"DocURL", "URI", "url", "URL"}) {
        if (const auto found = attributes.find(key); found != attributes.end()) {
            std::string url = trimmed(found->second);
            if (!url.empty()) {
                return url;
            }
        }
    }
    return std::nullopt;
}

bool BrowserPageFinder::hasScheme(std::string_view url) {
    const auto colon = url.find(':');
    if (colon == std::string_view::npos || colon == 0 || std::isalpha(static_cast<unsigned char>(url[0])) == 0) {
        return false;
    }
    for (const char c : url.substr(0, colon)) {
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '+' && c != '-' && c != '.') {
            return false;
        }
    }
    return true;
}

std::string BrowserPageFinder::pageTitleFromWindowTitle(std::string_view windowTitle) {
    for (const std::string_view suffix : browserTitleSuffixes) {
        if (windowTitle.size() >= suffix.size() && windowTitle.ends_with(suffix)) {
            return trimmed(windowTitle.substr(0, windowTitle.size() - suffix.size()));
        }
    }
    // A window that shows only the browser's name ("Mozilla Firefox") names no page.
    for (const std::string_view suffix : browserTitleSuffixes) {
        if (windowTitle == suffix.substr(suffix.find(' ', 1) + 1)) {
            return {};
        }
    }
    return trimmed(windowTitle);
}

} // namespace brisklet
