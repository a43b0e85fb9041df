#pragma once

#include "Platform/ImageCodec.h"
#include "ZelvorCore/Foundation/EnumTable.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace brisklet {

/// Why a knowledge package could not be written.
struct KnowledgePackageWriteError {
    enum class Step { createDirectory, encodeScreenshot, writeScreenshot, writeContext, writeMetadata };

    Step step = Step::createDirectory;
    /// The directory or file that failed.
    std::filesystem::path path;
    /// The file system's reason, for the steps that touch files.
    std::error_code code;
    /// The encoder's reason, for `encodeScreenshot`.
    std::optional<ImageCodecError> codecError;

    /// English, for the log: "writeContext /path: No space left on device".
    std::string description() const;

    bool operator==(const KnowledgePackageWriteError&) const = default;
};

template <> struct EnumTraits<KnowledgePackageWriteError::Step> {
    using Step = KnowledgePackageWriteError::Step;
    static constexpr std::array<std::pair<Step, std::string_view>, 5> names{{
        {Step::createDirectory, "createDirectory"},
        {Step::encodeScreenshot, "encodeScreenshot"},
        {Step::writeScreenshot, "writeScreenshot"},
        {Step::writeContext, "writeContext"},
        {Step::writeMetadata, "writeMetadata"},
    }};
};

} // namespace brisklet
