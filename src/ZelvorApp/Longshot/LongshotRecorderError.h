#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Foundation/EnumTable.h"

#include <string>

namespace brisklet {

/// Why a scrolling capture produced no file.
enum class LongshotRecorderError {
    noFrames,     ///< stopped before any frame was captured
    exportFailed, ///< composing, encoding or writing the image failed
};

template <> struct EnumTraits<LongshotRecorderError> {
    static constexpr std::array<std::pair<LongshotRecorderError, std::string_view>, 2> names{{
        {LongshotRecorderError::noFrames, "noFrames"},
        {LongshotRecorderError::exportFailed, "exportFailed"},
    }};
};

L10nKey l10nKey(LongshotRecorderError error);
/// The user message in the current interface language.
std::string localizedDescription(LongshotRecorderError error);

} // namespace brisklet
