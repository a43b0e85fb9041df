#pragma once

#include "ZelvorApp/Background/BackgroundRenderError.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <optional>
#include <string>

namespace brisklet {

class BackgroundRenderer;

/// Single GIF frames on a background, for previews where no context is kept.
struct GIFBackgroundRenderer {
    /// One frame on its background, without a cached context.
    static Result<Image, BackgroundRenderError> render(const Image& content, const BackgroundComposition& composition,
                                                       const BackgroundRenderer& renderer);
    /// The background drawn over the whole canvas, with its image adjustment.
    static Result<Image, BackgroundRenderError>
    makeBackgroundBase(Size canvasSize, const BackgroundComposition& composition, const BackgroundRenderer& renderer);
};

/// The background offered for a GIF: none, or one of the presets laid out for the recording.
struct GIFBackgroundChoice {
    /// Recordings are small; a little more room than the balanced layout keeps them from
    /// looking cramped on their canvas.
    static constexpr double minimumPadding = 76;

    std::optional<std::string> presetID;

    static GIFBackgroundChoice none() { return {}; }
    static GIFBackgroundChoice preset(std::string id) { return {std::move(id)}; }

    /// The composition for frames of `contentSize`: nothing for `none`; for a preset, the
    /// balanced composition of a region capture on it, with at least `minimumPadding`.
    std::optional<BackgroundComposition> composition(Size contentSize) const;

    bool operator==(const GIFBackgroundChoice&) const = default;
};

} // namespace brisklet
