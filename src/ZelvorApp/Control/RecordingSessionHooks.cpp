#include "ZelvorApp/Control/RecordingSessionHooks.h"

#include "ZelvorApp/Export/ExportService.h"

namespace brisklet {

RecordingSessionHooks RecordingSessionHooks::copyingFilesWith(ExportService& exportService) && {
    if (!copyFile) {
        copyFile = [&exportService](const std::filesystem::path& file) { exportService.copyFileToPasteboard(file); };
    }
    return std::move(*this);
}

} // namespace brisklet
