#pragma once

#include "Shell/ShellAppearance.h"

#include <QHash>
#include <QPixmap>
#include <QWidget>

#include <functional>

class QBoxLayout;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QToolButton;
class QVBoxLayout;

namespace brisklet {

class AppModel;
class LocalizationStore;
class MainPanelViewModel;
struct VisualMemoryItem;

/// The main panel's content: the capture actions, the search over the visual memory with its
/// quick filters, the newest items with their actions, and the way into the library.
class MainPanelWidget final : public QWidget {
public:
    static constexpr int panelWidth = 368;
    static constexpr int compactPanelHeight = 420;
    static constexpr int expandedPanelHeight = 760;

    MainPanelWidget(MainPanelViewModel& viewModel, const AppModel& model, const LocalizationStore& localization,
                    QWidget* parent = nullptr);
    ~MainPanelWidget() override;

    /// Rebuilds the texts, colours and rows from the view model.
    void refresh();
    /// Runs after the height changed (the window around it follows).
    std::function<void()> onSizeChanged;
    /// A row is being dragged out: the panel must step aside for the drop target (true when it
    /// did), and come back afterwards.
    std::function<bool()> onDragBegin;
    std::function<void()> onDragEnd;

private:
    void build();
    void applyAppearance();
    void retranslate();
    void rebuildRows();
    QWidget* makeRow(int index);
    QToolButton* makeQuickAction(const char* symbol, int glyph);
    void dragOut(const VisualMemoryItem& item, const QPixmap& picture);

    MainPanelViewModel& viewModel_;
    const AppModel& model_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    QLabel* title_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* captureHeading_ = nullptr;
    QLabel* recentHeading_ = nullptr;
    QLabel* emptyState_ = nullptr;
    QToolButton* settingsButton_ = nullptr;
    QToolButton* libraryButton_ = nullptr;
    QLineEdit* search_ = nullptr;
    QButtonGroup* filters_ = nullptr;
    QList<QToolButton*> quickActions_;
    QList<QToolButton*> filterButtons_;
    QVBoxLayout* rowsLayout_ = nullptr;
    /// A row is being dragged: its widget must outlive the drag, so refreshes wait.
    bool dragging_ = false;
    QHash<QString, QPixmap> thumbnailCache_;
    bool refreshPending_ = false;
};

} // namespace brisklet
