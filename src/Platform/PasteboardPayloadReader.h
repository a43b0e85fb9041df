#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace brisklet {

/// Raw clipboard contents beyond what `Pasteboard` decodes: the exact bytes of an image type
/// (so identical copies hash identically) and the files a file manager copied.
class PasteboardPayloadReader {
public:
    virtual ~PasteboardPayloadReader() = default;

    /// The bytes the clipboard offers under `mimeType` (e.g. "image/png", "image/tiff"), or
    /// nothing when that type is not offered.
    virtual std::optional<std::string> data(std::string_view mimeType) const = 0;
    /// The local files on the clipboard (a URI list), in order; other kinds of URL are left out.
    virtual std::vector<std::filesystem::path> fileURLs() const = 0;
};

} // namespace brisklet
