#pragma once

#include "Shell/ShellAppearance.h"

#include <QWidget>

namespace brisklet {

class LibraryThumbnailCache;
class VisualMemoryLibraryViewModel;

/// The large preview over the library window (Space): the selected picture or text as big as
/// the window allows. Space, Escape or a click close it; the arrow keys go through the items.
class LibraryQuickLookOverlay final : public QWidget {
public:
    LibraryQuickLookOverlay(VisualMemoryLibraryViewModel& viewModel, LibraryThumbnailCache& thumbnails,
                            QWidget* parent);
    /// Follows the view model: shown while its preview is open.
    void refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    VisualMemoryLibraryViewModel& viewModel_;
    LibraryThumbnailCache& thumbnails_;
};

} // namespace brisklet
