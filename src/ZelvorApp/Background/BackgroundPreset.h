#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Models/StoredColor.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace brisklet {

/// A background the application ships (or one the gradient generator made), referred to by id
/// from `BackgroundSource::Preset`.
struct BackgroundPreset {
    struct Solid {
        StoredColor color;
        bool operator==(const Solid&) const = default;
    };
    /// Drawn from the top-left corner of the canvas to the bottom-right one.
    struct Gradient {
        StoredColor start;
        StoredColor end;
        bool operator==(const Gradient&) const = default;
    };
    using Style = std::variant<Solid, Gradient>;

    static constexpr std::string_view generatedGradientPrefix = "generated-gradient";

    std::string id;
    std::string name;
    Style style;
    /// The name in the user's language; nothing for a generated gradient (the panel shows its
    /// colours, not a name).
    std::optional<L10nKey> nameKey;

    bool operator==(const BackgroundPreset&) const = default;

    /// The built-in presets in display order.
    static const std::vector<BackgroundPreset>& all();
    /// A generated-gradient id decodes into its gradient; anything else is looked up among the
    /// built-in presets. Malformed generated ids are unknown.
    static std::optional<BackgroundPreset> presetFor(std::string_view id);
    /// "generated-gradient:r,g,b,a:r,g,b,a" with components clamped to 0...1 and three decimals.
    static std::string generatedGradientID(const StoredColor& start, const StoredColor& end);
};

} // namespace brisklet
