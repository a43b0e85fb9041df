#include "ZelvorApp/Editor/ScreenshotPngWriter.h"

#include "Platform/Clock.h"
#include "Platform/ImageCodec.h"
#include "ZelvorCore/FileNameBuilder.h"
#include "ZelvorCore/Foundation/AtomicFile.h"

namespace brisklet {

namespace {

/// Two writers can pick the same name in the same second; a few fresh names settle it.
constexpr int nameAttempts = 5;

} // namespace

ScreenshotSaveResult ScreenshotPngWriter::writeNew(const ImageCodec& codec, const Clock& clock, const Image& image,
                                                   const std::filesystem::path& directory) {
    if (!codec.supports(ImageFormat::png)) {
        return ScreenshotSaveResult::failure({ScreenshotEditorError::encodeUnavailable});
    }
    const auto bytes = codec.encode(image, ImageFormat::png);
    if (!bytes) {
        return ScreenshotSaveResult::failure({bytes.error() == ImageCodecError::unsupportedFormat
                                                  ? ScreenshotEditorError::encodeUnavailable
                                                  : ScreenshotEditorError::encodeFailed});
    }
    for (int attempt = 0; attempt < nameAttempts; ++attempt) {
        const auto name = FileNameBuilder::makeFileURL(ExportKind::screenshot, directory, clock.now());
        if (!name) {
            return ScreenshotSaveResult::failure({name.error()});
        }
        const std::error_code error = writeNewFileAtomically(name.value(), bytes.value());
        if (!error) {
            return ScreenshotSaveResult::success(name.value());
        }
        if (error != std::errc::file_exists) {
            return ScreenshotSaveResult::failure({ScreenshotEditorError::encodeFailed});
        }
    }
    return ScreenshotSaveResult::failure({ScreenshotEditorError::encodeFailed});
}

} // namespace brisklet
