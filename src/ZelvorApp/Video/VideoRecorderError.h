#pragma once

#include "ZelvorApp/Infrastructure/L10nKey.h"

#include <string>
#include <string_view>

namespace brisklet {

/// Why a video recording or its export delivered no file.
struct VideoRecorderError {
    enum class Kind {
        exportFailed,    ///< nothing usable was recorded or copied
        requiresMacOS15, ///< this system cannot record video
        underlying,      ///< the recorder's or the file system's own error, in `detail`
    };
    Kind kind = Kind::exportFailed;
    std::string detail;

    static VideoRecorderError exportFailed() { return {Kind::exportFailed, {}}; }
    static VideoRecorderError requiresMacOS15() { return {Kind::requiresMacOS15, {}}; }
    static VideoRecorderError underlying(std::string detail) { return {Kind::underlying, std::move(detail)}; }

    /// The fixed description for log lines and alerts that are not localised.
    std::string description() const;
    /// The interface text's key.
    L10nKey messageKey() const;

    bool operator==(const VideoRecorderError&) const = default;
};

} // namespace brisklet
