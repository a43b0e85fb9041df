#pragma once

#include "ZelvorCore/Foundation/Json.h"

namespace brisklet {

/// How far the content moved between two frames of a scrolling capture, and how far to trust it.
struct LongshotOverlapMatch {
    /// Rows of the new frame that repeat rows of the previous frame.
    int overlapPixels = 0;
    /// The detected content movement in source pixels (rounded).
    int seamOffset = 0;
    /// Confidence, 0...1.
    double score = 0;
    /// The fixed bars found for this pair, in source pixels.
    int headerExclusionHeight = 0;
    int footerExclusionHeight = 0;
    int leftExclusionWidth = 0;
    int rightExclusionWidth = 0;
    /// The match may be used to stitch.
    bool isReliable = false;

    bool operator==(const LongshotOverlapMatch&) const = default;
};

void read(const Json& j, LongshotOverlapMatch& out);
Json write(const LongshotOverlapMatch& value);

} // namespace brisklet
