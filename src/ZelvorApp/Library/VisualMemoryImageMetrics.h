#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

namespace brisklet {

class ImageCodec;

/// What a card's proportion is computed from.
struct VisualMemoryAspectRatioSource {
    std::string cacheKey;
    std::optional<std::filesystem::path> imageURL;
    std::optional<double> fixedRatio;

    static VisualMemoryAspectRatioSource forItem(const VisualMemoryItem& item);
};

/// Card proportions (width ÷ height) read from the files' headers, never by decoding them, and
/// kept for the life of the process. Thread-safe: the application warms it in the background.
class VisualMemoryImageMetrics {
public:
    static constexpr double copiedTextRatio = 4.0 / 3.0;
    /// For a file that says nothing about its size (gone, damaged, unknown format).
    static constexpr double unknownRatio = 4.0 / 3.0;

    explicit VisualMemoryImageMetrics(const ImageCodec& codec) : codec_(codec) {}

    double aspectRatio(const VisualMemoryItem& item);
    std::vector<double> aspectRatios(const std::vector<VisualMemoryItem>& items);
    /// Reads every ratio not known yet; returns how many it read.
    std::size_t prewarm(const std::vector<VisualMemoryItem>& items);
    bool isCached(const VisualMemoryItem& item) const;

private:
    double read(const VisualMemoryAspectRatioSource& source) const;

    const ImageCodec& codec_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, double> cache_;
};

} // namespace brisklet
