#include "Platform/ImageCodec.h"

namespace brisklet {

std::string_view toString(ImageCodecError error) {
    switch (error) {
    case ImageCodecError::unsupportedFormat:
        return "unsupportedFormat";
    case ImageCodecError::encodeFailed:
        return "encodeFailed";
    case ImageCodecError::decodeFailed:
        return "decodeFailed";
    case ImageCodecError::readFailed:
        return "readFailed";
    case ImageCodecError::writeFailed:
        return "writeFailed";
    }
    return "unknown";
}

} // namespace brisklet
