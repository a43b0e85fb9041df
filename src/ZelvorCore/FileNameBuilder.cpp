#include "ZelvorCore/FileNameBuilder.h"

#include "ZelvorCore/Models/AppPreferences.h"

#include <cstdio>

namespace brisklet::FileNameBuilder {

std::filesystem::path defaultExportDirectory() {
    return currentHomeDirectory() / "Pictures" / "Brisklet";
}

std::string timestamp(Date date) {
    const LocalDateTime t = localDateTime(date);
    char buffer[96]; // wide enough for any int, so the compiler can prove no truncation
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d_%02d-%02d-%02d", t.year, t.month, t.day, t.hour, t.minute,
                  t.second);
    return buffer;
}

Result<std::filesystem::path, std::error_code> makeFileURL(ExportKind kind, const std::filesystem::path& directory,
                                                           Date date) {
    using R = Result<std::filesystem::path, std::error_code>;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    if (error) {
        return R::failure(error);
    }
    const std::string base = std::string(fileNamePrefix(kind)) + "_" + timestamp(date);
    const std::string extension = "." + std::string(fileExtension(kind));
    std::filesystem::path candidate = directory / (base + extension);
    for (int n = 1; std::filesystem::exists(std::filesystem::symlink_status(candidate)); ++n) {
        candidate = directory / (base + "_" + std::to_string(n) + extension);
    }
    return R::success(candidate);
}

std::filesystem::path videoTemporaryFileURL(RecordingOutputFormat format,
                                            const std::filesystem::path& temporaryDirectory, const Uuid& uuid) {
    const char* extension = format == RecordingOutputFormat::mov ? ".mov" : ".mp4";
    return temporaryDirectory / ("brisklet-video-" + uuid.toString() + extension);
}

} // namespace brisklet::FileNameBuilder
