#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// A URL as the library needs it: its text, scheme and host.
struct WebAddress {
    /// The full address, e.g. "https://example.com/a?b".
    std::string absoluteString;
    /// Lower-cased scheme, e.g. "https".
    std::string scheme;
    /// The host when the address has an authority with one, e.g. "example.com".
    std::optional<std::string> host;

    /// Parses `text` as one whole URL with a scheme ("https://a.b", "mailto:x@y.z",
    /// "file:///tmp/a"). Whitespace, control characters and <>"{}|\^` make it fail.
    static std::optional<WebAddress> parse(std::string_view text);

    bool operator==(const WebAddress&) const = default;
};

/// Finds links inside free text the way people write them: addresses with a scheme, "www."
/// addresses, bare domains with a well-known top-level domain, and e-mail addresses.
struct TextLinkDetector {
    /// The first link in `text`; bare domains get "http://" and e-mail addresses "mailto:".
    static std::optional<WebAddress> firstLink(std::string_view text);
};

} // namespace brisklet
