#include "ZelvorApp/Infrastructure/RuntimeLogger.h"

#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"
#include "ZelvorCore/Models/AppPreferences.h"

#include <mutex>

namespace brisklet {

namespace {

std::mutex& installMutex() {
    static std::mutex mutex;
    return mutex;
}

std::shared_ptr<RuntimeLogWriter>& installedWriter() {
    static std::shared_ptr<RuntimeLogWriter> writer;
    return writer;
}

} // namespace

void RuntimeLogger::install(std::shared_ptr<RuntimeLogWriter> writer) {
    std::lock_guard lock(installMutex());
    installedWriter() = std::move(writer);
}

void RuntimeLogger::uninstall() {
    install(nullptr);
}

std::shared_ptr<RuntimeLogWriter> RuntimeLogger::writer() {
    std::lock_guard lock(installMutex());
    return installedWriter();
}

void RuntimeLogger::log(std::string_view message) {
    if (const auto w = writer()) {
        w->log(message);
    }
}

void RuntimeLogger::configure(const AppPreferences& preferences) {
    if (const auto w = writer()) {
        w->configure(preferences.saveLogsEnabled, preferences.logRetentionPeriod, std::nullopt, w->now());
    }
}

void RuntimeLogger::configure(bool isEnabled, VisualMemoryRetentionPeriod retentionPeriod,
                              std::optional<std::filesystem::path> logsDirectory, Date now) {
    if (const auto w = writer()) {
        w->configure(isEnabled, retentionPeriod, std::move(logsDirectory), now);
    }
}

std::filesystem::path RuntimeLogger::fileURL() {
    const auto w = writer();
    return w ? w->fileURL() : std::filesystem::path{};
}

std::filesystem::path RuntimeLogger::logsDirectoryURL() {
    const auto w = writer();
    return w ? w->logsDirectoryURL() : std::filesystem::path{};
}

void RuntimeLogger::flush() {
    if (const auto w = writer()) {
        w->flush();
    }
}

} // namespace brisklet
