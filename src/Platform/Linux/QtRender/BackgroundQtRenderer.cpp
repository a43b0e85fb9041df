#include "Platform/Linux/QtRender/BackgroundQtRenderer.h"

#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Platform/Linux/QtRender/BackgroundFrameCompositor.h"
#include "Platform/Linux/QtRender/BackgroundImageEffects.h"
#include "Platform/Linux/QtRender/BackgroundShadowPainter.h"
#include "Platform/Linux/QtRender/DeviceFramePainter.h"
#include "ZelvorApp/Background/BackgroundRenderPlan.h"

#include <QGuiApplication>

#include <cmath>
#include <cstring>
#include <new>

namespace brisklet {

namespace {

using ImageResult = Result<Image, BackgroundRenderError>;

QRectF toQRect(const Rect& r) {
    return {r.minX(), r.minY(), r.width(), r.height()};
}

/// A canvas `Image` and a QImage painting straight into its pixels (premultiplied while
/// painting; `finish` converts to the straight alpha `Image` keeps).
class Canvas {
public:
    static std::optional<Canvas> make(Size size) {
        if (!BackgroundCanvasLimits::allows(size.width, size.height)) {
            return std::nullopt;
        }
        return Canvas(Image(static_cast<int>(size.width), static_cast<int>(size.height)));
    }
    static Canvas copying(const Image& image) {
        Canvas canvas(image);
        if (!image.isOpaque()) {
            canvas.premultiplyInPlace();
        }
        return canvas;
    }

    QImage& surface() { return surface_; }
    /// Starts from `layer` (same size, RGBA8888 premultiplied) instead of transparency.
    void copyFrom(const QImage& layer) {
        if (layer.size() != surface_.size() || layer.format() != surface_.format()) {
            return;
        }
        for (int y = 0; y < surface_.height(); ++y) {
            std::memcpy(image_.row(y), layer.constScanLine(y), image_.bytesPerRow());
        }
    }
    Image finish() {
        unpremultiplyInPlace(image_);
        return std::move(image_);
    }

private:
    explicit Canvas(Image image)
        : image_(std::move(image)),
          surface_(image_.data(), image_.width(), image_.height(), static_cast<qsizetype>(image_.bytesPerRow()),
                   QImage::Format_RGBA8888_Premultiplied) {}
    void premultiplyInPlace() {
        std::uint8_t* p = image_.data();
        const std::size_t count = static_cast<std::size_t>(image_.width()) * static_cast<std::size_t>(image_.height());
        for (std::size_t i = 0; i < count; ++i, p += 4) {
            const unsigned a = p[3];
            if (a != 255) {
                for (int c = 0; c < 3; ++c) {
                    p[c] = static_cast<std::uint8_t>((p[c] * a + 127) / 255);
                }
            }
        }
    }

