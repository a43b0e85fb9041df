#include "ZelvorApp/Library/VisualMemoryLibraryContentFilter.h"

namespace brisklet {

bool passesContentFilter(const VisualMemoryItem& item, VisualMemoryLibraryContentFilter filter) {
    switch (filter) {
    case VisualMemoryLibraryContentFilter::all:
        return true;
    case VisualMemoryLibraryContentFilter::text:
        return item.kind == ExportKind::clipboardText;
    case VisualMemoryLibraryContentFilter::image:
        return item.kind != ExportKind::clipboardText;
    }
    return true;
}

} // namespace brisklet
