#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"
#include "ZelvorCore/Foundation/EnumTable.h"

#include <string>

namespace brisklet {

enum class GIFRecorderError {
    noFrames,     ///< the recording ended before any frame was captured
    exportFailed, ///< the GIF file could not be created or finished
};

template <> struct EnumTraits<GIFRecorderError> {
    static constexpr std::array<std::pair<GIFRecorderError, std::string_view>, 2> names{{
        {GIFRecorderError::noFrames, "noFrames"},
        {GIFRecorderError::exportFailed, "exportFailed"},
    }};
};

/// The user-visible text of the error.
L10nKey messageKey(GIFRecorderError error);

/// A failed export with what went wrong underneath, for logs and the command line.
struct GIFExportFailure {
    GIFRecorderError error = GIFRecorderError::exportFailed;
    std::string detail;

    bool operator==(const GIFExportFailure&) const = default;
};

} // namespace brisklet
