#pragma once

#include "Shell/ShellAppearance.h"

#include <QWidget>

#include <optional>
#include <vector>

namespace brisklet {

class FloatingThumbnailCard;
class FloatingThumbnailManager;
struct FloatingThumbnailItem;
class LocalizationStore;

/// The window holding the card stack in a corner of the screen: above every window, never
/// taking the keyboard, out of the taskbar, and shaped to its cards so clicks beside them reach
/// the windows below.
class FloatingThumbnailPanel final : public QWidget {
public:
    static constexpr int gap = 10;
    static constexpr int margin = 16;

    FloatingThumbnailPanel(FloatingThumbnailManager& manager, const LocalizationStore& localization);

    /// Builds the cards again from the manager and places the panel in its corner.
    void refresh(const ShellAppearance& appearance);
    const std::vector<FloatingThumbnailCard*>& cards() const { return cards_; }

private:
    FloatingThumbnailCard* makeCard(const FloatingThumbnailItem& item, const ShellAppearance& appearance);
    void place();

    FloatingThumbnailManager& manager_;
    const LocalizationStore& localization_;
    std::vector<FloatingThumbnailCard*> cards_;
    /// The look the cards were built in.
    std::optional<bool> lookDark_;
};

} // namespace brisklet
