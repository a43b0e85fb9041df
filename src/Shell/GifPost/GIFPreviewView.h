#pragma once

#include "Shell/ShellAppearance.h"

#include <QImage>
#include <QWidget>

namespace brisklet {

/// The frame at the playhead, as large as the view allows without distorting it, on a recessed
/// surface.
class GIFPreviewView final : public QWidget {
public:
    GIFPreviewView(const ShellAppearance& appearance, QWidget* parent);

    void setImage(QImage image);
    const QImage& image() const { return image_; }
    /// Where the image is drawn, in this widget's coordinates.
    QRectF imageRect() const;
    QSize sizeHint() const override { return {720, 400}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const ShellAppearance& appearance_;
    QImage image_;
};

} // namespace brisklet
