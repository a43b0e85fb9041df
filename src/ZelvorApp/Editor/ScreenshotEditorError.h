#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

namespace brisklet {

/// Why the editor could not produce or write its image.
enum class ScreenshotEditorError { renderFailed, encodeUnavailable, encodeFailed };

template <> struct EnumTraits<ScreenshotEditorError> {
    static constexpr std::array<std::pair<ScreenshotEditorError, std::string_view>, 3> names{{
        {ScreenshotEditorError::renderFailed, "renderFailed"},
        {ScreenshotEditorError::encodeUnavailable, "encodeUnavailable"},
        {ScreenshotEditorError::encodeFailed, "encodeFailed"},
    }};
};

} // namespace brisklet
