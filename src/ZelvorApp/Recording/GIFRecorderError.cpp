#include "ZelvorApp/Recording/GIFRecorderError.h"

namespace brisklet {

L10nKey messageKey(GIFRecorderError error) {
    switch (error) {
    case GIFRecorderError::noFrames:
        return L10nKey::errorGifNoFrames;
    case GIFRecorderError::exportFailed:
        break;
    }
    return L10nKey::errorGifExportFailed;
}

} // namespace brisklet
