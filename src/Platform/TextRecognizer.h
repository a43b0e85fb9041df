#pragma once

#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace brisklet {

enum class TextRecognitionLevel { fast, accurate };

/// What the image holds: a screen of blocks and columns to be found, or one line of text cut out
/// of a screen (read as that one line, never split into blocks).
enum class TextLayout { page, singleLine };

/// How a recognition pass is configured.
struct TextRecognitionRequest {
    TextRecognitionLevel level = TextRecognitionLevel::accurate;
    bool usesLanguageCorrection = true;
    bool automaticallyDetectsLanguage = true;
    /// BCP-47 identifiers in order of preference, e.g. {"zh-Hans", "en-US"}.
    std::vector<std::string> recognitionLanguages;
    /// Text lower than this fraction of the image height is ignored.
    double minimumTextHeight = 0;
    TextLayout layout = TextLayout::page;
};

/// The box of a span of a candidate's text. Offsets are UTF-8 byte offsets into the candidate's
/// string; boxes are normalised to 0...1 with the origin at the image's bottom-left, y up.
struct TextRangeBox {
    std::size_t begin = 0;
    std::size_t end = 0;
    Rect box;
    bool operator==(const TextRangeBox&) const = default;
};

/// One reading of an observation.
struct TextCandidate {
    std::string string;
    /// 0...1
    float confidence = 0;
    /// Boxes of the pieces the engine located (words or glyph groups), in text order.
    std::vector<TextRangeBox> rangeBoxes;

    /// The union of the boxes of the pieces overlapping [begin, end), or nothing when no piece
    /// was located there.
    std::optional<Rect> boundingBox(std::size_t begin, std::size_t end) const {
        std::optional<Rect> result;
        for (const auto& piece : rangeBoxes) {
            if (piece.end <= begin || piece.begin >= end) {
                continue;
            }
            if (!result) {
                result = piece.box;
                continue;
            }
            const double minX = std::min(result->minX(), piece.box.minX());
            const double minY = std::min(result->minY(), piece.box.minY());
            const double maxX = std::max(result->maxX(), piece.box.maxX());
            const double maxY = std::max(result->maxY(), piece.box.maxY());
            result = Rect{{minX, minY}, {maxX - minX, maxY - minY}};
        }
        return result;
    }

    bool operator==(const TextCandidate&) const = default;
};

/// One line of text found in the image.
struct TextObservation {
    /// Normalised to 0...1, origin bottom-left, y up.
    Rect boundingBox;
    /// Best reading first.
    std::vector<TextCandidate> candidates;

    bool operator==(const TextObservation&) const = default;
};

enum class TextRecognitionErrorCode {
    invalidImage,        ///< empty or unusable bitmap
    languageDataMissing, ///< the engine's data for a requested language is not installed
    engineFailed,        ///< the engine could not start or failed while recognising
};

struct TextRecognitionError {
    TextRecognitionErrorCode code = TextRecognitionErrorCode::engineFailed;
    /// A plain-English explanation naming what is missing or failed (and how to fix it when known).
    std::string message;
    bool operator==(const TextRecognitionError&) const = default;
};

/// Finds lines of text in a bitmap.
class TextRecognizer {
public:
    virtual ~TextRecognizer() = default;

    /// Recognises `image` synchronously and returns the lines found, in no particular order.
    /// Safe to call from any thread; concurrent calls may be serialised internally.
    virtual Result<std::vector<TextObservation>, TextRecognitionError>
    recognize(const Image& image, const TextRecognitionRequest& request) = 0;

    /// Gets ready for requests like `request` without waiting for it (an engine may load its
    /// models in the background), so that a later recognition with it starts sooner. Problems
    /// are reported by that recognition.
    virtual void prepare(const TextRecognitionRequest& request) { static_cast<void>(request); }
};

} // namespace brisklet
