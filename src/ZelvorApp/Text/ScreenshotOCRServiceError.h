#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

#include <optional>
#include <string>

namespace brisklet {

class LocalizationStore;

/// The text-recognition service's own failure.
enum class ScreenshotOCRServiceError { recognitionFailed };

template <> struct EnumTraits<ScreenshotOCRServiceError> {
    static constexpr std::array<std::pair<ScreenshotOCRServiceError, std::string_view>, 1> names{{
        {ScreenshotOCRServiceError::recognitionFailed, "recognitionFailed"},
    }};
};

/// The user-facing description; failure reason, recovery suggestion and help anchor are empty.
std::optional<std::string> localizedErrorMessage(ScreenshotOCRServiceError error,
                                                 const LocalizationStore& localization);

} // namespace brisklet
