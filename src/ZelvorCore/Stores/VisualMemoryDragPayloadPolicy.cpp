#include "ZelvorCore/Stores/VisualMemoryDragPayloadPolicy.h"

namespace brisklet {

VisualMemoryDragPayloadPolicy::Payload VisualMemoryDragPayloadPolicy::payload(const VisualMemoryItem& item) {
    if (item.kind == ExportKind::clipboardText) {
        return PlainText{item.ocrText.empty() ? item.summary : item.ocrText};
    }
    return File{item.url};
}

} // namespace brisklet
