#pragma once

#include "Platform/ScreenCaptureBackend.h"
#include "ZelvorApp/Infrastructure/L10nKey.h"

#include <string>

namespace brisklet {

class LocalizationStore;

/// The localization key of the message shown for `error`.
L10nKey l10nKey(ScreenCaptureError error);

/// The message for `error` in the current language, looked up afresh on every call.
std::string localizedDescription(ScreenCaptureError error, const LocalizationStore& localization);

} // namespace brisklet
