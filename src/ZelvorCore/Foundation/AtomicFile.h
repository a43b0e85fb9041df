#pragma once

#include <filesystem>
#include <string_view>
#include <system_error>

namespace brisklet {

/// Writes `bytes` to a temporary file beside `path`, flushes it and renames it over `path`, so
/// readers see either the old or the new content, never a torn file.
std::error_code writeFileAtomically(const std::filesystem::path& path, std::string_view bytes);

/// Like `writeFileAtomically`, but refuses (errc::file_exists) when `path` already exists, even if
/// it appears while we write: exports never overwrite.
std::error_code writeNewFileAtomically(const std::filesystem::path& path, std::string_view bytes);

/// Moves a finished temporary file to `path` without ever replacing an existing file.
std::error_code moveIntoPlaceWithoutOverwriting(const std::filesystem::path& from, const std::filesystem::path& to);

/// Copies `from` to `to` through a temporary name beside `to`, so a half-copied file never carries
/// the final name, and never replaces an existing file (errc::file_exists).
std::error_code copyFileWithoutOverwriting(const std::filesystem::path& from, const std::filesystem::path& to);

/// A unique temporary name in the directory of `path` ("name.tmp-XXXXXX"), created empty with
/// mode 0644. Returns an empty path on failure.
std::filesystem::path makeSiblingTemporaryFile(const std::filesystem::path& path, std::error_code& error);

} // namespace brisklet
