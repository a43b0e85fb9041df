#pragma once

#include <cstdint>
#include <optional>

namespace brisklet {

/// How much of an update has arrived.
struct UpdateDownloadProgress {
    std::int64_t downloadedByteCount = 0;
    std::optional<std::int64_t> totalByteCount;

    /// 0...1 when the total is known.
    std::optional<double> fraction() const {
        if (!totalByteCount || *totalByteCount <= 0) {
            return std::nullopt;
        }
        const double ratio = static_cast<double>(downloadedByteCount) / static_cast<double>(*totalByteCount);
        return ratio < 0 ? 0.0 : (ratio > 1 ? 1.0 : ratio);
    }

    bool operator==(const UpdateDownloadProgress&) const = default;
};

} // namespace brisklet
