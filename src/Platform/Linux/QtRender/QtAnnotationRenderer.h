#pragma once

#include "Platform/AnnotationRenderer.h"
#include "Platform/Linux/QtRender/AnnotationFont.h"

#include <QPainter>
#include <QString>

namespace brisklet {

/// Draws annotations with QPainter: into a copy of the base image for export, or into any
/// painter (the editor view) for the live picture, with the same code.
///
/// Fonts need a QGuiApplication; the process creates one before it makes a renderer (the
/// application's main does; command-line runs without a display use the "offscreen" platform;
/// tests make their own). Without one, `flatten` fails with `renderFailed` instead of crashing.
class QtAnnotationRenderer final : public AnnotationRenderer {
public:
    /// `fontFamily` empty: the desktop's general font.
    explicit QtAnnotationRenderer(QString fontFamily = {});

    TextFontMetrics fontMetrics(double fontSize) const override;
    double lineWidth(std::string_view line, double fontSize) const override;
    Result<Image, ScreenshotEditorError> flatten(const Image& base, std::span<const AnnotationItem> items,
                                                 const AnnotationRenderOptions& options) const override;

    /// Draws `items` in order through `painter`, whose transform maps image pixels to the device.
    /// Redactions read their pixels from `base`.
    void paint(QPainter& painter, std::span<const AnnotationItem> items, const Image& base,
               const AnnotationRenderOptions& options) const;
    void paintItem(QPainter& painter, const AnnotationItem& item, const Image& base,
                   const AnnotationRenderOptions& options) const;

private:
    AnnotationFont fonts_;
};

} // namespace brisklet
