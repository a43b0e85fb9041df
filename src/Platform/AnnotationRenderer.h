#pragma once

#include "ZelvorApp/Editor/AnnotationItem.h"
#include "ZelvorApp/Editor/ScreenshotEditorError.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <span>
#include <string_view>

namespace brisklet {

/// Vertical metrics of the annotation text font, in image pixels. `descender` is negative (below
/// the baseline), so a line is ascender − descender + leading high.
struct TextFontMetrics {
    double ascender = 0;
    double descender = 0;
    double leading = 0;
    bool operator==(const TextFontMetrics&) const = default;
};

/// Measures text exactly as the renderer will draw it, so the editor's text boxes, wrapping and
/// hit areas match the pixels.
class TextMeasurer {
public:
    virtual ~TextMeasurer() = default;
    /// Metrics of the semibold annotation font at `fontSize` image pixels.
    virtual TextFontMetrics fontMetrics(double fontSize) const = 0;
    /// Advance width of one line of UTF-8 text (no line breaks) at `fontSize`, unrounded.
    virtual double lineWidth(std::string_view line, double fontSize) const = 0;
};

struct AnnotationRenderOptions {
    /// The three-pass halo look for outlines and soft shadows for filled shapes.
    bool enhanceColors = false;
    bool operator==(const AnnotationRenderOptions&) const = default;
};

/// Draws annotations. The same drawing routine serves the live editor view and the exported file.
class AnnotationRenderer : public TextMeasurer {
public:
    /// A copy of `base` at its own pixel size with every item drawn on it in list order, in image
    /// pixels at scale 1. Redactions process the pixels of `base` under them. Fails with
    /// `renderFailed` when no bitmap can be made or read back. Safe to call from any one thread
    /// at a time.
    virtual Result<Image, ScreenshotEditorError> flatten(const Image& base, std::span<const AnnotationItem> items,
                                                         const AnnotationRenderOptions& options) const = 0;
};

} // namespace brisklet
