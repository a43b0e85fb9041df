#pragma once

#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <algorithm>
#include <optional>

namespace brisklet {

/// How far the content of one image moved against another, in pixels.
struct RegistrationTranslation {
    double tx = 0; ///< horizontal offset
    double ty = 0; ///< vertical offset

    bool operator==(const RegistrationTranslation&) const = default;
};

enum class ImageRegistrationError {
    invalidInput,  ///< an image is empty or too small to register
    requestFailed, ///< the registration itself failed
};

template <> struct EnumTraits<ImageRegistrationError> {
    static constexpr std::array<std::pair<ImageRegistrationError, std::string_view>, 2> names{{
        {ImageRegistrationError::invalidInput, "invalidInput"},
        {ImageRegistrationError::requestFailed, "requestFailed"},
    }};
};

/// A rectangle of pixels, origin at the top-left.
struct PixelRegion {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool operator==(const PixelRegion&) const = default;
};

/// Translational image registration: estimates how far the content moved between two images of
/// the same scene (the scrolling capture uses it on bands of consecutive frames).
class ImageRegistration {
public:
    /// What a request produced: a translation, or nothing when the images share no
    /// recognisable content (no observation).
    using Outcome = Result<std::optional<RegistrationTranslation>, ImageRegistrationError>;

    virtual ~ImageRegistration() = default;

    /// Aligns `region` of `floating` onto the same region of `reference` and returns the
    /// translation between them, as if both had been cropped to it (a region reaching beyond
    /// either image is cut to what both contain). Only the magnitudes of the offsets are
    /// meaningful to callers. Safe to call from several threads at once.
    virtual Outcome translation(const Image& reference, const Image& floating, const PixelRegion& region) const = 0;

    /// The same over the common top-left area of both images.
    Outcome translation(const Image& reference, const Image& floating) const {
        return translation(reference, floating,
                           PixelRegion{0, 0, std::min(reference.width(), floating.width()),
                                       std::min(reference.height(), floating.height())});
    }
};

} // namespace brisklet
