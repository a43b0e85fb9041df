#include "ZelvorApp/Text/ScreenshotOCRService.h"

#include "Platform/LanguageIdentifier.h"
#include "Platform/MainQueue.h"
#include "Platform/SerialQueue.h"
#include "ZelvorApp/Infrastructure/RuntimeLogger.h"
#include "ZelvorApp/Text/InvertedTextRegions.h"
#include "ZelvorApp/Text/OCRTextPostprocessor.h"
#include "ZelvorApp/Text/UncertainTextLines.h"
#include "ZelvorApp/Text/UnicodeText.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace brisklet {

namespace {

constexpr int upscaleLimitPixels = 1600;
constexpr double observationRowTolerance = 0.02;

// Straight-alpha RGBA composited over opaque white, as three floats per pixel.
std::vector<float> compositedOverWhite(const Image& source) {
    std::vector<float> rgb(static_cast<std::size_t>(source.width()) * static_cast<std::size_t>(source.height()) * 3);
    const std::uint8_t* pixel = source.data();
    for (std::size_t i = 0; i < rgb.size(); i += 3, pixel += 4) {
        const float alpha = pixel[3] / 255.0f;
        for (int c = 0; c < 3; ++c) {
            rgb[i + static_cast<std::size_t>(c)] = pixel[c] * alpha + 255.0f * (1.0f - alpha);
        }
    }
    return rgb;
}

struct SampleAxis {
    int low;
    int high;
    float weight;
};

// Pixel-centre mapping, so a 2× upscale places every source pixel between two target pixels.
std::vector<SampleAxis> sampleAxis(int sourceLength, int targetLength) {
    std::vector<SampleAxis> axis(static_cast<std::size_t>(targetLength));
    const double ratio = static_cast<double>(sourceLength) / targetLength;
    for (int t = 0; t < targetLength; ++t) {
        const double position = std::clamp((t + 0.5) * ratio - 0.5, 0.0, static_cast<double>(sourceLength - 1));
        const int low = static_cast<int>(std::floor(position));
        axis[static_cast<std::size_t>(t)] = {low, std::min(low + 1, sourceLength - 1),
                                             static_cast<float>(position - low)};
    }
    return axis;
}

std::uint8_t toByte(float value) {
    return static_cast<std::uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

Image resampled(const std::vector<float>& rgb, int sourceWidth, int sourceHeight, int targetWidth, int targetHeight) {
    Image target(targetWidth, targetHeight);
    const auto xs = sampleAxis(sourceWidth, targetWidth);
    const auto ys = sampleAxis(sourceHeight, targetHeight);
    const auto at = [&](int x, int y, int c) {
        return rgb[(static_cast<std::size_t>(y) * static_cast<std::size_t>(sourceWidth) + static_cast<std::size_t>(x)) *
                       3 +
                   static_cast<std::size_t>(c)];
    };
    for (int y = 0; y < targetHeight; ++y) {
        const SampleAxis& sy = ys[static_cast<std::size_t>(y)];
        std::uint8_t* out = target.row(y);
        for (int x = 0; x < targetWidth; ++x, out += 4) {
            const SampleAxis& sx = xs[static_cast<std::size_t>(x)];
            for (int c = 0; c < 3; ++c) {
                const float top = at(sx.low, sy.low, c) * (1 - sx.weight) + at(sx.high, sy.low, c) * sx.weight;
                const float bottom = at(sx.low, sy.high, c) * (1 - sx.weight) + at(sx.high, sy.high, c) * sx.weight;
                out[c] = toByte(top * (1 - sy.weight) + bottom * sy.weight);
            }
            out[3] = 255;
        }
    }
    return target;
}

// What resampling to the same size gives (every weight is 0, so each pixel is its own composite),
// without the float copy of a whole screen: a 1920 × 1080 screenshot is ready some 60 ms sooner.
Image overWhiteAtOwnSize(const Image& source) {
    Image target = source;
    if (target.isOpaque()) {
        return target;
    }
    std::uint8_t* pixel = target.data();
    for (std::size_t i = 0; i < target.pixels().size(); i += 4, pixel += 4) {
        const float alpha = pixel[3] / 255.0f;
        for (int c = 0; c < 3; ++c) {
            pixel[c] = toByte(pixel[c] * alpha + 255.0f * (1.0f - alpha));
        }
        pixel[3] = 255;
    }
    return target;
}

Rect scaled(const Rect& normalised, Size imageSize) {
    return Rect{{normalised.minX() * imageSize.width, normalised.minY() * imageSize.height},
                {normalised.width() * imageSize.width, normalised.height() * imageSize.height}};
}

// Whether a line read on the page reads the shape: it runs through it, at least half its height
// inside. A line of the row above whose box only grazes a selected row's edge has not read the row.
bool readsThrough(const Rect& line, const Rect& shape) {
    const double across = std::min(line.maxX(), shape.maxX()) - std::max(line.minX(), shape.minX());
    const double down = std::min(line.maxY(), shape.maxY()) - std::max(line.minY(), shape.minY());
    return across > 0 && down >= 0.5 * line.height();
}

// A page line the engine is at least this sure of has read its shape, whatever the shape's colours.
constexpr double trustedPageConfidence = 0.5;

double confidenceOf(const TextObservation& observation) {
    return observation.candidates.empty() ? 0.0 : observation.candidates.front().confidence;
}

// Observations of a crop, moved into the coordinates of the image it was cut from.
void moveIntoImage(std::vector<TextObservation>& observations, const InvertedTextRegions::Region& region,
                   const Image& image) {
    for (auto& observation : observations) {
        observation.boundingBox =
            InvertedTextRegions::boxInImage(observation.boundingBox, region, image.width(), image.height());
        for (auto& candidate : observation.candidates) {
            for (auto& piece : candidate.rangeBoxes) {
                piece.box = InvertedTextRegions::boxInImage(piece.box, region, image.width(), image.height());
            }
        }
    }
}

bool observationReadsBefore(const TextObservation& a, const TextObservation& b) {
    if (std::abs(a.boundingBox.maxY() - b.boundingBox.maxY()) > observationRowTolerance) {
        return a.boundingBox.maxY() > b.boundingBox.maxY();
    }
    return a.boundingBox.minX() < b.boundingBox.minX();
}

std::vector<RecognizedTextItem> makeWords(const TextCandidate& candidate, std::size_t textOffset, std::string_view text,
                                          const RecognizedTextLine& line, Size imageSize) {
    std::vector<RecognizedTextItem> words;
    for (const auto& [begin, end] : ScreenshotOCRService::wordRanges(text)) {
        const std::string_view wordText = unicode::trimmed(text.substr(begin, end - begin));
        if (wordText.empty()) {
            continue;
        }
        // Ranges are taken in the trimmed text; the engine's boxes index the untrimmed string.
        const auto box = candidate.boundingBox(textOffset + begin, textOffset + end);
        if (!box) {
            continue;
        }
        RecognizedTextItem word;
        word.lineID = line.id;
        word.lineIndex = line.index;
        word.order = static_cast<int>(words.size());
        word.text = std::string(wordText);
        word.bounds = scaled(*box, imageSize);
        word.confidence = line.confidence;
        word.recognizedLanguage = line.recognizedLanguage;
        words.push_back(std::move(word));
    }
    return words;
}

} // namespace

ScreenshotOCRService::ScreenshotOCRService(TextRecognizer& recognizer, const LanguageIdentifier& languages,
                                           std::unique_ptr<SerialQueue> queue, MainQueue& mainQueue)
    : recognizer_(recognizer), languages_(languages), queue_(std::move(queue)), mainQueue_(mainQueue) {}

ScreenshotOCRService::~ScreenshotOCRService() = default;

void ScreenshotOCRService::recognizeText(Image image, Completion completion) {
    // Only collaborators that outlive the service are captured: the queue finishes its tasks
    // when it is destroyed with the service.
    TextRecognizer& recognizer = recognizer_;
    const LanguageIdentifier& languages = languages_;
    MainQueue& mainQueue = mainQueue_;
    queue_->async(
        [&recognizer, &languages, &mainQueue, image = std::move(image), completion = std::move(completion)]() mutable {
            auto result = recognizeTextNow(image, recognizer, languages);
            mainQueue.post([completion = std::move(completion), result = std::move(result)]() mutable {
                completion(std::move(result));
            });
        });
}

ScreenshotOCRService::RecognitionResult ScreenshotOCRService::recognizeTextNow(const Image& image,
                                                                               TextRecognizer& recognizer,
                                                                               const LanguageIdentifier& languages) {
    // The engine for the second readings loads beside the page's reading instead of after it.
    recognizer.prepare(lineRereadingRequest());
    const Image prepared = prepareImageForRecognition(image);
    auto observations = recognizer.recognize(prepared, recognitionRequest());
    if (!observations) {
        return RecognitionResult::failure(observations.error());
    }
    RuntimeLogger::log("ocr recognition orientation=upright count=" + std::to_string(observations.value().size()));
    addInvertedRegions(prepared, recognizer, observations.value());
    rereadUncertainLines(prepared, recognizer, observations.value());
    const Size imageSize{static_cast<double>(prepared.width()), static_cast<double>(prepared.height())};
    auto lines = makeRecognizedLines(std::move(observations).value(), imageSize, languages);
    return RecognitionResult::success(OCRTextPostprocessor::cleanedLines(std::move(lines), imageSize));
}

void ScreenshotOCRService::addInvertedRegions(const Image& prepared, TextRecognizer& recognizer,
                                              std::vector<TextObservation>& observations) {
    const auto regions = InvertedTextRegions::find(prepared);
    std::size_t added = 0;
    for (const auto& region : regions) {
        const double width = prepared.width();
        const double height = prepared.height();
        const Rect box{{region.x / width, (height - region.y - region.height) / height},
                       {region.width / width, region.height / height}};
        // What the page's own reading found there stays, unless the engine itself doubts it (a
        // selected row read as garbage); only shapes it skipped or misread are read again.
        const auto readThere = [&](const TextObservation& o) { return readsThrough(o.boundingBox, box); };
        double pageConfidence = -1;
        for (const auto& observation : observations) {
            if (readThere(observation)) {
                pageConfidence = std::max(pageConfidence, confidenceOf(observation));
            }
        }
        if (pageConfidence >= trustedPageConfidence) {
            continue;
        }
        auto found = recognizer.recognize(InvertedTextRegions::readableCrop(prepared, region), recognitionRequest());
        if (!found || found.value().empty() ||
            std::none_of(found.value().begin(), found.value().end(),
                         [&](const TextObservation& o) { return confidenceOf(o) > pageConfidence; })) {
            continue;
        }
        moveIntoImage(found.value(), region, prepared);
        std::erase_if(observations, readThere);
        added += found.value().size();
        observations.insert(observations.end(), found.value().begin(), found.value().end());
    }
    if (!regions.empty()) {
        RuntimeLogger::log("ocr inverted regions=" + std::to_string(regions.size()) +
                           " added=" + std::to_string(added));
    }
}

void ScreenshotOCRService::rereadUncertainLines(const Image& prepared, TextRecognizer& recognizer,
                                                std::vector<TextObservation>& observations) {
    std::size_t reread = 0;
    std::size_t replaced = 0;
    for (auto& observation : observations) {
        if (!UncertainTextLines::shouldReread(observation)) {
            continue;
        }
        const auto region =
            UncertainTextLines::regionAround(observation.boundingBox, prepared.width(), prepared.height());
        if (region.width <= 0 || region.height <= 0) {
            continue;
        }
        ++reread;
        auto found = recognizer.recognize(UncertainTextLines::readableCrop(prepared, region), lineRereadingRequest());
        // A crop holds one line; anything else is a reading of something other than the line.
        if (!found || found.value().size() != 1 ||
            confidenceOf(found.value().front()) <
                confidenceOf(observation) + UncertainTextLines::minimumConfidenceGain) {
            continue;
        }
        moveIntoImage(found.value(), region, prepared);
        observation = std::move(found.value().front());
        ++replaced;
    }
    if (reread > 0) {
        RuntimeLogger::log("ocr reread lines=" + std::to_string(reread) + " replaced=" + std::to_string(replaced));
    }
}

Image ScreenshotOCRService::prepareImageForRecognition(const Image& source) {
    if (source.isEmpty() ||
        source.pixels().size() != source.bytesPerRow() * static_cast<std::size_t>(source.height())) {
        return source;
    }
    const PixelDimensions target = recognitionSize(source.width(), source.height());
    if (target.width == source.width() && target.height == source.height()) {
        return overWhiteAtOwnSize(source);
    }
    return resampled(compositedOverWhite(source), source.width(), source.height(), target.width, target.height);
}

PixelDimensions ScreenshotOCRService::recognitionSize(int width, int height) {
    const double scale = std::max(width, height) < upscaleLimitPixels ? 2.0 : 1.0;
    return {std::max(1, static_cast<int>(std::lround(width * scale))),
            std::max(1, static_cast<int>(std::lround(height * scale)))};
}

TextRecognitionRequest ScreenshotOCRService::recognitionRequest() {
    TextRecognitionRequest request;
    request.level = TextRecognitionLevel::accurate;
    request.usesLanguageCorrection = true;
    request.automaticallyDetectsLanguage = true;
    request.recognitionLanguages = {"zh-Hans", "en-US"};
    request.minimumTextHeight = 0.006;
    return request;
}

TextRecognitionRequest ScreenshotOCRService::lineRereadingRequest() {
    TextRecognitionRequest request = recognitionRequest();
    request.recognitionLanguages = {"en-US"};
    request.minimumTextHeight = 0;
    request.layout = TextLayout::singleLine;
    return request;
}

std::vector<RecognizedTextLine> ScreenshotOCRService::makeRecognizedLines(std::vector<TextObservation> observations,
                                                                          Size imageSize,
                                                                          const LanguageIdentifier& languages) {
    std::stable_sort(observations.begin(), observations.end(), observationReadsBefore);
    std::vector<RecognizedTextLine> lines;
    for (const auto& observation : observations) {
        if (observation.candidates.empty()) {
            continue;
        }
        const TextCandidate& candidate = observation.candidates.front();
        const std::string_view text = unicode::trimmed(candidate.string);
        if (text.empty()) {
            continue;
        }
        RecognizedTextLine line;
        line.index = static_cast<int>(lines.size());
        line.text = std::string(text);
        line.bounds = scaled(observation.boundingBox, imageSize);
        line.confidence = candidate.confidence;
        line.recognizedLanguage = languages.dominantLanguage(text);
        const auto textOffset = static_cast<std::size_t>(text.data() - candidate.string.data());
        line.words = makeWords(candidate, textOffset, text, line, imageSize);
        if (line.words.empty()) {
            RecognizedTextItem whole;
            whole.lineID = line.id;
            whole.lineIndex = line.index;
            whole.text = line.text;
            whole.bounds = line.bounds;
            whole.confidence = line.confidence;
            whole.recognizedLanguage = line.recognizedLanguage;
            line.words.push_back(std::move(whole));
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::pair<std::size_t, std::size_t>> ScreenshotOCRService::wordRanges(std::string_view text) {
    std::vector<std::pair<std::size_t, std::size_t>> ranges;
    for (const auto& run : unicode::nonWhitespaceRuns(text)) {
        ranges.emplace_back(run.begin, run.end);
    }
    return ranges;
}

} // namespace brisklet
