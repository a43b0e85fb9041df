#pragma once

#include "Shell/ShellAppearance.h"

#include <QImage>
#include <QWidget>

namespace brisklet {

class LocalizationStore;
class LongshotPreviewModel;

/// The live preview of a scrolling capture: the stitched picture so far, scaled down, with its
/// frame count and full height. It floats beside the region and never takes the keyboard or the
/// pointer's clicks.
class LongshotPreviewWindow final : public QWidget {
public:
    LongshotPreviewWindow(const LocalizationStore& localization, VisualAppearanceMode appearance);

    /// Redraws from the model (image, frame count, height).
    void render(const LongshotPreviewModel& model);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    QImage image_;
    QString counts_;
};

} // namespace brisklet
