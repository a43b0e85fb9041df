#pragma once

#include "Shell/ShellAppearance.h"

#include <QDialog>
#include <QHash>
#include <QPixmap>
#include <QString>

#include <cstdint>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace brisklet {

class WindowPickerViewModel;

/// The window that lists other applications' windows for a recording: a live thumbnail, the
/// title and the owner of each, a check-mark on the selected one, Cancel and Start Recording.
/// It only shows the model and hands it the user's clicks and keys; closing it cancels.
class WindowPickerWindow final : public QDialog {
public:
    struct Texts {
        QString title;
        QString heading;
        QString description;
        QString emptyList;
        QString cancel;
        QString startRecording;
        /// The confirm button's symbol: recording, or the super screenshot's own.
        QString startSymbol = QStringLiteral("record.circle");
    };

    static constexpr QSize thumbnailSize{96, 60};

    WindowPickerWindow(WindowPickerViewModel& model, const Texts& texts, const ShellAppearance& appearance);
    ~WindowPickerWindow() override;

    /// Shows the model's list and selection as they are now.
    void refresh();
    /// Replaces the picture on window `id`'s row (remembered for rows rebuilt later).
    void setThumbnail(std::int64_t id, const QPixmap& picture);

    // Cancel, Escape and the title bar's close button all end up here.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void build(const Texts& texts);
    void rebuildRows();
    void showSelection();
    QPixmap tile(std::int64_t id) const;
    QPixmap placeholderTile() const;

    WindowPickerViewModel& model_;
    ShellAppearance appearance_;
    QListWidget* list_ = nullptr;
    QLabel* emptyState_ = nullptr;
    QPushButton* startButton_ = nullptr;
    /// The ids and texts the rows show, to rebuild them only when those change.
    std::vector<std::int64_t> shownIDs_;
    std::vector<QString> shownTexts_;
    QHash<qint64, QPixmap> thumbnails_;
    bool syncing_ = false;
};

} // namespace brisklet
