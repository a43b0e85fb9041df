#pragma once

#include "ZelvorApp/Control/Ports/FloatingThumbnailPort.h"

#include <filesystem>
#include <memory>

namespace brisklet {

class AppModel;
class Clock;
class FloatingThumbnailFileStore;
class FloatingThumbnailManager;
class FloatingThumbnailManagerDelegate;
class FloatingThumbnailPanel;
class ImageCodec;
class LocalizationStore;
class MainQueue;

/// The floating thumbnails on this desktop: the stack's rules, its temporary files and its
/// window.
class QtFloatingThumbnails final : public FloatingThumbnailPort {
public:
    struct Services {
        const ImageCodec& codec;
        MainQueue& mainQueue;
        const Clock& clock;
        const AppModel& model;
        const LocalizationStore& localization;
        /// The application's data directory; the temporary files go into "FloatingThumbnails".
        std::filesystem::path dataDirectory;
    };

    explicit QtFloatingThumbnails(Services services);
    ~QtFloatingThumbnails() override;

    /// What the cards' actions do (the application controller's handler); not owned.
    void setDelegate(FloatingThumbnailManagerDelegate* delegate);
    const FloatingThumbnailFileStore& fileStore() const { return *fileStore_; }
    FloatingThumbnailManager& manager() { return *manager_; }
    FloatingThumbnailPanel& panel() { return *panel_; }

    void present(const ExportedAsset& asset, const VisualMemorySource& source,
                 const FloatingThumbnailPresentationContext& context) override;
    bool presentQuickScreenshot(const Image& image) override;
    bool suspend() override;
    void resume() override;
    void dismissAll() override;
    void configure(FloatingThumbnailPosition position, double dismissDelaySeconds) override;
    void removeTemporaryFiles(double ageSeconds) override;
    void remove(const std::string& id) override;
    void resumeDismissal(const std::string& id) override;

private:
    void refresh();

    Services services_;
    std::unique_ptr<FloatingThumbnailFileStore> fileStore_;
    std::unique_ptr<FloatingThumbnailManager> manager_;
    std::unique_ptr<FloatingThumbnailPanel> panel_;
};

} // namespace brisklet
