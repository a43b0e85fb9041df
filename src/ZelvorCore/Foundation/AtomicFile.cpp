#include "ZelvorCore/Foundation/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace brisklet {

namespace {

std::error_code lastError() {
    return {errno, std::generic_category()};
}

std::error_code writeAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return lastError();
        }
        written += static_cast<std::size_t>(n);
    }
    return {};
}

std::error_code writeTemporary(const std::filesystem::path& path, std::string_view bytes,
                               std::filesystem::path& temporary) {
    std::error_code error;
    temporary = makeSiblingTemporaryFile(path, error);
    if (error) {
        return error;
    }
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        error = lastError();
        std::filesystem::remove(temporary, error);
        return lastError();
    }
    error = writeAll(fd, bytes);
    if (!error && ::fsync(fd) != 0) {
        error = lastError();
    }
    if (::close(fd) != 0 && !error) {
        error = lastError();
    }
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
    }
    return error;
}

} // namespace

std::filesystem::path makeSiblingTemporaryFile(const std::filesystem::path& path, std::error_code& error) {
    std::string name = ".";
    name += path.filename().string();
    name += ".tmp-XXXXXX";
    std::string pattern = (path.parent_path() / name).string();
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        error = lastError();
        return {};
    }
    ::fchmod(fd, 0644);
    ::close(fd);
    error.clear();
    return pattern;
}

std::error_code writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    std::filesystem::path temporary;
    if (auto error = writeTemporary(path, bytes, temporary)) {
        return error;
    }
    if (::rename(temporary.c_str(), path.c_str()) != 0) {
        const auto error = lastError();
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return error;
    }
    return {};
}

std::error_code writeNewFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
    if (std::filesystem::exists(path)) {
        return std::make_error_code(std::errc::file_exists);
    }
    std::filesystem::path temporary;
    if (auto error = writeTemporary(path, bytes, temporary)) {
        return error;
    }
    return moveIntoPlaceWithoutOverwriting(temporary, path);
}

std::error_code moveIntoPlaceWithoutOverwriting(const std::filesystem::path& from, const std::filesystem::path& to) {
    // A hard link fails with EEXIST instead of replacing, which is exactly the guarantee we need.
    if (::link(from.c_str(), to.c_str()) != 0) {
        const auto error = lastError();
        if (error != std::errc::operation_not_permitted && error != std::errc::function_not_supported) {
            std::error_code ignored;
            std::filesystem::remove(from, ignored);
            return error;
        }
        // Filesystems without hard links: check, then rename (a tiny race, but no silent loss on ours).
        if (std::filesystem::exists(to)) {
            std::error_code ignored;
            std::filesystem::remove(from, ignored);
            return std::make_error_code(std::errc::file_exists);
        }
        if (::rename(from.c_str(), to.c_str()) != 0) {
            const auto renameError = lastError();
            std::error_code ignored;
            std::filesystem::remove(from, ignored);
            return renameError;
        }
        return {};
    }
    ::unlink(from.c_str());
    return {};
}

std::error_code copyFileWithoutOverwriting(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::error_code error;
    const std::filesystem::path temporary = makeSiblingTemporaryFile(to, error);
    if (temporary.empty()) {
        return error ? error : std::make_error_code(std::errc::io_error);
    }
    std::filesystem::copy_file(from, temporary, std::filesystem::copy_options::overwrite_existing, error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return error;
    }
    return moveIntoPlaceWithoutOverwriting(temporary, to);
}

} // namespace brisklet
