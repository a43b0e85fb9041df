#pragma once

#include "ZelvorApp/Thumbnails/FloatingThumbnailManagerDelegate.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Models/ExportedAsset.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <filesystem>
#include <functional>

namespace brisklet {

class AppModel;
class ApplicationHost;
class Clock;
class ExportService;
class FloatingThumbnailFileStore;
class ImageCodec;
class PinnedWindowsPort;

/// What a floating thumbnail's buttons do with its file: copy it, save a temporary one into the
/// export directory (or show a saved one in the file viewer), open, pin, annotate or delete it,
/// and keep a dragged-out temporary file long enough for the receiving application to read it.
class FloatingThumbnailActionHandler final : public FloatingThumbnailManagerDelegate {
public:
    /// A dragged-out temporary file stays this long.
    static constexpr double retentionAfterDragSeconds = 600;

    struct Services {
        ApplicationHost& host;
        ExportService& exportService;
        const ImageCodec& codec;
        const Clock& clock;
        const AppModel& model;
        const FloatingThumbnailFileStore& fileStore;
        PinnedWindowsPort* pinnedWindows = nullptr;
    };
    struct Callbacks {
        /// Opens the editor on the card's picture (the last argument is the card's id); false when
        /// it cannot open now.
        std::function<bool(Image, const VisualMemorySource&, const std::string&)> annotate;
        /// A temporary file became an export: it joins the recent exports.
        std::function<void(const std::filesystem::path&, ExportKind)> recordSaved;
        std::function<void(const ExportedAsset&)> deleteAsset;
    };

    FloatingThumbnailActionHandler(Services services, Callbacks callbacks);

    bool handle(FloatingThumbnailAction action, const FloatingThumbnailItem& item) override;

private:
    bool copy(const FloatingThumbnailItem& item);
    bool openOrReveal(const FloatingThumbnailItem& item, bool reveal);
    bool saveOrReveal(const FloatingThumbnailItem& item);
    bool pin(const FloatingThumbnailItem& item);
    bool annotate(const FloatingThumbnailItem& item);
    bool remove(const FloatingThumbnailItem& item);
    /// The full picture behind the card (the card's own image is only a preview).
    std::optional<Image> picture(const FloatingThumbnailItem& item) const;

    Services services_;
    Callbacks callbacks_;
};

} // namespace brisklet
