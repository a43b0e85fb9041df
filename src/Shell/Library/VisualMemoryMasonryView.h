#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <QAbstractScrollArea>

#include <functional>
#include <optional>

namespace brisklet {

class LibraryThumbnailCache;
class LocalizationStore;
class VisualMemoryLibraryViewModel;

/// The library's masonry grid. Only the cards inside the viewport are painted, and only their
/// pictures are asked for; the layout itself comes from the view model.
class VisualMemoryMasonryView final : public QAbstractScrollArea {
public:
    static constexpr int margin = 16;

    VisualMemoryMasonryView(VisualMemoryLibraryViewModel& viewModel, LibraryThumbnailCache& thumbnails,
                            const LocalizationStore& localization, QWidget* parent = nullptr);

    void setAppearance(const ShellAppearance& appearance);
    /// The view model changed: new scroll range and a repaint.
    void refresh();
    /// Scrolls so the primary selection is in view.
    void ensureSelectedVisible();

    /// A card's rectangle in viewport coordinates.
    QRect cardRect(std::size_t index);
    /// How many cards the last paint drew (the rest of the library was not touched).
    int paintedCardCount() const { return paintedCards_; }
    double availableWidth() const;

    /// Right click on a card (already selected).
    std::function<void(const VisualMemoryItem&, const QPoint&)> onContextMenu;
    /// Keys the grid does not handle itself (Space, Delete, Return reach the window through these).
    std::function<void()> onQuickLook;
    std::function<void()> onDelete;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    std::optional<std::size_t> indexAt(const QPoint& viewportPoint);
    void paintCard(QPainter& painter, const QRectF& rect, const VisualMemoryItem& item, bool selected, bool hovered);
    void paintEmptyState(QPainter& painter);
    void startDrag(const VisualMemoryItem& item);
    QString picturePath(const VisualMemoryItem& item) const;
    void updateScrollRange();

    VisualMemoryLibraryViewModel& viewModel_;
    LibraryThumbnailCache& thumbnails_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_ = ShellAppearance::light();
    std::optional<std::size_t> hovered_;
    std::optional<std::size_t> pressed_;
    QPoint pressPoint_;
    int paintedCards_ = 0;
};

} // namespace brisklet
