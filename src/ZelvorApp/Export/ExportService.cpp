#include "ZelvorApp/Export/ExportService.h"

#include "Platform/Pasteboard.h"
#include "ZelvorApp/Export/AppClipboardWriteTracker.h"

namespace brisklet {

ExportService::ExportService(Pasteboard& pasteboard, AppClipboardWriteTracker& tracker)
    : pasteboard_(pasteboard), tracker_(tracker) {}

void ExportService::copyImageToPasteboard(const Image& image) {
    pasteboard_.clearContents();
    pasteboard_.writeImage(image);
    registerOwnWrite();
}

void ExportService::copyFileToPasteboard(const std::filesystem::path& file) {
    pasteboard_.clearContents();
    pasteboard_.writeFileURL(file);
    registerOwnWrite();
}

void ExportService::copyTextToPasteboard(const std::string& text) {
    pasteboard_.clearContents();
    pasteboard_.writeText(text);
    registerOwnWrite();
}

void ExportService::registerOwnWrite() {
    tracker_.registerWrite(pasteboard_.changeCount(), AppClipboardWriteTracker::Policy::ignore);
}

} // namespace brisklet
