#pragma once

#include "ZelvorCore/Models/HSBComponents.h"
#include "ZelvorCore/Models/StoredColor.h"

#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

/// Colour arithmetic of the colour picker and the annotation colour history.
namespace BackgroundColorPickerLogic {

/// Parses a typed code: white space and newlines around it are ignored and every "#" removed;
/// the rest must be exactly six hexadecimal digits. Alpha is 1.
std::optional<StoredColor> colorFromHex(std::string_view text);
/// "#RRGGBB" of the components, each clamped to 0...1, times 255 and rounded.
std::string hexString(const StoredColor& color);
/// The colour's hue, saturation and brightness.
HSBComponents hsbComponents(const StoredColor& color);

} // namespace BackgroundColorPickerLogic

} // namespace brisklet
