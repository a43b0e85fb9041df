#pragma once

#include "ZelvorApp/Memory/VisualMemoryAnalyzer.h"
#include "ZelvorCore/Foundation/Image.h"

#include <filesystem>
#include <optional>

namespace brisklet {

class ImageCodec;
class VideoThumbnailGenerator;
class VisualMemoryTextRecognition;

/// Analyses library files on this machine: a representative picture, a JPEG thumbnail, the
/// recognised text, then summary and tags.
class LocalVisualMemoryAnalyzer final : public VisualMemoryAnalyzer {
public:
    static constexpr int thumbnailMaximumDimension = 420;
    static constexpr double thumbnailQuality = 0.82;

    /// Without `textRecognition` no text is recognised (summaries then come from titles).
    LocalVisualMemoryAnalyzer(std::filesystem::path thumbnailDirectory, const ImageCodec& codec,
                              VideoThumbnailGenerator& videos, VisualMemoryTextRecognition* textRecognition);

    Result<VisualMemoryAnalysis, VisualMemoryAnalysisError> analyze(const std::filesystem::path& url, ExportKind kind,
                                                                    const VisualMemorySource& source) override;

    /// Videos: their first frame; GIFs: their first frame; copied text: none; others: the file.
    std::optional<Image> loadRepresentativeImage(const std::filesystem::path& url, ExportKind kind) const;
    /// Writes "<file name without extension>-thumb.jpg" into the thumbnail directory and returns
    /// its absolute path.
    Result<std::string, VisualMemoryAnalysisError> writeThumbnail(const Image& image,
                                                                  const std::filesystem::path& sourceURL) const;

private:
    std::filesystem::path thumbnailDirectory_;
    const ImageCodec& codec_;
    VideoThumbnailGenerator& videos_;
    VisualMemoryTextRecognition* textRecognition_;
};

} // namespace brisklet
