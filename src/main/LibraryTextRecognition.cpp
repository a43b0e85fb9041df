#include "main/LibraryTextRecognition.h"

#include "ZelvorApp/Text/OCRMarkdownFormatter.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"

namespace brisklet {

LibraryTextRecognition::LibraryTextRecognition(TextRecognizer& recognizer, const LanguageIdentifier& languages)
    : recognizer_(recognizer), languages_(languages) {}

Result<VisualMemoryRecognizedText, VisualMemoryTextRecognitionError>
LibraryTextRecognition::recognizeText(const Image& image) {
    using R = Result<VisualMemoryRecognizedText, VisualMemoryTextRecognitionError>;
    const auto lines = ScreenshotOCRService::recognizeTextNow(image, recognizer_, languages_);
    if (!lines) {
        return R::failure(VisualMemoryTextRecognitionError::recognitionFailed);
    }
    VisualMemoryRecognizedText text;
    for (const auto& line : lines.value()) {
        if (!text.plainText.empty()) {
            text.plainText += '\n';
        }
        text.plainText += line.text;
    }
    text.markdown = OCRMarkdownFormatter::markdown(lines.value());
    return R::success(std::move(text));
}

} // namespace brisklet
