#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// What the user (or the stack itself) does with a floating thumbnail. `delete_` carries the raw
/// value "delete"; the underscore only keeps the C++ keyword out of the way.
enum class FloatingThumbnailAction { copy, saveOrReveal, open, reveal, pin, annotate, hide, delete_, retainedAfterDrag };

template <> struct EnumTraits<FloatingThumbnailAction> {
    static constexpr std::array<std::pair<FloatingThumbnailAction, std::string_view>, 9> names{{
        {FloatingThumbnailAction::copy, "copy"},
        {FloatingThumbnailAction::saveOrReveal, "saveOrReveal"},
        {FloatingThumbnailAction::open, "open"},
        {FloatingThumbnailAction::reveal, "reveal"},
        {FloatingThumbnailAction::pin, "pin"},
        {FloatingThumbnailAction::annotate, "annotate"},
        {FloatingThumbnailAction::hide, "hide"},
        {FloatingThumbnailAction::delete_, "delete"},
        {FloatingThumbnailAction::retainedAfterDrag, "retainedAfterDrag"},
    }};
};

} // namespace brisklet
