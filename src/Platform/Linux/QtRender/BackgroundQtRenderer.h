#pragma once

#include "Platform/BackgroundRenderer.h"
#include "Platform/Linux/QtRender/BackgroundImageCache.h"
#include "Platform/Linux/QtRender/BackgroundSourcePainter.h"

#include <QImage>
#include <QPainter>

namespace brisklet {

/// Draws backgrounds with QPainter over QImage, headless. Needs a QGuiApplication (the
/// "offscreen" platform is enough); without one every call fails with `renderFailed`.
///
/// Decoded and adjusted background pictures are cached, so repeated previews of one wallpaper
/// decode and blur it once.
class BackgroundQtRenderer final : public BackgroundRenderer {
public:
    /// `desktopPicture` names the desktop's picture when a composition asks for it (usually the
    /// wallpaper catalog's lookup); without it the desktop wallpaper shows as the window colour.
    explicit BackgroundQtRenderer(DesktopPictureLookup desktopPicture = {});

    Result<Image, BackgroundRenderError> compose(const Image& content, const BackgroundComposition& composition,
                                                 BackgroundCaptureContext context) const override;
    Result<Image, BackgroundRenderError> renderBackground(const BackgroundComposition& composition,
                                                          Size canvasSize) const override;
    Result<Image, BackgroundRenderError> renderFrameStage(const Image& background, const BackgroundLayout& layout,
                                                          const BackgroundComposition& composition) const override;
    Result<Image, BackgroundRenderError> composeFrame(const Image& stage, const BackgroundLayout& layout,
                                                      const BackgroundComposition& composition,
                                                      const Image& frame) const override;

    /// Paints the whole composition through `painter` (whose transform maps canvas pixels to the
    /// device), for the editor's live view.
    void paint(QPainter& painter, const QImage& content, const BackgroundComposition& composition,
               const BackgroundLayout& layout, BackgroundCaptureContext context) const;

    /// Forgets cached pictures (for example when the user picks a new wallpaper file with the
    /// same name).
    void clearCache() const { cache_.clear(); }

private:
    /// Shadow, chrome and screenshot over a background already painted.
    void paintForeground(QPainter& painter, const QImage& content, const BackgroundComposition& composition,
                         const BackgroundLayout& layout, BackgroundCaptureContext context) const;

    mutable BackgroundImageCache cache_;
    BackgroundSourcePainter sources_;
};

} // namespace brisklet
