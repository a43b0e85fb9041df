#include "ZelvorApp/Recording/RecordingControlTimeFormatter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace brisklet {

namespace {

long long wholeSeconds(double seconds, double (*toWhole)(double)) {
    if (!std::isfinite(seconds)) {
        return 0;
    }
    return std::max(0LL, static_cast<long long>(toWhole(seconds)));
}

double roundHalfAway(double value) {
    return std::round(value);
}

double floorDown(double value) {
    return std::floor(value);
}

} // namespace

std::string RecordingControlTimeFormatter::gifProgress(double elapsed, double maxDuration) {
    const long long done = wholeSeconds(elapsed, roundHalfAway);
    const long long total = wholeSeconds(maxDuration, roundHalfAway);
    char text[48];
    std::snprintf(text, sizeof text, "%02lld:%02lld/%02lld:%02lld", done / 60, done % 60, total / 60, total % 60);
    return text;
}

std::string RecordingControlTimeFormatter::videoElapsed(double elapsed) {
    const long long seconds = wholeSeconds(elapsed, floorDown);
    char text[48];
    if (seconds < 3600) {
        std::snprintf(text, sizeof text, "%02lld:%02lld", seconds / 60, seconds % 60);
    } else {
        std::snprintf(text, sizeof text, "%02lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60, seconds % 60);
    }
    return text;
}

} // namespace brisklet
