#include "ZelvorApp/Control/FloatingThumbnailActionHandler.h"

#include "Platform/Clock.h"
#include "Platform/ImageCodec.h"
#include "ZelvorApp/Control/AppModel.h"
#include "ZelvorApp/Control/Ports/ApplicationHost.h"
#include "ZelvorApp/Control/Ports/PinnedWindowsPort.h"
#include "ZelvorApp/Export/ExportService.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Thumbnails/FloatingThumbnailFileStore.h"

namespace brisklet {

namespace {

bool isStill(ExportKind kind) {
    return kind == ExportKind::screenshot || kind == ExportKind::appshot || kind == ExportKind::longshot ||
           kind == ExportKind::clipboardImage;
}

} // namespace

FloatingThumbnailActionHandler::FloatingThumbnailActionHandler(Services services, Callbacks callbacks)
    : services_(services), callbacks_(std::move(callbacks)) {}

bool FloatingThumbnailActionHandler::handle(FloatingThumbnailAction action, const FloatingThumbnailItem& item) {
    bool done = false;
    switch (action) {
    case FloatingThumbnailAction::copy:
        done = copy(item);
        break;
    case FloatingThumbnailAction::saveOrReveal:
        done = saveOrReveal(item);
        break;
    case FloatingThumbnailAction::open:
        done = openOrReveal(item, false);
        break;
    case FloatingThumbnailAction::reveal:
        done = openOrReveal(item, true);
        break;
    case FloatingThumbnailAction::pin:
        done = pin(item);
        break;
    case FloatingThumbnailAction::annotate:
        done = annotate(item);
        break;
    case FloatingThumbnailAction::hide:
        done = true;
        break;
    case FloatingThumbnailAction::delete_:
        done = remove(item);
        break;
    case FloatingThumbnailAction::retainedAfterDrag:
        services_.fileStore.scheduleRemovalIfTemporary(item.url, retentionAfterDragSeconds);
        done = true;
        break;
    }
    RuntimeLogger::log("floating thumbnail action=" + std::string(toString(action)) + " url=" + item.url.string() +
                       " handled=" + (done ? "true" : "false"));
    return done;
}

std::optional<Image> FloatingThumbnailActionHandler::picture(const FloatingThumbnailItem& item) const {
    if (!isStill(item.kind)) {
        return std::nullopt;
    }
    auto read = services_.codec.readFile(item.url);
    if (!read) {
        RuntimeLogger::log("floating thumbnail unreadable url=" + item.url.string());
        return std::nullopt;
    }
    return std::move(read).value();
}

bool FloatingThumbnailActionHandler::openOrReveal(const FloatingThumbnailItem& item, bool reveal) {
    std::filesystem::path file = item.url;
    if (item.isTemporary()) {
        // The card's own file goes with the card, before a viewer has read it: the viewer gets a
        // copy that stays as long as a dragged-out file does.
        const auto image = picture(item);
        if (!image) {
            return false;
        }
        const auto copy = services_.fileStore.writeTemporaryPNG(*image);
        if (!copy) {
            return false;
        }
        file = copy.value();
        services_.fileStore.scheduleRemovalIfTemporary(file, retentionAfterDragSeconds);
    }
    if (reveal) {
        services_.host.revealInFileViewer(file);
    } else {
        services_.host.openFile(file);
    }
    return true;
}

bool FloatingThumbnailActionHandler::copy(const FloatingThumbnailItem& item) {
    // Pictures go on the clipboard as pictures, so they paste into chats and documents; a GIF or
    // a video goes as its file.
    if (auto image = picture(item)) {
        services_.exportService.copyImageToPasteboard(*image);
        return true;
    }
    if (isStill(item.kind)) {
        return false;
    }
    services_.exportService.copyFileToPasteboard(item.url);
    return true;
}

bool FloatingThumbnailActionHandler::saveOrReveal(const FloatingThumbnailItem& item) {
    if (!item.isTemporary()) {
        services_.host.revealInFileViewer(item.url);
        return true;
    }
    const auto saved = services_.fileStore.saveTemporary(item.url, services_.model.preferences().exportDirectoryURL(),
                                                         item.kind, services_.clock.now());
    if (!saved) {
        RuntimeLogger::log("floating thumbnail save failed url=" + item.url.string());
        return false;
    }
    if (callbacks_.recordSaved) {
        callbacks_.recordSaved(saved.value(), item.kind);
    }
    return true;
}

bool FloatingThumbnailActionHandler::pin(const FloatingThumbnailItem& item) {
    if (!services_.pinnedWindows) {
        return false;
    }
    auto image = picture(item);
    if (!image) {
        return false;
    }
    services_.pinnedWindows->pinImage(*image, item.captureFrame.value_or(Rect{}),
                                      services_.model.preferences().pinnedLeftDoubleClickAction);
    return true;
}

bool FloatingThumbnailActionHandler::annotate(const FloatingThumbnailItem& item) {
    auto image = picture(item);
    return image && callbacks_.annotate && callbacks_.annotate(std::move(*image), item.source, item.id.toString());
}

bool FloatingThumbnailActionHandler::remove(const FloatingThumbnailItem& item) {
    // A temporary file goes with its card; an export leaves the disk and the recent list.
    if (item.isTemporary()) {
        return true;
    }
    if (callbacks_.deleteAsset) {
        callbacks_.deleteAsset(ExportedAsset{item.url, item.kind, item.createdAt, std::nullopt});
    }
    return true;
}

} // namespace brisklet
