#pragma once

#include "Platform/PasteboardPayloadReader.h"

namespace brisklet {

/// Raw clipboard contents of the X11 CLIPBOARD selection through Qt. Main thread only (Qt's
/// clipboard lives there).
class QtPasteboardPayloadReader final : public PasteboardPayloadReader {
public:
    std::optional<std::string> data(std::string_view mimeType) const override;
    std::vector<std::filesystem::path> fileURLs() const override;
};

} // namespace brisklet
