#pragma once

#include <string>

namespace brisklet {

/// The time texts of the recording control bars.
class RecordingControlTimeFormatter {
public:
    /// "MM:SS/MM:SS": elapsed and maximum, each rounded to whole seconds.
    static std::string gifProgress(double elapsed, double maxDuration);
    /// "MM:SS", or "HH:MM:SS" from one hour on; whole seconds, never rounded up.
    static std::string videoElapsed(double elapsed);
};

} // namespace brisklet
