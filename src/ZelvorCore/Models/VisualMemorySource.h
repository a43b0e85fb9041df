#pragma once

#include "ZelvorCore/Foundation/Json.h"

#include <optional>
#include <string>

namespace brisklet {

/// Where a capture or a copied item came from: the application, its window and, for browsers,
/// the page. Every part is optional because the desktop does not always tell.
struct VisualMemorySource {
    std::optional<std::string> appName;
    std::optional<std::string> windowTitle;
    /// Absolute URL text of the page, e.g. "https://example.com/a".
    std::optional<std::string> url;

    bool operator==(const VisualMemorySource&) const = default;
};

void read(const Json& j, VisualMemorySource& out);
Json write(const VisualMemorySource& value);

} // namespace brisklet
