#pragma once

#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Models/VisualMemoryRetention.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

namespace brisklet {

struct AppPreferences;
class RuntimeLogWriter;

/// The application's one diagnostic log, callable from any thread. `main` installs the writer;
/// until then (and in tests that do not install one) lines are dropped.
class RuntimeLogger {
public:
    RuntimeLogger() = delete;

    static void install(std::shared_ptr<RuntimeLogWriter> writer);
    static void uninstall();

    static void log(std::string_view message);
    /// Takes the log switch and retention from the preferences; keeps the directory.
    static void configure(const AppPreferences& preferences);
    static void configure(bool isEnabled, VisualMemoryRetentionPeriod retentionPeriod,
                          std::optional<std::filesystem::path> logsDirectory, Date now);
    static std::filesystem::path fileURL();
    static std::filesystem::path logsDirectoryURL();
    /// Waits for queued lines to reach the files (used before the process exits).
    static void flush();

private:
    static std::shared_ptr<RuntimeLogWriter> writer();
};

} // namespace brisklet
