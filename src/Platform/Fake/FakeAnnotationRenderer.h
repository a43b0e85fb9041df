#pragma once

#include "Platform/AnnotationRenderer.h"

#include <vector>

namespace brisklet {

/// A renderer for tests: text measures with fixed metrics (every character 0.6 × the font size
/// wide, ascender 0.8, descender −0.2, no leading) and flattening copies the base image and
/// remembers what it was asked to draw. `failFlattening` makes it report `renderFailed`.
class FakeAnnotationRenderer final : public AnnotationRenderer {
public:
    TextFontMetrics fontMetrics(double fontSize) const override { return {0.8 * fontSize, -0.2 * fontSize, 0}; }

    double lineWidth(std::string_view line, double fontSize) const override {
        double characters = 0;
        for (char c : line) {
            // Count code points, not bytes, as a real font would.
            characters += (static_cast<unsigned char>(c) & 0xC0) != 0x80 ? 1 : 0;
        }
        return 0.6 * fontSize * characters;
    }

    Result<Image, ScreenshotEditorError> flatten(const Image& base, std::span<const AnnotationItem> items,
                                                 const AnnotationRenderOptions& options) const override {
        flattenedItems.assign(items.begin(), items.end());
        flattenedOptions = options;
        ++flattenCount;
        if (failFlattening || base.isEmpty()) {
            return Result<Image, ScreenshotEditorError>::failure(ScreenshotEditorError::renderFailed);
        }
        return Result<Image, ScreenshotEditorError>::success(base);
    }

    bool failFlattening = false;
    mutable std::vector<AnnotationItem> flattenedItems;
    mutable AnnotationRenderOptions flattenedOptions;
    mutable int flattenCount = 0;
};

} // namespace brisklet
