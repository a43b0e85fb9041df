#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// Which text a pin-text request pins: the selection, else the clipboard.
struct PinTextSourcePolicy {
    enum class Source { selection, pasteboard };
    struct Choice {
        std::string text;
        Source source = Source::selection;
        bool operator==(const Choice&) const = default;
    };

    /// Line ends as "\n" and white space trimmed at both ends.
    static std::string normalized(std::string_view text);
    /// The normalised selection when it has any text, else the normalised clipboard text; nothing
    /// when both are empty.
    static std::optional<Choice> textToPin(const std::optional<std::string>& selected,
                                           const std::optional<std::string>& clipboard);
};

} // namespace brisklet
