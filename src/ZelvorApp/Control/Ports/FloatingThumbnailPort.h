#pragma once

#include "ZelvorApp/Thumbnails/FloatingThumbnailPresentationContext.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Models/ExportedAsset.h"
#include "ZelvorCore/Models/PreferenceChoices.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <filesystem>
#include <string>

namespace brisklet {

/// The stack of floating thumbnails shown after exports.
class FloatingThumbnailPort {
public:
    virtual ~FloatingThumbnailPort() = default;
    /// Shows the exported file, on the display the capture was taken on when `context` knows it.
    virtual void present(const ExportedAsset& asset, const VisualMemorySource& source,
                         const FloatingThumbnailPresentationContext& context) = 0;
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

    /// Re-editing a card: the edited version replaces it (`remove`), or the editor closed without
    /// a new picture and the card's countdown goes on. Unknown ids are ignored.
    virtual void remove(const std::string& id) = 0;
    virtual void resumeDismissal(const std::string& id) = 0;
};

} // namespace brisklet