    Image image_;
    QImage surface_;
};

bool canPaint() {
    return QGuiApplication::instance() != nullptr;
}

/// Runs `draw` on a fresh canvas of `size`; the common failure handling of every entry point.
template <class Draw> ImageResult paintCanvas(std::optional<Canvas> canvas, Draw&& draw) {
    if (!canPaint()) {
        return ImageResult::failure(BackgroundRenderError::renderFailed);
    }
    if (!canvas || canvas->surface().isNull()) {
        return ImageResult::failure(BackgroundRenderError::canvasTooLarge);
    }
    {
        QPainter painter(&canvas->surface());
        if (!painter.isActive()) {
            return ImageResult::failure(BackgroundRenderError::renderFailed);
        }
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        draw(painter);
    }
    return ImageResult::success(canvas->finish());
}

/// The screenshot in its rectangle with rounded corners. Most of it is copied as it is; only the
/// corners go through the antialiased rounded shape.
void paintContent(QPainter& painter, const QImage& content, const QRectF& rect, double radius) {
    const double r = std::min(radius, std::min(rect.width(), rect.height()) / 2);
    if (r <= 0.01) {
        painter.drawImage(rect, content);
        return;
    }
    const double c = std::ceil(r);
    painter.save();
    QRegion body(rect.adjusted(c, 0, -c, 0).toAlignedRect());
    body += QRegion(rect.adjusted(0, c, 0, -c).toAlignedRect());
    painter.setClipRegion(body);
    painter.drawImage(rect, content);
    painter.restore();

    QBrush texture(content);
    texture.setTransform(QTransform::fromScale(rect.width() / content.width(), rect.height() / content.height()) *
                         QTransform::fromTranslate(rect.x(), rect.y()));
    const QPainterPath shape = roundedRectPath(rect, r);
    const QRectF corners[] = {
        {rect.left(), rect.top(), c, c},
        {rect.right() - c, rect.top(), c, c},
        {rect.left(), rect.bottom() - c, c, c},
        {rect.right() - c, rect.bottom() - c, c, c},
    };
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(texture);
    for (const QRectF& corner : corners) {
        painter.setClipRect(corner);
        painter.drawPath(shape);
    }
    painter.restore();
}

} // namespace

BackgroundQtRenderer::BackgroundQtRenderer(DesktopPictureLookup desktopPicture)
    : sources_(cache_, std::move(desktopPicture)) {}

void BackgroundQtRenderer::paint(QPainter& painter, const QImage& content, const BackgroundComposition& composition,
                                 const BackgroundLayout& layout, BackgroundCaptureContext context) const {
    painter.save();
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    sources_.paint(painter, composition, QSizeF(layout.canvasSize.width, layout.canvasSize.height));
    paintForeground(painter, content, composition, layout, context);
    painter.restore();
}

void BackgroundQtRenderer::paintForeground(QPainter& painter, const QImage& content,
                                           const BackgroundComposition& composition, const BackgroundLayout& layout,
                                           BackgroundCaptureContext context) const {
    const double radius = BackgroundRenderPlan::effectiveCornerRadius(&composition, context);
    if (const auto shadow = BackgroundRenderPlan::frameShadow(composition, layout)) {
        // An opaque screenshot hides the shadow under it, so that part is not drawn at all.
        const QRegion covered =
            content.hasAlphaChannel() ? QRegion() : coveredByRoundedRect(toQRect(layout.contentRect), radius);
        paintBackgroundShadow(painter, *shadow, &cache_, covered);
    }
    paintDeviceFrame(painter, composition.frameStyle, layout, radius);
    paintContent(painter, content, toQRect(layout.contentRect), radius);
}

ImageResult BackgroundQtRenderer::compose(const Image& content, const BackgroundComposition& composition,
                                          BackgroundCaptureContext context) const {
    if (content.isEmpty()) {
        return ImageResult::failure(BackgroundRenderError::emptyContent);
    }
    try {
        const BackgroundLayout layout = BackgroundLayout::make(
            {static_cast<double>(content.width()), static_cast<double>(content.height())}, composition);
        // An opaque screenshot is read in place as RGBX, which Qt copies without blending.
        const bool opaque = content.isOpaque();
        const QImage wrapped(content.data(), content.width(), content.height(),
                             static_cast<qsizetype>(content.bytesPerRow()),
                             opaque ? QImage::Format_RGBX8888 : QImage::Format_RGBA8888);
        const QImage picture = opaque ? wrapped : wrapped.convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        auto canvas = Canvas::make(layout.canvasSize);
        // A picture background is copied in whole rather than drawn: it is the largest layer.
        const bool usesPicture = canvas && BackgroundSourcePainter::usesPicture(composition);
        std::optional<QImage> layer;
        if (usesPicture) {
            layer = sources_.pictureLayer(composition, canvas->surface().size());
            if (layer) {
                canvas->copyFrom(*layer);
            }
        }
        return paintCanvas(std::move(canvas), [&](QPainter& painter) {
            const QSizeF size(layout.canvasSize.width, layout.canvasSize.height);
            if (usesPicture && !layer) {
                BackgroundSourcePainter::paintWindowColor(painter, size);
            } else if (!usesPicture) {
                sources_.paint(painter, composition, size);
            }
            paintForeground(painter, picture, composition, layout, context);
        });
    } catch (const std::bad_alloc&) {
        return ImageResult::failure(BackgroundRenderError::renderFailed);
    }
}

ImageResult BackgroundQtRenderer::renderBackground(const BackgroundComposition& composition, Size canvasSize) const {
    try {
        return paintCanvas(Canvas::make({std::ceil(canvasSize.width), std::ceil(canvasSize.height)}),
                           [&](QPainter& painter) {
                               sources_.paint(painter, composition, QSizeF(canvasSize.width, canvasSize.height));
                           });
    } catch (const std::bad_alloc&) {
        return ImageResult::failure(BackgroundRenderError::renderFailed);
    }
}

ImageResult BackgroundQtRenderer::renderFrameStage(const Image& background, const BackgroundLayout& layout,
                                                   const BackgroundComposition& composition) const {
    if (background.isEmpty()) {
        return ImageResult::failure(BackgroundRenderError::emptyContent);
    }
    try {
        const auto shadow = BackgroundRenderPlan::animationShadow(composition, layout);
        if (!shadow) {
            return ImageResult::success(background);
        }
        return paintCanvas(Canvas::copying(background),
                           [&](QPainter& painter) { paintBackgroundShadow(painter, *shadow, &cache_); });
    } catch (const std::bad_alloc&) {
        return ImageResult::failure(BackgroundRenderError::renderFailed);
    }
}

ImageResult BackgroundQtRenderer::composeFrame(const Image& stage, const BackgroundLayout& layout,
                                               const BackgroundComposition& composition, const Image& frame) const {
    if (stage.isEmpty() || frame.isEmpty()) {
        return ImageResult::failure(BackgroundRenderError::emptyContent);
    }
    try {
        const Rect& rect = layout.contentRect;
        const int width = static_cast<int>(rect.width());
        const int height = static_cast<int>(rect.height());
        Image result = stage;
        if (frame.width() == width && frame.height() == height) {
            drawFrameRounded(result, frame, rect, composition.cornerRadius);
        } else {
            // A frame of another size (the recording's size changed) is scaled into place.
            if (!canPaint()) {
                return ImageResult::failure(BackgroundRenderError::renderFailed);
            }
            const Image scaled = fromQImage(toQImage(frame).scaled(std::max(width, 1), std::max(height, 1),
                                                                   Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
            drawFrameRounded(result, scaled, rect, composition.cornerRadius);
        }
        return ImageResult::success(std::move(result));
    } catch (const std::bad_alloc&) {
        return ImageResult::failure(BackgroundRenderError::renderFailed);
    }
}

} // namespace brisklet
