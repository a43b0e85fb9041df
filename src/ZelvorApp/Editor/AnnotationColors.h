#pragma once

#include "ZelvorCore/Models/StoredColor.h"

namespace brisklet {

/// Colour arithmetic of annotation drawing. Every computation reads components through
/// `safeRGBAComponents` first.
namespace AnnotationColors {

/// The colour with each component clamped to 0...1; a colour with a component that is not a
/// number at all cannot be interpreted and becomes opaque black.
StoredColor safeRGBAComponents(const StoredColor& color);

/// White at the colour's alpha × 0.58 (at most 0.58): the outer halo pass and the soft shadow.
StoredColor haloColor(const StoredColor& color);
/// The colour blended 42% toward black at alpha × 0.42 (at most 0.42): the middle pass.
StoredColor depthColor(const StoredColor& color);
/// Each component moved 12% toward white (2% when all three are above 0.86), alpha kept.
StoredColor lightenedColor(const StoredColor& color);
/// The colour a highlighter paints with: the same hue at alpha 0.28.
StoredColor highlighterColor(const StoredColor& color);

/// Extra widths of the halo and depth passes over the item's own width.
inline constexpr double haloExtraWidth = 4;
inline constexpr double depthExtraWidth = 2.2;

} // namespace AnnotationColors

} // namespace brisklet
