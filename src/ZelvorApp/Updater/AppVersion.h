#pragma once

#include <string>
#include <string_view>

namespace brisklet {

/// A version text as releases and packages write it ("1.10.2", "v2.0").
struct AppVersion {
    std::string text;

    /// Whether this version is the same as `other` or comes after it. Both lose surrounding white
    /// space and one leading "v" or "V"; runs of digits then compare by their value, so 1.10
    /// comes after 1.9, and everything else character by character. "1.2.0" comes after "1.2".
    bool isSameOrNewer(std::string_view other) const;

    /// The text without surrounding white space and one leading "v" or "V".
    static std::string normalized(std::string_view text);
    /// Negative, zero or positive as `a` orders before, with or after `b` (both normalised).
    static int compare(std::string_view a, std::string_view b);
};

} // namespace brisklet
