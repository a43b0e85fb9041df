#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <optional>
#include <string>
#include <vector>

namespace brisklet {

/// A ready-made canvas for a social network or gallery: its size, frame and spacing.
struct BackgroundTemplate {
    BackgroundTemplatePreset id = BackgroundTemplatePreset::xPost;
    std::string title;
    /// The title as the interface shows it in the user's language.
    L10nKey titleKey = L10nKey::backgroundTemplateXPost;
    CanvasAspectPreset aspectPreset;
    BackgroundFrameStyle frameStyle = BackgroundFrameStyle::none;
    std::optional<double> preferredPadding;
    std::optional<double> preferredShadowStrength;
    std::optional<double> preferredCornerRadius;

    bool operator==(const BackgroundTemplate&) const = default;

    /// Every built-in template, in display order.
    static const std::vector<BackgroundTemplate>& all();
    static std::optional<BackgroundTemplate> templateFor(BackgroundTemplatePreset preset);
};

} // namespace brisklet
