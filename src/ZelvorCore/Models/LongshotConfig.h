#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Json.h"

namespace brisklet {

/// Capture cadence and auto-scroll speed of a scrolling capture.
enum class LongshotSpeed { slow, normal, fast };

template <> struct EnumTraits<LongshotSpeed> {
    static constexpr std::array<std::pair<LongshotSpeed, std::string_view>, 3> names{{
        {LongshotSpeed::slow, "slow"},
        {LongshotSpeed::normal, "normal"},
        {LongshotSpeed::fast, "fast"},
    }};
};

/// Seconds between two captures at this speed.
double sampleInterval(LongshotSpeed speed);

struct LongshotConfig {
    LongshotSpeed speed = LongshotSpeed::normal;
    int maxFrames = 120;
    int timeoutSec = 90;
    double minProgressPixels = 24.0;
    int stableBottomFrames = 3;

    bool operator==(const LongshotConfig&) const = default;
};

/// "Ignore" a fixed bar means: detect it and keep only one copy of it in the tall image.
struct LongshotCropOptions {
    bool ignoreTopFixedBar = true;
    bool ignoreBottomFixedBar = true;

    static LongshotCropOptions automatic() { return {true, true}; }

    bool operator==(const LongshotCropOptions&) const = default;
};

void read(const Json& j, LongshotConfig& out);
Json write(const LongshotConfig& value);
void read(const Json& j, LongshotCropOptions& out);
Json write(const LongshotCropOptions& value);

} // namespace brisklet
