#pragma once

#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <string>

namespace brisklet {

/// The text found in one picture.
struct VisualMemoryRecognizedText {
    /// The recognised lines joined with "\n".
    std::string plainText;
    /// The same lines rendered as Markdown (headings, paragraphs, lists).
    std::string markdown;

    bool operator==(const VisualMemoryRecognizedText&) const = default;
};

enum class VisualMemoryTextRecognitionError { recognitionFailed };

/// What the library needs from text recognition: a picture in, its text out. The application
/// adapts its OCR service to this.
class VisualMemoryTextRecognition {
public:
    virtual ~VisualMemoryTextRecognition() = default;

    /// Recognises the text in `image`. May run for a while; called from a background queue.
    virtual Result<VisualMemoryRecognizedText, VisualMemoryTextRecognitionError> recognizeText(const Image& image) = 0;
};

} // namespace brisklet
