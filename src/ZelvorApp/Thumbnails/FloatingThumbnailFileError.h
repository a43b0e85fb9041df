#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"

#include <string>

namespace brisklet {

/// Why the thumbnail file store could not do what it was asked. `message` names the file and the
/// system's reason, ready for the log and the error alert.
struct FloatingThumbnailFileError {
    enum class Code {
        emptyImage,       ///< nothing to write
        directoryFailed,  ///< the store's or the export directory could not be created
        encodeFailed,     ///< the PNG encoder rejected the image
        writeFailed,      ///< the file could not be written or moved into place
        notTemporary,     ///< the file is not one of the store's own
        missingFile,      ///< the file to move does not exist
    };

    Code code = Code::writeFailed;
    std::string message;

    bool operator==(const FloatingThumbnailFileError&) const = default;
};

template <> struct EnumTraits<FloatingThumbnailFileError::Code> {
    using Code = FloatingThumbnailFileError::Code;
    static constexpr std::array<std::pair<Code, std::string_view>, 6> names{{
        {Code::emptyImage, "emptyImage"},
        {Code::directoryFailed, "directoryFailed"},
        {Code::encodeFailed, "encodeFailed"},
        {Code::writeFailed, "writeFailed"},
        {Code::notTemporary, "notTemporary"},
        {Code::missingFile, "missingFile"},
    }};
};

} // namespace brisklet
