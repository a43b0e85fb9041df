#include "ZelvorApp/Memory/LocalVisualMemoryAnalyzer.h"

#include "Platform/ImageCodec.h"
#include "ZelvorApp/Memory/ThumbnailScaler.h"
#include "ZelvorApp/Memory/VideoThumbnailGenerator.h"
#include "ZelvorApp/Memory/VisualMemorySummaryTagger.h"
#include "ZelvorApp/Memory/VisualMemoryTextRecognition.h"

namespace brisklet {

namespace fs = std::filesystem;

LocalVisualMemoryAnalyzer::LocalVisualMemoryAnalyzer(fs::path thumbnailDirectory, const ImageCodec& codec,
                                                     VideoThumbnailGenerator& videos,
                                                     VisualMemoryTextRecognition* textRecognition)
    : thumbnailDirectory_(std::move(thumbnailDirectory)), codec_(codec), videos_(videos),
      textRecognition_(textRecognition) {}

std::optional<Image> LocalVisualMemoryAnalyzer::loadRepresentativeImage(const fs::path& url, ExportKind kind) const {
    switch (kind) {
    case ExportKind::videoMP4:
    case ExportKind::videoMOV:
        return videos_.cgImage(url);
    case ExportKind::clipboardText:
        return std::nullopt;
    case ExportKind::gif:
        if (auto frame = videos_.cgImage(url)) {
            return frame;
        }
        break;
    case ExportKind::screenshot:
    case ExportKind::appshot:
    case ExportKind::longshot:
    case ExportKind::clipboardImage:
        break;
    }
    auto image = codec_.readFile(url);
    if (!image || image.value().isEmpty()) {
        return std::nullopt;
    }
    return std::move(image).value();
}

Result<std::string, VisualMemoryAnalysisError>
LocalVisualMemoryAnalyzer::writeThumbnail(const Image& image, const fs::path& sourceURL) const {
    using R = Result<std::string, VisualMemoryAnalysisError>;
    std::error_code error;
    fs::create_directories(thumbnailDirectory_, error);
    if (error) {
        return R::failure({"thumbnail directory could not be created: " + error.message()});
    }
    const Image thumbnail = ThumbnailScaler::fitting(image, thumbnailMaximumDimension);
    const fs::path target = fs::absolute(thumbnailDirectory_ / (sourceURL.stem().string() + "-thumb.jpg"));
    const auto written = codec_.writeFile(thumbnail, target, ImageFormat::jpeg, thumbnailQuality);
    if (!written) {
        return R::failure({"thumbnail could not be written: " + std::string(toString(written.error()))});
    }
    return R::success(target.lexically_normal().string());
}

Result<VisualMemoryAnalysis, VisualMemoryAnalysisError>
LocalVisualMemoryAnalyzer::analyze(const fs::path& url, ExportKind kind, const VisualMemorySource& source) {
    using R = Result<VisualMemoryAnalysis, VisualMemoryAnalysisError>;
    const std::optional<Image> image = loadRepresentativeImage(url, kind);
    VisualMemoryAnalysis analysis;
    if (image) {
        auto thumbnail = writeThumbnail(*image, url);
        if (!thumbnail) {
            return R::failure(thumbnail.error());
        }
        analysis.thumbnailPath = std::move(thumbnail).value();
    }
    std::string plainText;
    const bool recognises = kind != ExportKind::gif && kind != ExportKind::videoMP4 && kind != ExportKind::videoMOV;
    if (image && recognises && textRecognition_ != nullptr) {
        // A recognition failure only leaves the text empty; the thumbnail is still worth keeping.
        if (auto recognized = textRecognition_->recognizeText(*image)) {
            plainText = recognized.value().plainText;
            analysis.ocrText = recognized.value().markdown;
        }
    }
    const std::string fileName = url.filename().string();
    analysis.summary = VisualMemorySummaryTagger::makeSummary(fileName, plainText, source, kind);
    analysis.tags = VisualMemorySummaryTagger::makeTags(fileName, plainText, source, kind);
    return R::success(std::move(analysis));
}

} // namespace brisklet
