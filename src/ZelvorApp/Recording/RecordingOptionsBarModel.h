#pragma once

#include "ZelvorCore/Models/RecordingOptions.h"

namespace brisklet {

/// The choices of the recording options bar: output format, quality, audio, pointer and clicks.
class RecordingOptionsBarModel {
public:
    explicit RecordingOptionsBarModel(RecordingOptions options) : options_(options) {}

    const RecordingOptions& options() const { return options_; }

    void selectGIF() { options_.outputFormat = RecordingOutputFormat::gif; }
    /// Switches to video, keeping the video container that is already chosen (MP4 by default).
    void selectVideo();
    void selectFormat(RecordingOutputFormat format) { options_.outputFormat = format; }
    void setQuality(RecordingQuality quality) { options_.quality = quality; }
    void setAudioMode(RecordingAudioMode mode) { options_.audioMode = mode; }
    void setShowsCursor(bool shows) { options_.showsCursor = shows; }
    void setShowsClickEffects(bool shows) { options_.showsClickEffects = shows; }

    bool isVideo() const { return options_.outputFormat != RecordingOutputFormat::gif; }

private:
    RecordingOptions options_;
};

} // namespace brisklet
