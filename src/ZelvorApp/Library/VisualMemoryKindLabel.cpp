#include "ZelvorApp/Library/VisualMemoryKindLabel.h"

namespace brisklet {

L10nKey visualMemoryKindLabel(ExportKind kind) {
    switch (kind) {
    case ExportKind::screenshot:
        return L10nKey::visualKindScreenshot;
    case ExportKind::appshot:
        return L10nKey::visualKindAppshot;
    case ExportKind::longshot:
        return L10nKey::visualKindLongshot;
    case ExportKind::gif:
        return L10nKey::visualKindGif;
    case ExportKind::clipboardText:
        return L10nKey::visualKindCopiedText;
    case ExportKind::clipboardImage:
        return L10nKey::visualKindCopiedImage;
    case ExportKind::videoMP4:
    case ExportKind::videoMOV:
        return L10nKey::visualKindVideo;
    }
    return L10nKey::visualKindScreenshot;
}

} // namespace brisklet
