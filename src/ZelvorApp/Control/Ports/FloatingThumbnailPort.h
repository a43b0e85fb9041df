#pragma once

#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Models/ExportedAsset.h"
#include "ZelvorCore/Models/PreferenceChoices.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <filesystem>

namespace brisklet {

/// The stack of floating thumbnails shown after exports.
class FloatingThumbnailPort {
public:
    virtual ~FloatingThumbnailPort() = default;
    /// Shows the exported file.
    virtual void present(const ExportedAsset& asset, const VisualMemorySource& source) = 0;
    /// Writes a quick screenshot as a temporary PNG and shows it. Returns false when the file
    /// could not be written (nothing is shown then).
    virtual bool presentQuickScreenshot(const Image& image) = 0;
    /// Hides every thumbnail for a capture; returns whether something visible was hidden.
    virtual bool suspend() = 0;
    virtual void resume() = 0;
    virtual void dismissAll() = 0;
    virtual void configure(FloatingThumbnailPosition position, double dismissDelaySeconds) = 0;
    /// Deletes temporary thumbnail files older than `ageSeconds`.
    virtual void removeTemporaryFiles(double ageSeconds) = 0;
};

} // namespace brisklet
