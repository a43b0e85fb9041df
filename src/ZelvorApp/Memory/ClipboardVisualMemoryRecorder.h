#pragma once

#include "ZelvorApp/Memory/VisualMemoryEnvironment.h"
#include "ZelvorCore/Foundation/Image.h"

#include <filesystem>
#include <memory>
#include <string>

namespace brisklet {

class ImageCodec;
class VisualMemoryAnalyzer;
class VisualMemorySourceCollector;
struct VisualMemorySource;

/// Turns copied texts and images into library items: the text as "Text/clipboard-<digest>.txt",
/// the image as "ClipboardImages/clipboard-image-<digest>.png" under the library root, so copying
/// the same content again refreshes the same item. Secrets are neither written nor logged.
class ClipboardVisualMemoryRecorder {
public:
    ClipboardVisualMemoryRecorder(VisualMemoryEnvironment environment, VisualMemorySourceCollector& sources,
                                  VisualMemoryAnalyzer& analyzer, const ImageCodec& codec);
    ~ClipboardVisualMemoryRecorder();
    ClipboardVisualMemoryRecorder(const ClipboardVisualMemoryRecorder&) = delete;
    ClipboardVisualMemoryRecorder& operator=(const ClipboardVisualMemoryRecorder&) = delete;

    /// Main queue. Writes and records the text synchronously.
    void recordClipboardText(const std::string& text);
    /// Main queue. Writes the file on the work queue, records it back on the main queue, then
    /// analyses it in the background.
    void recordClipboardImage(const Image& image, const std::string& sourceData);

    std::filesystem::path textDirectory() const;
    std::filesystem::path imageDirectory() const;

private:
    void recordWrittenImage(const std::filesystem::path& file, const VisualMemorySource& source, Date createdAt,
                            std::optional<Date> expiresAt);
    void analyzeClipboardImage(const VisualMemoryItem& item, const VisualMemorySource& source);

    VisualMemoryEnvironment env_;
    VisualMemorySourceCollector& sources_;
    VisualMemoryAnalyzer& analyzer_;
    const ImageCodec& codec_;
    std::shared_ptr<bool> alive_;
};

} // namespace brisklet
