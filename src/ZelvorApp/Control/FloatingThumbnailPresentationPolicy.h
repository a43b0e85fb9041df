#pragma once

#include "ZelvorCore/Models/ExportKind.h"

namespace brisklet {

struct AppPreferences;

/// What the user is shown once an export succeeded.
enum class ExportPresentation { thumbnail, alert, nothing };

struct FloatingThumbnailPresentationPolicy {
    /// Screenshots, scrolling captures and GIFs get a thumbnail (when the preference or `force`
    /// asks for one); every other kind gets the export alert.
    static ExportPresentation presentation(ExportKind kind, const AppPreferences& preferences, bool force);
};

} // namespace brisklet
