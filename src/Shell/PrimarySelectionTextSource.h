#pragma once

#include "ZelvorApp/Control/Ports/SelectedTextSource.h"

namespace brisklet {

/// Selected text on X11: what the user highlighted last, from the PRIMARY selection. Reading
/// the focused element's selection through AT-SPI is not wired yet, so the first answer is
/// always empty and the PRIMARY selection stands in. Main thread only.
class PrimarySelectionTextSource final : public SelectedTextSource {
public:
    std::optional<std::string> focusedElementSelectedText() const override { return std::nullopt; }
    std::optional<std::string> frontmostApplicationSelectedText() const override;
};

} // namespace brisklet
