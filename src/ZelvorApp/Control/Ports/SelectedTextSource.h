#pragma once

#include <optional>
#include <string>

namespace brisklet {

/// The text the user has selected in another application.
class SelectedTextSource {
public:
    virtual ~SelectedTextSource() = default;
    /// The selection of the focused element, when the accessibility layer can tell.
    virtual std::optional<std::string> focusedElementSelectedText() const = 0;
    /// The selection of the frontmost application by other means (on X11 the PRIMARY selection).
    virtual std::optional<std::string> frontmostApplicationSelectedText() const = 0;
};

} // namespace brisklet
