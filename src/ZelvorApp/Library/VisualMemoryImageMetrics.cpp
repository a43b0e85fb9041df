#include "ZelvorApp/Library/VisualMemoryImageMetrics.h"

#include "Platform/ImageCodec.h"

namespace brisklet {

namespace {

bool isVideo(ExportKind kind) { return kind == ExportKind::videoMP4 || kind == ExportKind::videoMOV; }

} // namespace

VisualMemoryAspectRatioSource VisualMemoryAspectRatioSource::forItem(const VisualMemoryItem& item) {
    VisualMemoryAspectRatioSource source;
    source.cacheKey = item.url.string();
    if (item.kind == ExportKind::clipboardText) {
        source.fixedRatio = VisualMemoryImageMetrics::copiedTextRatio;
    } else if (isVideo(item.kind)) {
        // A video's header is not an image's: its preview picture has its proportion.
        if (item.thumbnailPath && !item.thumbnailPath->empty()) {
            source.imageURL = std::filesystem::path(*item.thumbnailPath);
        }
    } else {
        source.imageURL = item.url;
    }
    return source;
}

double VisualMemoryImageMetrics::aspectRatio(const VisualMemoryItem& item) {
    const VisualMemoryAspectRatioSource source = VisualMemoryAspectRatioSource::forItem(item);
    if (source.fixedRatio) {
        return *source.fixedRatio;
    }
    {
        const std::lock_guard lock(mutex_);
        if (const auto it = cache_.find(source.cacheKey); it != cache_.end()) {
            return it->second;
        }
    }
    const double ratio = read(source);
    const std::lock_guard lock(mutex_);
    cache_.emplace(source.cacheKey, ratio);
    return ratio;
}

std::vector<double> VisualMemoryImageMetrics::aspectRatios(const std::vector<VisualMemoryItem>& items) {
    std::vector<double> ratios;
    ratios.reserve(items.size());
    for (const VisualMemoryItem& item : items) {
        ratios.push_back(aspectRatio(item));
    }
    return ratios;
}

std::size_t VisualMemoryImageMetrics::prewarm(const std::vector<VisualMemoryItem>& items) {
    std::size_t read = 0;
    for (const VisualMemoryItem& item : items) {
        if (!isCached(item)) {
            aspectRatio(item);
            ++read;
        }
    }
    return read;
}

bool VisualMemoryImageMetrics::isCached(const VisualMemoryItem& item) const {
    const VisualMemoryAspectRatioSource source = VisualMemoryAspectRatioSource::forItem(item);
    if (source.fixedRatio) {
        return true;
    }
    const std::lock_guard lock(mutex_);
    return cache_.contains(source.cacheKey);
}

double VisualMemoryImageMetrics::read(const VisualMemoryAspectRatioSource& source) const {
    if (!source.imageURL) {
        return unknownRatio;
    }
    const std::optional<PixelSize> size = codec_.readPixelSize(*source.imageURL);
    if (!size || size->width <= 0 || size->height <= 0) {
        return unknownRatio;
    }
    return static_cast<double>(size->width) / size->height;
}

} // namespace brisklet
