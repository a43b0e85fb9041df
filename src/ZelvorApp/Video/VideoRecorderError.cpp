#include "ZelvorApp/Video/VideoRecorderError.h"

namespace brisklet {

std::string VideoRecorderError::description() const {
    switch (kind) {
    case Kind::exportFailed:
        return "视频导出失败。";
    case Kind::requiresMacOS15:
        return "video recording is not available on this system";
    case Kind::underlying:
        return detail;
    }
    return detail;
}

L10nKey VideoRecorderError::messageKey() const {
    return kind == Kind::requiresMacOS15 ? L10nKey::errorVideoRecordingRequiresMacOS15
                                         : L10nKey::alertExportFailedMessage;
}

} // namespace brisklet
