#pragma once

#include "ZelvorApp/Memory/VisualMemoryTextRecognition.h"

namespace brisklet {

class LanguageIdentifier;
class TextRecognizer;

/// Gives the library the same recognition the editor uses: cleaned lines in reading order,
/// as plain text and as Markdown.
class LibraryTextRecognition final : public VisualMemoryTextRecognition {
public:
    LibraryTextRecognition(TextRecognizer& recognizer, const LanguageIdentifier& languages);

    Result<VisualMemoryRecognizedText, VisualMemoryTextRecognitionError> recognizeText(const Image& image) override;

private:
    TextRecognizer& recognizer_;
    const LanguageIdentifier& languages_;
};

} // namespace brisklet
