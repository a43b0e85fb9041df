#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorApp/Editor/ScreenshotEditorEnvironment.h"
#include "ZelvorApp/Longshot/LongshotRecorderError.h"
#include "ZelvorApp/Recording/GIFRecorderError.h"
#include "ZelvorApp/Text/ScreenshotTranslationError.h"
#include "ZelvorApp/Video/VideoRecorderError.h"

#include <string>
#include <variant>

namespace brisklet {

class LocalizationStore;

/// Any other failure, carrying its own (already localised) description, possibly empty.
struct DescribedError {
    std::string description;
    bool operator==(const DescribedError&) const = default;
};

/// Every error a flow can end with.
using AppFlowError = std::variant<ScreenCaptureError, GIFRecorderError, LongshotRecorderError, VideoRecorderError,
                                  ScreenshotTranslationError, ScreenshotEditorFailure, DescribedError>;

/// The text the user is shown for `error`; a fallback text when the error has none.
std::string userMessage(const AppFlowError& error, const LocalizationStore& localization);
/// A short name for log lines, e.g. "captureFailed".
std::string logDescription(const AppFlowError& error);

} // namespace brisklet
