#pragma once

#include "ZelvorCore/Foundation/Date.h"
#include "ZelvorCore/Models/VisualMemoryRetention.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace brisklet {

class Clock;
class DefaultsStore;
class SerialQueue;

/// The state and file work behind `RuntimeLogger`. Lines are formatted on the caller's thread and
/// written, one append each, on the logger's serial queue; everything else runs on that queue too.
class RuntimeLogWriter {
public:
    struct InitialState {
        bool isEnabled = true;
        VisualMemoryRetentionPeriod retentionPeriod = VisualMemoryRetentionPeriod::threeDays;
    };
    /// Reads the stored preferences' log switch and retention; asked once, when first needed.
    using InitialStateProvider = std::function<InitialState()>;

    static constexpr const char* queueLabel = "com.brisklet.brisklet.runtime-log";

    RuntimeLogWriter(std::unique_ptr<SerialQueue> queue, const Clock& clock, std::filesystem::path logsDirectory,
                     InitialStateProvider initialState);
    ~RuntimeLogWriter();

    /// Formats the line now and queues its writing; returns at once.
    void log(std::string_view message);
    /// Applies the settings on the queue (after every earlier line) and cleans up old session files.
    void configure(bool isEnabled, VisualMemoryRetentionPeriod retentionPeriod,
                   std::optional<std::filesystem::path> logsDirectory, Date now);
    /// The logs directory + "latest.log".
    std::filesystem::path fileURL();
    std::filesystem::path logsDirectoryURL();
    std::filesystem::path sessionLogFileURL();
    /// Waits until every queued line has been written.
    void flush();

    const std::string& sessionStamp() const { return sessionStamp_; }
    Date now() const;

    /// Reads the initial state from the preferences stored in `defaults` (which must outlive the
    /// writer); an unreadable document gives the defaults' values.
    static InitialStateProvider storedPreferencesProvider(DefaultsStore& defaults);
    /// "[<now>] [session <stamp>] <message>\n"
    std::string formatLine(std::string_view message) const;

private:
    void ensureInitialState();
    void write(const std::string& line);
    void removeExpiredSessionFiles(Date now);

    std::unique_ptr<SerialQueue> queue_;
    const Clock& clock_;
    InitialStateProvider initialStateProvider_;
    std::string sessionStamp_;
    std::string sessionFileStamp_;

    // Touched on the queue only.
    bool initialStateRead_ = false;
    bool isEnabled_ = true;
    VisualMemoryRetentionPeriod retentionPeriod_ = VisualMemoryRetentionPeriod::threeDays;
    std::filesystem::path activeLogsDirectory_;
    std::filesystem::path activeSessionLogFile_;
    std::optional<std::filesystem::path> latestLogPreparedDirectory_;
};

} // namespace brisklet
