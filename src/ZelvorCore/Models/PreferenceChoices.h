#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// Screen corner where the floating thumbnail of a fresh export appears.
enum class FloatingThumbnailPosition { topLeft, topRight, bottomLeft, bottomRight };

/// What a double click on a pinned screenshot does.
enum class PinnedMouseDoubleClickAction { none, close, copyAndClose };

/// Capture actions offered as quick actions of the main panel.
enum class QuickActionType { screenshot, longshot, gifRegion, gifWindow };

template <> struct EnumTraits<FloatingThumbnailPosition> {
    static constexpr std::array<std::pair<FloatingThumbnailPosition, std::string_view>, 4> names{{
        {FloatingThumbnailPosition::topLeft, "topLeft"},
        {FloatingThumbnailPosition::topRight, "topRight"},
        {FloatingThumbnailPosition::bottomLeft, "bottomLeft"},
        {FloatingThumbnailPosition::bottomRight, "bottomRight"},
    }};
};

template <> struct EnumTraits<PinnedMouseDoubleClickAction> {
    static constexpr std::array<std::pair<PinnedMouseDoubleClickAction, std::string_view>, 3> names{{
        {PinnedMouseDoubleClickAction::none, "none"},
        {PinnedMouseDoubleClickAction::close, "close"},
        {PinnedMouseDoubleClickAction::copyAndClose, "copyAndClose"},
    }};
};

template <> struct EnumTraits<QuickActionType> {
    static constexpr std::array<std::pair<QuickActionType, std::string_view>, 4> names{{
        {QuickActionType::screenshot, "screenshot"},
        {QuickActionType::longshot, "longshot"},
        {QuickActionType::gifRegion, "gifRegion"},
        {QuickActionType::gifWindow, "gifWindow"},
    }};
};

} // namespace brisklet
