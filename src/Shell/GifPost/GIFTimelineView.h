#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Recording/GIFTimelineInteraction.h"
#include "ZelvorApp/Recording/GIFTimelineLayout.h"

#include <QImage>
#include <QWidget>

#include <vector>

namespace brisklet {

class GIFPostProcessingModel;

/// The trim timeline: a strip of the recording's thumbnails, the kept range between its two
/// handles (the rest dimmed) and the playhead with its knob. Presses and drags go through
/// `GIFTimelineInteraction`, so what a press grabs is decided by the hit tester.
class GIFTimelineView final : public QWidget {
public:
    static constexpr int trackHeight = 52;

    GIFTimelineView(GIFPostProcessingModel& model, const ShellAppearance& appearance, QWidget* parent);

    /// The layout for the current size, in this widget's coordinates.
    GIFTimelineLayout layout() const;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void paintThumbnails(QPainter& painter, const QRectF& track) const;
    void paintSelection(QPainter& painter, const GIFTimelineLayout& layout) const;
    void paintPlayhead(QPainter& painter, const GIFTimelineLayout& layout) const;
    void updateCursor(Point point);

    GIFPostProcessingModel& model_;
    const ShellAppearance& appearance_;
    GIFTimelineInteraction interaction_;
    /// The model's thumbnails, scaled once to the strip's height.
    std::vector<QImage> strip_;
};

} // namespace brisklet
