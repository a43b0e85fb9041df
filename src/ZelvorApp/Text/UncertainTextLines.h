#pragma once

#include "Platform/TextRecognizer.h"
#include "ZelvorApp/Text/InvertedTextRegions.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"

namespace brisklet {

/// Lines the page's reading was unsure of. The page is read with Chinese preferred, which now and
/// then costs a Latin line its capitals ("orders" for "Orders"); cut out and read again on its
/// own in English, such a line usually comes back right, and surer of itself.
class UncertainTextLines {
public:
    /// Lines read at least this sure of themselves are left as they are. On screenshots of real
    /// pages, the short Latin labels the page's reading gets wrong, and many it gets right, come
    /// out between 0.87 and 0.93; read again, lines above that changed no word and only cost time.
    static constexpr float rereadBelowConfidence = 0.93f;
    /// How much surer the second reading must be to replace the first: two readings of the same
    /// words differ by up to about this much.
    static constexpr float minimumConfidenceGain = 0.01f;

    /// Whether a line is worth a second reading: unsure, with letters or digits and no CJK (a
    /// line holding Chinese is best read with Chinese preferred, as the page was).
    static bool shouldReread(const TextObservation& observation);

    /// The pixels of an image around a line's box (normalised, origin bottom-left, y up), with a
    /// little of the line's surroundings on every side, clipped to the image.
    static InvertedTextRegions::Region regionAround(const Rect& lineBox, int imageWidth, int imageHeight);

    /// The region in grey, inverted when its text is light on dark, inside a white margin of
    /// InvertedTextRegions::margin pixels, so InvertedTextRegions::boxInImage maps its boxes back.
    static Image readableCrop(const Image& image, const InvertedTextRegions::Region& region);
};

} // namespace brisklet
