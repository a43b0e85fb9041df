#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Control/Ports/AppWindowPort.h"
#include "ZelvorApp/Library/VisualMemoryLibraryViewModel.h"

#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QListWidget;
class QSlider;
class QToolButton;

namespace brisklet {

class AppModel;
class DefaultsStore;
class LibraryQuickLookOverlay;
class LibraryThumbnailCache;
class LocalizationStore;
class VisualMemoryDetailPanel;
class VisualMemoryMasonryView;

/// The visual-memory library: collections with their counts on the left, the search, content
/// filter and card size above a masonry grid of the items, and the selected item's details on
/// the right. Its size, position and collection come back the next time it opens.
class VisualMemoryLibraryWindow final : public QWidget, public AppWindowPort {
public:
    static constexpr std::string_view geometryKey = "brisklet.visualLibrary.geometry";
    static constexpr int minimumWidth = 960;
    static constexpr int minimumHeight = 560;
    /// The item count of a sidebar row, and its collection name.
    static constexpr int countRole = Qt::UserRole + 1;
    static constexpr int collectionRole = Qt::UserRole + 2;
    static constexpr int symbolRole = Qt::UserRole + 3;

    VisualMemoryLibraryWindow(VisualMemoryLibraryViewModel& viewModel, LibraryThumbnailCache& thumbnails,
                              const LocalizationStore& localization, const AppModel& model, DefaultsStore* defaults);
    ~VisualMemoryLibraryWindow() override;

    /// Shows what the view model holds now.
    void refresh();
    /// Every text again, in the current language.
    void retranslate();

    void present() override;
    bool isVisible() const override { return QWidget::isVisible(); }
    void hide() override { QWidget::hide(); }
    void show() override { QWidget::show(); }

    QLineEdit* searchField() const { return search_; }
    QListWidget* sidebar() const { return sidebar_; }
    QToolButton* filterButton(VisualMemoryLibraryContentFilter filter) const;
    QSlider* sizeSlider() const { return size_; }
    VisualMemoryMasonryView* grid() const { return grid_; }
    VisualMemoryDetailPanel* detail() const { return detail_; }
    LibraryQuickLookOverlay* quickLook() const { return quickLook_; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QWidget* buildToolbar();
    void applyAppearance();
    void rebuildSidebar();
    void showContextMenu(const VisualMemoryItem& item, const QPoint& globalPosition);
    QString libraryStyleSheet(const ShellAppearance& appearance) const;

    VisualMemoryLibraryViewModel& viewModel_;
    LibraryThumbnailCache& thumbnails_;
    const LocalizationStore& localization_;
    const AppModel& model_;
    DefaultsStore* defaults_;
    ShellAppearance appearance_;
    bool appearanceApplied_ = false;
    bool geometryRestored_ = false;
    std::vector<VisualMemoryLibraryViewModel::SidebarRow> sidebarRows_;
    QLineEdit* search_ = nullptr;
    std::array<QToolButton*, 3> filters_{};
    QSlider* size_ = nullptr;
    QLabel* sizeIcon_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* sidebarHeading_ = nullptr;
    QListWidget* sidebar_ = nullptr;
    VisualMemoryMasonryView* grid_ = nullptr;
    VisualMemoryDetailPanel* detail_ = nullptr;
    LibraryQuickLookOverlay* quickLook_ = nullptr;
};

} // namespace brisklet
