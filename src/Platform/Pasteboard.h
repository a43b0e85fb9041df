#pragma once

#include "ZelvorCore/Foundation/Image.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace brisklet {

/// The desktop's general clipboard. The change count moves on every change, ours and other
/// applications' alike, so a watcher can tell whether something new arrived.
class Pasteboard {
public:
    virtual ~Pasteboard() = default;

    virtual std::int64_t changeCount() const = 0;
    /// Empties the clipboard before a write.
    virtual void clearContents() = 0;
    /// Puts one image on the clipboard (as PNG and the desktop's image types).
    virtual void writeImage(const Image& image) = 0;
    /// Puts one file reference on the clipboard (a URI list), not its content.
    virtual void writeFileURL(const std::filesystem::path& file) = 0;
    /// Puts plain text on the clipboard.
    virtual void writeText(const std::string& text) = 0;

    virtual std::optional<std::string> readText() const = 0;
    virtual std::optional<Image> readImage() const = 0;
};

} // namespace brisklet
