#include "Shell/Thumbnails/QtFloatingThumbnails.h"

#include "Platform/Clock.h"
#include "Platform/ImageCodec.h"
#include "Platform/Linux/Qt/QtImageConversion.h"
#include "Shell/ShellAppearance.h"
#include "Shell/Thumbnails/FloatingThumbnailCard.h"
#include "Shell/Thumbnails/FloatingThumbnailPanel.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailFileStore.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailManager.h"

#include <QImage>

namespace brisklet {

namespace {

/// A card-sized copy: the stack never holds whole 4K screenshots.
Image preview(const Image& image) {
    if (image.isEmpty()) {
        return image;
    }
    const QSize limit(FloatingThumbnailCard::cardWidth * 2, FloatingThumbnailCard::cardHeight * 2);
    const QImage picture = toQImage(image);
    if (picture.width() <= limit.width() && picture.height() <= limit.height()) {
        return image;
    }
    return fromQImage(picture.scaled(limit, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

} // namespace

QtFloatingThumbnails::QtFloatingThumbnails(Services services)
    : services_(std::move(services)),
      fileStore_(std::make_unique<FloatingThumbnailFileStore>(services_.dataDirectory / "FloatingThumbnails",
                                                              services_.codec, services_.mainQueue)),
      manager_(std::make_unique<FloatingThumbnailManager>(
          services_.model.preferences().floatingThumbnailPosition,
          services_.model.preferences().floatingThumbnailDismissDelay, services_.mainQueue, services_.clock,
          *fileStore_)),
      panel_(std::make_unique<FloatingThumbnailPanel>(*manager_, services_.localization)) {
    manager_->setOnChange([this] { refresh(); });
}

QtFloatingThumbnails::~QtFloatingThumbnails() {
    manager_->setOnChange({});
}

void QtFloatingThumbnails::setDelegate(FloatingThumbnailManagerDelegate* delegate) {
    manager_->setDelegate(delegate);
}

void QtFloatingThumbnails::refresh() {
    panel_->refresh(ShellAppearance::resolve(services_.model.preferences().visualAppearanceMode));
}

void QtFloatingThumbnails::present(const ExportedAsset& asset, const VisualMemorySource& source,
                                   const FloatingThumbnailPresentationContext& context) {
    FloatingThumbnailItem item;
    item.displayID = context.displayID;
    item.captureFrame = context.captureFrame;
    item.url = asset.url;
    item.kind = asset.kind;
    item.ownership = FloatingThumbnailOwnership::exported;
    item.source = source;
    item.createdAt = services_.clock.now();
    if (auto read = services_.codec.readFile(asset.url)) {
        item.image = preview(read.value());
    }
    manager_->add(std::move(item));
}

bool QtFloatingThumbnails::presentQuickScreenshot(const Image& image) {
    const auto written = fileStore_->writeTemporaryPNG(image);
    if (!written) {
        RuntimeLogger::log("floating thumbnail temporary file failed");
        return false;
    }
    FloatingThumbnailItem item;
    item.url = written.value();
    item.kind = ExportKind::screenshot;
    item.ownership = FloatingThumbnailOwnership::temporary;
    item.createdAt = services_.clock.now();
    item.image = preview(image);
    manager_->add(std::move(item));
    return true;
}

bool QtFloatingThumbnails::suspend() {
    return manager_->suspendPresentation();
}

void QtFloatingThumbnails::resume() {
    manager_->resumePresentation();
}

void QtFloatingThumbnails::dismissAll() {
    manager_->dismissAll();
}

void QtFloatingThumbnails::configure(FloatingThumbnailPosition position, double dismissDelaySeconds) {
    manager_->updateConfiguration(position, dismissDelaySeconds);
}

void QtFloatingThumbnails::removeTemporaryFiles(double ageSeconds) {
    const int removed = fileStore_->cleanupFiles(ageSeconds, services_.clock.now());
    RuntimeLogger::log("floating thumbnail cleanup removed=" + std::to_string(removed));
}

void QtFloatingThumbnails::remove(const std::string& id) {
    if (const auto uuid = Uuid::parse(id)) {
        manager_->remove(*uuid);
    }
}

void QtFloatingThumbnails::resumeDismissal(const std::string& id) {
    if (const auto uuid = Uuid::parse(id)) {
        manager_->resumeDismissal(*uuid);
    }
}

} // namespace brisklet
