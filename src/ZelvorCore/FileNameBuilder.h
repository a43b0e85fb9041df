#pragma once

#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Foundation/Result.h"
#include "ZelvorCore/Foundation/Uuid.h"
#include "ZelvorCore/Models/ExportKind.h"
#include "ZelvorCore/Models/RecordingOptions.h"

#include <filesystem>
#include <string>
#include <system_error>

namespace brisklet {

/// Names every exported file: prefix, local date and time to the second, and "_1", "_2", ... when
/// the name is taken. It only chooses a name; callers create the file right away.
namespace FileNameBuilder {

/// "~/Pictures/Brisklet" with the home directory expanded.
std::filesystem::path defaultExportDirectory();

/// "yyyy-MM-dd_HH-mm-ss" in the current time zone, always ASCII digits and a 24-hour clock.
std::string timestamp(Date date);

/// Creates `directory` (and its parents) when missing, then returns the first free name. A
/// directory that cannot be created is returned as the file system's error.
Result<std::filesystem::path, std::error_code> makeFileURL(ExportKind kind, const std::filesystem::path& directory,
                                                           Date date);

/// Where a video recording is written before it is exported: "brisklet-video-<UUID>.mov" for
/// MOV and ".mp4" otherwise, in the temporary directory.
std::filesystem::path videoTemporaryFileURL(RecordingOutputFormat format,
                                            const std::filesystem::path& temporaryDirectory,
                                            const Uuid& uuid = Uuid::generate());

} // namespace FileNameBuilder

} // namespace brisklet
