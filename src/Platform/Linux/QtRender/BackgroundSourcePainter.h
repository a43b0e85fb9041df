#pragma once

#include "ZelvorCore/Models/BackgroundComposition.h"

#include <QPainter>
#include <QSizeF>

#include <filesystem>
#include <functional>
#include <optional>

namespace brisklet {

class BackgroundImageCache;

/// The picture the desktop shows now, asked for when a composition uses the desktop wallpaper.
using DesktopPictureLookup = std::function<std::optional<std::filesystem::path>()>;

/// Paints a composition's background over the whole canvas: presets and generated gradients,
/// solid colours, a custom picture or the desktop wallpaper (aspect-filled, adjusted, or shown
/// whole on a tall canvas), or nothing for a transparent background.
class BackgroundSourcePainter {
public:
    BackgroundSourcePainter(BackgroundImageCache& cache, DesktopPictureLookup desktopPicture);

    void paint(QPainter& painter, const BackgroundComposition& composition, QSizeF canvas) const;

    /// The plain window colour that stands in for a picture that cannot be read.
    static void paintWindowColor(QPainter& painter, QSizeF canvas);
    /// Whether the background is a picture (a custom one or the desktop's).
    static bool usesPicture(const BackgroundComposition& composition);
    /// A picture background drawn over a whole canvas (RGBA8888 premultiplied), from the cache
    /// when nothing changed; nothing when the picture cannot be read.
    std::optional<QImage> pictureLayer(const BackgroundComposition& composition, QSize canvas) const;

private:
    void paintPreset(QPainter& painter, const std::string& id, QSizeF canvas) const;
    /// The picture laid over the whole canvas (filled, adjusted, or shown whole on its backdrop).
    QImage drawPictureLayer(const std::string& version, const QImage& picture,
                            const BackgroundImageAdjustment& adjustment, QSize canvas) const;
    /// The picture adjusted for a drawn size, from the cache when it was made before.
    QImage adjustedPicture(const std::string& version, const QImage& picture, QSizeF drawnSize,
                           const BackgroundImageAdjustment& adjustment) const;

    BackgroundImageCache& cache_;
    DesktopPictureLookup desktopPicture_;
};

} // namespace brisklet
