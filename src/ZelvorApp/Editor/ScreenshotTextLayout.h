#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorCore/Foundation/Geometry.h"

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

namespace brisklet {

class TextMeasurer;

/// How a text annotation is broken into lines and how big its box is, in image pixels.
struct TextLayoutMeasurement {
    std::vector<std::string> lines;
    std::vector<double> lineWidths; ///< each rounded up
    double lineHeight = 0;          ///< ceil(ascender − descender + leading)
    double ascender = 0;            ///< baseline of the first line, from the box top
    Size size;

    bool operator==(const TextLayoutMeasurement&) const = default;
};

namespace ScreenshotTextLayout {

/// Splits at newlines; without a layout width the box is as wide as the widest line, with one the
/// lines wrap at word boundaries (a word longer than the width breaks between characters) and the
/// box is that wide.
TextLayoutMeasurement measurement(std::string_view text, double fontSize, std::optional<double> layoutWidth,
                                  const TextMeasurer& measurer);

/// The unrotated box of `text` in image pixels.
Rect contentRect(const TextAnnotation& text, const TextLayoutMeasurement& measurement);

} // namespace ScreenshotTextLayout

/// Remembers recent measurements: hit testing asks for the same texts over and over, and real
/// font measurement is far slower than a lookup.
class TextLayoutCache {
public:
    explicit TextLayoutCache(const TextMeasurer& measurer) : measurer_(measurer) {}

    /// The reference stays valid until the next call.
    const TextLayoutMeasurement& measurement(const TextAnnotation& text) const;
    Rect contentRect(const TextAnnotation& text) const;
    const TextMeasurer& measurer() const { return measurer_; }

private:
    using Key = std::tuple<std::string, double, std::optional<double>>;
    static constexpr std::size_t capacity = 512;

    const TextMeasurer& measurer_;
    mutable std::map<Key, TextLayoutMeasurement> entries_;
};

} // namespace brisklet
