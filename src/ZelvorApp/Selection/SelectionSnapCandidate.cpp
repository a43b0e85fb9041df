#include "ZelvorApp/Selection/SelectionSnapCandidate.h"

namespace brisklet {

std::string SelectionSnapSource::description() const {
    if (kind == Kind::window) {
        return "window(windowID: " + std::to_string(value) + ")";
    }
    return "detectedRectangle(index: " + std::to_string(value) + ")";
}

} // namespace brisklet
