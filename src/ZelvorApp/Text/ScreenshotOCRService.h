#pragma once

#include "Platform/TextRecognizer.h"
#include "ZelvorApp/Text/RecognizedTextLine.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Result.h"

#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace brisklet {

class LanguageIdentifier;
class MainQueue;
class SerialQueue;

/// Turns a captured image into cleaned, ordered lines of text with word boxes. Holds no state
/// beyond its collaborators: each request is independent.
struct PixelDimensions {
    int width = 0;
    int height = 0;
    bool operator==(const PixelDimensions&) const = default;
};

class ScreenshotOCRService {
public:
    using RecognitionResult = Result<std::vector<RecognizedTextLine>, TextRecognitionError>;
    using Completion = std::function<void(RecognitionResult)>;

    static constexpr const char* queueLabel = "com.brisklet.brisklet.ocr";

    /// `recognizer` and `languages` must outlive the service and everything it has queued.
    ScreenshotOCRService(TextRecognizer& recognizer, const LanguageIdentifier& languages,
                         std::unique_ptr<SerialQueue> queue, MainQueue& mainQueue);
    ~ScreenshotOCRService();

    /// Recognises on the background queue and hands the result to `completion` on the main
    /// queue. A recogniser error reaches the completion unchanged.
    void recognizeText(Image image, Completion completion);

    /// The same work, synchronously, on the caller's thread.
    static RecognitionResult recognizeTextNow(const Image& image, TextRecognizer& recognizer,
                                              const LanguageIdentifier& languages);

    /// Opaque on white, and 2× larger when the longer side is under 1600 pixels: small UI text
    /// recognises far better upscaled, and transparent areas would otherwise read as black.
    static Image prepareImageForRecognition(const Image& source);
    /// The pixel size `prepareImageForRecognition` gives an image of `width` × `height`.
    static PixelDimensions recognitionSize(int width, int height);
    /// The request every recognition of the page and its shapes uses.
    static TextRecognitionRequest recognitionRequest();
    /// The request an unsure line without CJK is read again with: one line, in English only
    /// (English's model alone loads and reads about three times faster than with Chinese beside it).
    static TextRecognitionRequest lineRereadingRequest();
    /// Lines (not yet cleaned) from raw observations in a `imageSize` pixel image.
    static std::vector<RecognizedTextLine> makeRecognizedLines(std::vector<TextObservation> observations,
                                                               Size imageSize, const LanguageIdentifier& languages);
    /// Light text on dark shapes (buttons, badges) that the page's reading skipped, read again
    /// on its own inverted crop and added to `observations`.
    static void addInvertedRegions(const Image& prepared, TextRecognizer& recognizer,
                                   std::vector<TextObservation>& observations);
    /// Every line UncertainTextLines::shouldReread picks, read again on its own crop; the second
    /// reading replaces the first, its boxes moved into `prepared`, only when it is surer.
    static void rereadUncertainLines(const Image& prepared, TextRecognizer& recognizer,
                                     std::vector<TextObservation>& observations);
    /// Byte ranges of the maximal runs of non-whitespace characters.
    static std::vector<std::pair<std::size_t, std::size_t>> wordRanges(std::string_view text);

private:
    TextRecognizer& recognizer_;
    const LanguageIdentifier& languages_;
    std::unique_ptr<SerialQueue> queue_;
    MainQueue& mainQueue_;
};

} // namespace brisklet
