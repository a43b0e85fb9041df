#include "ZelvorApp/Longshot/AcceptedLongshotFrame.h"

namespace brisklet {

bool AcceptedLongshotFrame::operator==(const AcceptedLongshotFrame& other) const {
    if (match != other.match) {
        return false;
    }
    if (image == other.image) {
        return true;
    }
    return image && other.image && *image == *other.image;
}

} // namespace brisklet
