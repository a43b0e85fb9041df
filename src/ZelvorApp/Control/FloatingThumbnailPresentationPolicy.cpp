#include "ZelvorApp/Control/FloatingThumbnailPresentationPolicy.h"

#include "ZelvorCore/Models/AppPreferences.h"

namespace brisklet {

ExportPresentation FloatingThumbnailPresentationPolicy::presentation(ExportKind kind, const AppPreferences& preferences,
                                                                     bool force) {
    switch (kind) {
    case ExportKind::screenshot:
    case ExportKind::longshot:
    case ExportKind::gif:
        return preferences.showsFloatingThumbnailAfterScreenshotExport || force ? ExportPresentation::thumbnail
                                                                                : ExportPresentation::nothing;
    default:
        return ExportPresentation::alert;
    }
}

} // namespace brisklet
