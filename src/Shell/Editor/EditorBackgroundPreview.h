#pragma once

#include "ZelvorApp/Background/BackgroundLayout.h"
#include "ZelvorCore/Models/BackgroundComposition.h"

#include <QImage>
#include <QPainterPath>
#include <QRectF>

#include <optional>

class QPainter;

namespace brisklet {

class BackgroundQtRenderer;

/// The background canvas as the editor shows it: where the canvas goes in the window, and one
/// picture of it drawn by the renderer the export uses, redrawn only when the composition, the
/// screenshot or the place changes.
class EditorBackgroundPreview {
public:
    /// Where the canvas and the screenshot on it stand in the view, and the view points per
    /// image pixel.
    struct Placement {
        QRectF canvas;
        QRectF content;
        double scale = 1;
        bool operator==(const Placement&) const = default;
    };

    /// The canvas centred on the screenshot's own place, at the screenshot's scale, made smaller
    /// when it would not fit `bounds` less `margin` on each side, and kept inside them.
    static Placement place(const BackgroundLayout& layout, const QRectF& selection, double imageScale,
                           const QRectF& bounds, double margin);

    explicit EditorBackgroundPreview(const BackgroundQtRenderer& renderer) : renderer_(renderer) {}

    /// Draws the canvas for this composition and placement (a no-op when nothing changed).
    void update(const QImage& content, const BackgroundComposition& composition, BackgroundCaptureContext context,
                const Placement& placement, qreal devicePixelRatio);
    void clear();
    bool isShown() const { return !picture_.isNull(); }
    const Placement& placement() const { return placement_; }
    const QImage& picture() const { return picture_; }
    /// The rounded shape of the screenshot on the canvas, in view coordinates.
    const QPainterPath& contentShape() const { return contentShape_; }
    /// Paints the canvas at its place (a checkerboard shows through a transparent background).
    void paint(QPainter& painter) const;

private:
    const BackgroundQtRenderer& renderer_;
    QImage picture_;
    QPainterPath contentShape_;
    Placement placement_;
    std::optional<BackgroundComposition> composition_;
    qint64 contentKey_ = 0;
    qreal ratio_ = 0;
};

} // namespace brisklet
