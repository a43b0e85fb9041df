#include "ZelvorApp/Recording/RecordingOptionsBarModel.h"

namespace brisklet {

void RecordingOptionsBarModel::selectVideo() {
    if (options_.outputFormat == RecordingOutputFormat::gif) {
        options_.outputFormat = RecordingOutputFormat::mp4;
    }
}

} // namespace brisklet
