#pragma once

#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/EnumTable.h"
#include "ZelvorCore/Foundation/Geometry.h"
#include "ZelvorCore/Foundation/Image.h"
#include "ZelvorCore/Foundation/Uuid.h"
#include "ZelvorCore/Models/ExportKind.h"
#include "ZelvorCore/Models/VisualMemorySource.h"

#include <cstdint>
#include <filesystem>
#include <optional>

namespace brisklet {

/// Who owns the file behind a card: `temporary` files were written only for the card and are
/// deleted with it; `exported` files live in the export directory and are never touched.
enum class FloatingThumbnailOwnership { temporary, exported };

template <> struct EnumTraits<FloatingThumbnailOwnership> {
    static constexpr std::array<std::pair<FloatingThumbnailOwnership, std::string_view>, 2> names{{
        {FloatingThumbnailOwnership::temporary, "temporary"},
        {FloatingThumbnailOwnership::exported, "exported"},
    }};
};

/// One export shown as a card in the floating thumbnail stack.
struct FloatingThumbnailItem {
    Uuid id = Uuid::generate();
    std::filesystem::path url;
    Image image;
    ExportKind kind = ExportKind::screenshot;
    FloatingThumbnailOwnership ownership = FloatingThumbnailOwnership::exported;
    /// The display the capture was taken on, when known; the stack is shown there.
    std::optional<std::uint32_t> displayID;
    /// Where the capture was on screen, in global coordinates.
    std::optional<Rect> captureFrame;
    VisualMemorySource source;
    Date createdAt;

    bool isTemporary() const { return ownership == FloatingThumbnailOwnership::temporary; }

    bool operator==(const FloatingThumbnailItem&) const = default;
};

} // namespace brisklet
