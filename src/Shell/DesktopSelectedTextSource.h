#pragma once

#include "Platform/AccessibilityTextReader.h"
#include "ZelvorApp/Control/Ports/SelectedTextSource.h"

#include <functional>

namespace brisklet {

/// Selected text on an X11 desktop: the focused element's selection as the accessibility layer
/// reports it, and what the user highlighted last anywhere (the PRIMARY selection) for
/// applications the accessibility layer cannot see into. Main thread only.
class DesktopSelectedTextSource final : public SelectedTextSource {
public:
    /// The PRIMARY selection's text, nothing when it is empty or the desktop has none.
    using PrimarySelection = std::function<std::optional<std::string>()>;

    explicit DesktopSelectedTextSource(const AccessibilityTextReader& accessibility,
                                       PrimarySelection primarySelection = clipboardPrimarySelection);

    /// The accessibility answer when it found selected text; a miss is logged with its reason.
    std::optional<std::string> focusedElementSelectedText() const override;
    std::optional<std::string> frontmostApplicationSelectedText() const override;

    /// The PRIMARY selection through Qt's clipboard.
    static std::optional<std::string> clipboardPrimarySelection();

private:
    const AccessibilityTextReader& accessibility_;
    PrimarySelection primarySelection_;
};

} // namespace brisklet
