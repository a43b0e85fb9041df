#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <filesystem>
#include <string>

namespace brisklet {

class AppClipboardWriteTracker;
class Pasteboard;

/// Puts images, files and text on the clipboard and marks each write as our own.
class ExportService {
public:
    ExportService(Pasteboard& pasteboard, AppClipboardWriteTracker& tracker);

    void copyImageToPasteboard(const Image& image);
    /// Copies a file reference (receivers get the file, not pixel data).
    void copyFileToPasteboard(const std::filesystem::path& file);
    void copyTextToPasteboard(const std::string& text);

private:
    void registerOwnWrite();

    Pasteboard& pasteboard_;
    AppClipboardWriteTracker& tracker_;
};

} // namespace brisklet
