#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <filesystem>
#include <memory>
#include <string>

namespace brisklet {

/// Why an animated GIF could not be written.
struct GIFEncoderError {
    enum class Kind {
        cannotCreate,  ///< the file could not be opened for writing
        invalidFrame,  ///< the frame is empty or does not match the canvas size
        encodeFailed,  ///< palette reduction or compression failed
        finalizeFailed ///< the trailer could not be written or the file could not be closed
    };
    Kind kind = Kind::encodeFailed;
    std::string detail;

    bool operator==(const GIFEncoderError&) const = default;
};

template <> struct EnumTraits<GIFEncoderError::Kind> {
    static constexpr std::array<std::pair<GIFEncoderError::Kind, std::string_view>, 4> names{{
        {GIFEncoderError::Kind::cannotCreate, "cannotCreate"},
        {GIFEncoderError::Kind::invalidFrame, "invalidFrame"},
        {GIFEncoderError::Kind::encodeFailed, "encodeFailed"},
        {GIFEncoderError::Kind::finalizeFailed, "finalizeFailed"},
    }};
};

/// How much of the picture a GIF may give up for a smaller file, from 1 (smallest file) to 100
/// (closest to the frames). Recordings use `standard` unless the user asks for another.
struct GIFEncodingQuality {
    static constexpr int minimum = 1;
    static constexpr int maximum = 100;
    static constexpr int standard = 80;
};

/// One GIF file being written. Frames go to disk as they are added, so memory stays flat however
/// long the animation is.
class GIFEncoderSession {
public:
    virtual ~GIFEncoderSession() = default;

    /// Reduces `frame` (which must have the canvas size) to the file's colours and appends it,
    /// shown for `delayHundredths` hundredths of a second.
    virtual Status<GIFEncoderError> addFrame(const Image& frame, int delayHundredths) = 0;
    /// Writes the trailer and closes the file. No frame can be added afterwards. A session that is
    /// destroyed without `finish` closes its file, which the caller then removes.
    virtual Status<GIFEncoderError> finish() = 0;
};

/// Writes animated GIF files.
class GIFEncoder {
public:
    virtual ~GIFEncoder() = default;

    /// Creates (or truncates) `file` for a `width` × `height` canvas that loops `loopCount` times
    /// (0 = forever), encoded at `quality` (`GIFEncodingQuality`). Callers write to a temporary
    /// name and move it into place themselves.
    virtual Result<std::unique_ptr<GIFEncoderSession>, GIFEncoderError>
    begin(const std::filesystem::path& file, int width, int height, int loopCount, int quality) = 0;
};

} // namespace brisklet
