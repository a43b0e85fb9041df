#include "Shell/Thumbnails/FloatingThumbnailPanel.h"

#include "Shell/QtDesktopGeometry.h"
#include "Shell/Thumbnails/FloatingThumbnailCard.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailManager.h"

#include <QCursor>
#include <QGuiApplication>
#include <QRegion>
#include <QScreen>

#include <algorithm>

namespace brisklet {

FloatingThumbnailPanel::FloatingThumbnailPanel(FloatingThumbnailManager& manager, const LocalizationStore& localization)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus),
      manager_(manager), localization_(localization) {
    setProperty("briskletWindowRole", QStringLiteral("floatingThumbnails"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
}

void FloatingThumbnailPanel::refresh(const ShellAppearance& appearance) {
    // Cards that stay are kept, so the one under the pointer keeps its hover (and its paused
    // timer) while another card comes or goes; a change of look builds them all again.
    const bool restyled = !lookDark_ || *lookDark_ != appearance.dark;
    lookDark_ = appearance.dark;
    std::vector<FloatingThumbnailCard*> kept;
    if (manager_.isVisible()) {
        for (const FloatingThumbnailItem& item : manager_.items()) {
            const auto found = std::find_if(cards_.begin(), cards_.end(), [&item](const FloatingThumbnailCard* card) {
                return card->itemID() == item.id;
            });
            if (found != cards_.end() && !restyled) {
                kept.push_back(*found);
                cards_.erase(found);
            } else {
                kept.push_back(makeCard(item, appearance));
            }
        }
    }
    for (FloatingThumbnailCard* card : cards_) {
        card->hide();
        card->deleteLater();
    }
    cards_ = std::move(kept);
    if (cards_.empty()) {
        if (isVisible()) {
            RuntimeLogger::log("floating thumbnail panel hidden");
        }
        hide();
        return;
    }
    place();
    show();
    raise();
}

FloatingThumbnailCard* FloatingThumbnailPanel::makeCard(const FloatingThumbnailItem& item,
                                                        const ShellAppearance& appearance) {
    const Uuid id = item.id;
    FloatingThumbnailCard::Callbacks callbacks;
    // Posted: an action may remove the card whose button is being clicked.
    callbacks.perform = [this, id](FloatingThumbnailAction action) {
        QMetaObject::invokeMethod(this, [this, id, action] { manager_.perform(action, id); }, Qt::QueuedConnection);
    };
    callbacks.hovered = [this, id](bool inside) {
        if (inside) {
            manager_.pauseDismissal(id);
        } else {
            manager_.resumeDismissal(id);
        }
    };
    callbacks.dragStarted = [this, id] { manager_.beginDragging({id}); };
    callbacks.dragFinished = [this, id](bool taken) {
        QMetaObject::invokeMethod(this, [this, id, taken] { manager_.finishDragging({id}, taken); },
                                  Qt::QueuedConnection);
    };
    return new FloatingThumbnailCard(item, localization_, appearance, std::move(callbacks), this);
}

void FloatingThumbnailPanel::place() {
    const int count = static_cast<int>(cards_.size());
    const int width = FloatingThumbnailCard::cardWidth;
    const int height = count * FloatingThumbnailCard::cardHeight + (count - 1) * gap;
    // The stack stands on the display of the latest capture; without one, where the user is.
    const auto& captureFrame = manager_.presentationContext().captureFrame;
    QScreen* screen = QGuiApplication::screenAt(
        captureFrame ? QtDesktopGeometry::globalRect(*captureFrame).center() : QCursor::pos());
    const QRect area = (screen ? screen : QGuiApplication::primaryScreen())->availableGeometry();
    const FloatingThumbnailPosition corner = manager_.position();
    const bool left = corner == FloatingThumbnailPosition::topLeft || corner == FloatingThumbnailPosition::bottomLeft;
    const bool top = corner == FloatingThumbnailPosition::topLeft || corner == FloatingThumbnailPosition::topRight;
    const int x = left ? area.left() + margin : area.right() + 1 - margin - width;
    const int y = top ? area.top() + margin : area.bottom() + 1 - margin - height;
    setGeometry(x, y, width, height);
    // The newest card stands nearest the corner.
    QRegion shape;
    for (int i = 0; i < count; ++i) {
        const int offset = i * (FloatingThumbnailCard::cardHeight + gap);
        const int cardY = top ? offset : height - FloatingThumbnailCard::cardHeight - offset;
        cards_[static_cast<std::size_t>(i)]->move(0, cardY);
        cards_[static_cast<std::size_t>(i)]->show();
        shape += QRect(0, cardY, width, FloatingThumbnailCard::cardHeight);
    }
    setMask(shape);
    RuntimeLogger::log("floating thumbnail panel frame=" + std::to_string(x) + "," + std::to_string(y) + "," +
                       std::to_string(width) + "x" + std::to_string(height) + " count=" + std::to_string(count));
}

} // namespace brisklet
