#pragma once

#include "ZelvorCore/Models/VisualMemoryItem.h"

#include <filesystem>
#include <string>
#include <variant>

namespace brisklet {

/// What leaves the library when an item is dragged out.
struct VisualMemoryDragPayloadPolicy {
    /// UTF-8 plain text.
    struct PlainText {
        std::string text;
        bool operator==(const PlainText&) const = default;
    };
    /// The item's file.
    struct File {
        std::filesystem::path url;
        bool operator==(const File&) const = default;
    };
    using Payload = std::variant<PlainText, File>;

    /// A copied text travels as its text (its summary when the text is empty); everything else as
    /// its file.
    static Payload payload(const VisualMemoryItem& item);
};

} // namespace brisklet
