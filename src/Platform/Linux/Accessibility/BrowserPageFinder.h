#pragma once

#include "Platform/Clock.h"
#include "Platform/Linux/Accessibility/AccessibleDeadline.h"
#include "Platform/Linux/Accessibility/AccessibleTree.h"
#include "ZelvorCore/Models/BrowserCaptureMetadata.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// Reads which page a browser shows from its accessibility tree: the web document of its front
/// window (the one on screen when the window holds several tabs' documents), its address from
/// the document's attributes (Firefox says "DocURL", Chromium "URI") and its title from the
/// document's name, else from the window's title without the browser's name.
class BrowserPageFinder {
public:
    struct Options {
        double seconds = 2.0;
        int callTimeoutMilliseconds = 1000;
        /// How much of a window's tree is searched for the document.
        int maxElements = 3000;
        int maxDepth = 40;
    };

    /// `ownProcess` is this process, which is never asked.
    BrowserPageFinder(AccessibleTree& tree, const Clock& clock, std::int64_t ownProcess, Options options);

    /// The page of the browser with process `process`; `unavailable` when it is not on the bus,
    /// shows no document, or the document has no address with a scheme.
    BrowserCaptureMetadata find(std::int64_t process);

    /// The document's address among its attributes.
    static std::optional<std::string> pageAddress(const AccessibleAttributes& attributes);
    /// Whether `url` starts with a scheme ("https:", "file:", "about:").
    static bool hasScheme(std::string_view url);
    /// A browser window's title without the browser's name ("Notes - Chromium" → "Notes").
    static std::string pageTitleFromWindowTitle(std::string_view windowTitle);

private:
    /// The web document in `window`, breadth first: the first one on screen, else the first one.
    std::optional<AccessibleRef> document(const AccessibleRef& window);
    std::optional<BrowserCaptureMetadata> page(const AccessibleRef& window);

    AccessibleTree& tree_;
    const Clock& clock_;
    std::int64_t ownProcess_;
    Options options_;
    std::optional<AccessibleDeadline> deadline_;
};

} // namespace brisklet
