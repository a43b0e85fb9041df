#pragma once

#include "ZelvorApp/Editor/ScreenshotEditorEnvironment.h"

#include <filesystem>

namespace brisklet {

class Clock;
class ImageCodec;

/// Writes a finished screenshot as a new PNG in the export directory, named like every
/// screenshot export, through a temporary name and never over an existing file.
struct ScreenshotPngWriter {
    static ScreenshotSaveResult writeNew(const ImageCodec& codec, const Clock& clock, const Image& image,
                                         const std::filesystem::path& directory);
};

} // namespace brisklet
