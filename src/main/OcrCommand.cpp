#include "main/OcrCommand.h"

#include "Platform/ImageCodec.h"
#include "ZelvorApp/Text/OCRMarkdownFormatter.h"
#include "ZelvorApp/Text/ScreenshotOCRService.h"
#include "ZelvorCore/Foundation/JsonCoding.h"

#include <iterator>
#include <optional>

namespace brisklet {

namespace {

constexpr std::size_t maximumImageBytes = 256u << 20;

enum class OcrOutput { text, markdown, json };

struct OcrArguments {
    std::string image;
    OcrOutput output = OcrOutput::text;
};

std::optional<OcrArguments> parseArguments(const std::vector<std::string>& args, std::ostream& err) {
    OcrArguments parsed;
    bool haveImage = false;
    for (const auto& arg : args) {
        if (arg == "--text") {
            parsed.output = OcrOutput::text;
        } else if (arg == "--markdown") {
            parsed.output = OcrOutput::markdown;
        } else if (arg == "--json") {
            parsed.output = OcrOutput::json;
        } else if ((arg.empty() || arg[0] != '-' || arg == "-") && !haveImage) {
            parsed.image = arg;
            haveImage = true;
        } else {
            err << "brisklet ocr: unexpected argument '" << arg << "'\n";
            return std::nullopt;
        }
    }
    if (!haveImage) {
        err << "brisklet ocr: no image given\n";
        return std::nullopt;
    }
    return parsed;
}

std::string describe(ImageCodecError error) {
    switch (error) {
    case ImageCodecError::readFailed:
        return "the file is missing or cannot be read";
    case ImageCodecError::decodeFailed:
    case ImageCodecError::unsupportedFormat:
        return "it is not a readable PNG or JPEG image";
    default:
        return std::string(toString(error));
    }
}

Result<Image, std::string> readImage(const std::string& source, const ImageCodec& codec, std::istream& in) {
    if (source != "-") {
        auto image = codec.readFile(source);
        if (!image) {
            return Result<Image, std::string>::failure("cannot read image '" + source +
                                                       "': " + describe(image.error()));
        }
        return Result<Image, std::string>::success(std::move(image).value());
    }
    std::string bytes;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (bytes.size() > maximumImageBytes) {
            return Result<Image, std::string>::failure("the image on standard input is too large");
        }
    }
    auto image = codec.decode(bytes);
    if (!image) {
        return Result<Image, std::string>::failure("cannot read the image on standard input: " +
                                                   describe(image.error()));
    }
    return Result<Image, std::string>::success(std::move(image).value());
}

std::string plainText(const std::vector<RecognizedTextLine>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += line.text + "\n";
    }
    return text;
}

std::string jsonDocument(const Image& image, const std::vector<RecognizedTextLine>& lines) {
    const PixelDimensions recognition = ScreenshotOCRService::recognitionSize(image.width(), image.height());
    Json document = Json::object();
    document["imageSize"] = json::write(Size{static_cast<double>(image.width()), static_cast<double>(image.height())});
    // Line and word boxes are in this space: pixels of the (possibly upscaled) recognition
    // image, origin bottom-left.
    document["recognitionSize"] =
        json::write(Size{static_cast<double>(recognition.width), static_cast<double>(recognition.height)});
    document["lines"] = json::write(lines);
    return document.dump(2) + "\n";
}

} // namespace

int runOcrCommand(const std::vector<std::string>& args, const ImageCodec& codec, TextRecognizer& recognizer,
                  const LanguageIdentifier& languages, std::istream& in, std::ostream& out, std::ostream& err) {
    const auto parsed = parseArguments(args, err);
    if (!parsed) {
        err << "Usage: brisklet ocr IMAGE [--text | --markdown | --json]\n";
        return 2;
    }
    const auto image = readImage(parsed->image, codec, in);
    if (!image) {
        err << "brisklet ocr: " << image.error() << "\n";
        return 1;
    }
    const auto lines = ScreenshotOCRService::recognizeTextNow(image.value(), recognizer, languages);
    if (!lines) {
        err << "brisklet ocr: " << lines.error().message << "\n";
        return 1;
    }
    switch (parsed->output) {
    case OcrOutput::text:
        out << plainText(lines.value());
        break;
    case OcrOutput::markdown: {
        const std::string markdown = OCRMarkdownFormatter::markdown(lines.value());
        out << markdown << (markdown.empty() ? "" : "\n");
        break;
    }
    case OcrOutput::json:
        out << jsonDocument(image.value(), lines.value());
        break;
    }
    return 0;
}

} // namespace brisklet
