#pragma once

#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/Json.h"
#include "ZelvorCore/Models/ExportKind.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace brisklet {

/// One exported file as kept in the recent-exports list. Its identity is the file path.
struct ExportedAsset {
    std::filesystem::path url;
    ExportKind kind = ExportKind::screenshot;
    Date createdAt;
    std::optional<std::int64_t> byteCount;

    std::string id() const { return url.string(); }

    bool operator==(const ExportedAsset&) const = default;
};

void read(const Json& j, ExportedAsset& out);
Json write(const ExportedAsset& value);

} // namespace brisklet
