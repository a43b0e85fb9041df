#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <QWidget>

#include <functional>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QToolButton;
class QStackedLayout;

namespace brisklet {

class LibraryThumbnailCache;
class LocalizationStore;
class TagFlowWidget;
class VisualMemoryLibraryViewModel;

/// The selected item in full: preview, kind, where it came from, dates, recognised text, tags
/// with their editor, and every action. With several items selected: their number and Delete.
class VisualMemoryDetailPanel final : public QWidget {
public:
    VisualMemoryDetailPanel(VisualMemoryLibraryViewModel& viewModel, LibraryThumbnailCache& thumbnails,
                            const LocalizationStore& localization, QWidget* parent = nullptr);

    /// Shows what the view model selects now (cheap when nothing changed).
    void refresh();
    void setAppearance(const ShellAppearance& appearance);
    /// The window's texts in the current language.
    void retranslate();

    QLineEdit* tagField() const { return tagField_; }
    QPlainTextEdit* textView() const { return text_; }
    QToolButton* actionButton(const QString& name) const;
    TagFlowWidget* tags() const { return tags_; }

private:
    QWidget* buildItemPage();
    QWidget* buildMultiplePage();
    QToolButton* addAction(QWidget* parent, const QString& name, const char* symbol,
                           std::function<void()> action);
    void showItem(const VisualMemoryItem& item);
    void refreshPreview();
    void refreshIcons();

    VisualMemoryLibraryViewModel& viewModel_;
    LibraryThumbnailCache& thumbnails_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_ = ShellAppearance::light();
    std::optional<VisualMemoryItem> shown_;
    std::size_t shownSelectionCount_ = 0;
    QStackedLayout* pages_ = nullptr;
    QLabel* empty_ = nullptr;
    QLabel* preview_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* facts_ = nullptr;
    QLabel* tagsHeading_ = nullptr;
    QLabel* textHeading_ = nullptr;
    TagFlowWidget* tags_ = nullptr;
    QLineEdit* tagField_ = nullptr;
    QPlainTextEdit* text_ = nullptr;
    QLabel* multipleCount_ = nullptr;
    std::vector<QToolButton*> actions_;
};

} // namespace brisklet
