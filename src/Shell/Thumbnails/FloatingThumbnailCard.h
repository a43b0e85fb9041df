#pragma once

#include "Shell/ShellAppearance.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailAction.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailItem.h"

#include <QImage>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

class QToolButton;

namespace brisklet {

class LocalizationStore;

/// One card of the stack: the export's preview, and on hover its buttons (close, pin, copy,
/// save or show in folder, annotate). A click opens the file, a drag carries it into another
/// application, the right button offers every action.
class FloatingThumbnailCard final : public QWidget {
public:
    static constexpr int cardWidth = 220;
    static constexpr int cardHeight = 140;

    struct Callbacks {
        std::function<void(FloatingThumbnailAction)> perform;
        std::function<void(bool)> hovered;
        std::function<void()> dragStarted;
        /// Whether another application took the file.
        std::function<void(bool)> dragFinished;
    };

    FloatingThumbnailCard(const FloatingThumbnailItem& item, const LocalizationStore& localization,
                          const ShellAppearance& appearance, Callbacks callbacks, QWidget* parent);

    const Uuid& itemID() const { return item_.id; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    QToolButton* addButton(const char* symbol, L10nKey tip, FloatingThumbnailAction action);
    void setButtonsVisible(bool visible);
    void startDrag();

    FloatingThumbnailItem item_;
    const LocalizationStore& localization_;
    ShellAppearance appearance_;
    Callbacks callbacks_;
    QImage preview_;
    std::vector<QToolButton*> buttons_;
    std::optional<QPoint> pressedAt_;
};

} // namespace brisklet
