#include "Platform/Linux/QtRender/QtAnnotationRenderer.h"

#include "Platform/Linux/QtRender/LinearAnnotationPainter.h"
#include "Platform/Linux/QtRender/NumberAnnotationPainter.h"
#include "Platform/Linux/QtRender/RedactionPainter.h"
#include "Platform/Linux/QtRender/ShapeAnnotationPainter.h"
#include "Platform/Linux/QtRender/StrokeAnnotationPainter.h"
#include "Platform/Linux/QtRender/TextAnnotationPainter.h"

#include <QGuiApplication>
#include <QImage>

#include <cstring>
#include <new>

namespace brisklet {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };
template <class... F> Overloaded(F...) -> Overloaded<F...>;

void prepare(QPainter& painter) {
    painter.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
}

} // namespace

QtAnnotationRenderer::QtAnnotationRenderer(QString fontFamily) : fonts_(std::move(fontFamily)) {}

TextFontMetrics QtAnnotationRenderer::fontMetrics(double fontSize) const {
    return fonts_.metrics(fontSize);
}

double QtAnnotationRenderer::lineWidth(std::string_view line, double fontSize) const {
    return fonts_.lineWidth(line, fontSize);
}

void QtAnnotationRenderer::paintItem(QPainter& painter, const AnnotationItem& item, const Image& base,
                                     const AnnotationRenderOptions& options) const {
    const bool enhanced = options.enhanceColors;
    std::visit(Overloaded{
                   [&](const RectangleAnnotation& r) { paintShapeAnnotation(painter, r, enhanced); },
                   [&](const ArrowAnnotation& a) { paintArrowAnnotation(painter, a, enhanced); },
                   [&](const LineAnnotation& l) { paintLineAnnotation(painter, l, enhanced); },
                   [&](const RedactionAnnotation& r) { paintRedactionAnnotation(painter, r, base); },
                   [&](const StrokeAnnotation& s) { paintStrokeAnnotation(painter, s, enhanced); },
                   [&](const TextAnnotation& t) { paintTextAnnotation(painter, t, fonts_, *this); },
                   [&](const NumberAnnotation& n) { paintNumberAnnotation(painter, n, fonts_, enhanced); },
               },
               item.value());
}

void QtAnnotationRenderer::paint(QPainter& painter, std::span<const AnnotationItem> items, const Image& base,
                                 const AnnotationRenderOptions& options) const {
    painter.save();
    prepare(painter);
    for (const auto& item : items) {
        paintItem(painter, item, base, options);
    }
    painter.restore();
}

Result<Image, ScreenshotEditorError> QtAnnotationRenderer::flatten(const Image& base,
                                                                   std::span<const AnnotationItem> items,
                                                                   const AnnotationRenderOptions& options) const {
    using R = Result<Image, ScreenshotEditorError>;
    if (QGuiApplication::instance() == nullptr || base.isEmpty()) {
        return R::failure(ScreenshotEditorError::renderFailed);
    }
    try {
        Image result = base;
        // An opaque image reads the same as straight or premultiplied pixels, so it is painted in
        // place; only an image with transparency needs converting there and back.
        const bool opaque = base.isOpaque();
        QImage canvas =
            opaque ? QImage(result.data(), result.width(), result.height(),
                            static_cast<qsizetype>(result.bytesPerRow()), QImage::Format_RGBA8888_Premultiplied)
                   : QImage(result.data(), result.width(), result.height(),
                            static_cast<qsizetype>(result.bytesPerRow()), QImage::Format_RGBA8888)
                         .convertToFormat(QImage::Format_RGBA8888_Premultiplied);
        if (canvas.isNull()) {
            return R::failure(ScreenshotEditorError::renderFailed);
        }
        {
            QPainter painter(&canvas);
            if (!painter.isActive()) {
                return R::failure(ScreenshotEditorError::renderFailed);
            }
            paint(painter, items, base, options);
        }
        if (!opaque) {
            const QImage straight = canvas.convertToFormat(QImage::Format_RGBA8888);
            if (straight.isNull()) {
                return R::failure(ScreenshotEditorError::renderFailed);
            }
            for (int y = 0; y < result.height(); ++y) {
                std::memcpy(result.row(y), straight.constScanLine(y), result.bytesPerRow());
            }
        }
        return R::success(std::move(result));
    } catch (const std::bad_alloc&) {
        return R::failure(ScreenshotEditorError::renderFailed);
    }
}

} // namespace brisklet
