#include "ZelvorApp/Infrastructure/RuntimeLogWriter.h"

#include "Platform/Clock.h"
#include "Platform/SerialQueue.h"
#include "ZelvorCore/Foundation/AtomicFile.h"
#include "ZelvorCore/Stores/PreferencesStore.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brisklet {

namespace {

bool appendAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// Opens with O_APPEND (creating the file when missing), so earlier lines are never rewritten and
// a failed write can at worst lose the line at hand.
void appendToFile(const std::filesystem::path& file, std::string_view bytes) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    appendAll(fd, bytes);
    ::close(fd);
}

std::optional<Date> modificationDate(const std::filesystem::path& file) {
    struct stat info {};
    if (::stat(file.c_str(), &info) != 0) {
        return std::nullopt;
    }
    return Date{static_cast<double>(info.st_mtim.tv_sec) + info.st_mtim.tv_nsec / 1e9};
}

std::string fileStamp(std::string stamp) {
    for (char& c : stamp) {
        if (c == ':' || c == '/') {
            c = '-';
        }
    }
    return stamp;
}

} // namespace

RuntimeLogWriter::RuntimeLogWriter(std::unique_ptr<SerialQueue> queue, const Clock& clock,
                                   std::filesystem::path logsDirectory, InitialStateProvider initialState)
    : queue_(std::move(queue)), clock_(clock), initialStateProvider_(std::move(initialState)),
      sessionStamp_(iso8601(clock.now())), sessionFileStamp_(fileStamp(sessionStamp_)),
      activeLogsDirectory_(std::move(logsDirectory)),
      activeSessionLogFile_(activeLogsDirectory_ / ("session-" + sessionFileStamp_ + ".log")) {}

RuntimeLogWriter::~RuntimeLogWriter() {
    flush();
}

Date RuntimeLogWriter::now() const {
    return clock_.now();
}

RuntimeLogWriter::InitialStateProvider RuntimeLogWriter::storedPreferencesProvider(DefaultsStore& defaults) {
    return [&defaults] {
        const AppPreferences preferences = PreferencesStore(defaults).load();
        return InitialState{preferences.saveLogsEnabled, preferences.logRetentionPeriod};
    };
}

std::string RuntimeLogWriter::formatLine(std::string_view message) const {
    std::string line = "[";
    line += iso8601(clock_.now());
    line += "] [session ";
    line += sessionStamp_;
    line += "] ";
    line += message;
    line += '\n';
    return line;
}

void RuntimeLogWriter::log(std::string_view message) {
    queue_->async([this, line = formatLine(message)] { write(line); });
}

void RuntimeLogWriter::ensureInitialState() {
    if (initialStateRead_) {
        return;
    }
    initialStateRead_ = true;
    if (initialStateProvider_) {
        const InitialState state = initialStateProvider_();
        isEnabled_ = state.isEnabled;
        retentionPeriod_ = state.retentionPeriod;
    }
}

void RuntimeLogWriter::write(const std::string& line) {
    ensureInitialState();
    if (!isEnabled_) {
        return;
    }
    std::error_code ignored;
    std::filesystem::create_directories(activeLogsDirectory_, ignored);
    appendToFile(activeSessionLogFile_, line);
    const auto latest = activeLogsDirectory_ / "latest.log";
    if (latestLogPreparedDirectory_ == activeLogsDirectory_) {
        appendToFile(latest, line);
    } else {
        // The first line of each process (per directory) starts latest.log afresh.
        writeFileAtomically(latest, line);
        latestLogPreparedDirectory_ = activeLogsDirectory_;
    }
}

void RuntimeLogWriter::configure(bool isEnabled, VisualMemoryRetentionPeriod retentionPeriod,
                                 std::optional<std::filesystem::path> logsDirectory, Date now) {
    queue_->sync([&] {
        initialStateRead_ = true; // an explicit configuration wins over the stored state
        isEnabled_ = isEnabled;
        retentionPeriod_ = retentionPeriod;
        if (logsDirectory && !logsDirectory->empty()) {
            if (*logsDirectory != activeLogsDirectory_) {
                latestLogPreparedDirectory_.reset();
            }
            activeLogsDirectory_ = *logsDirectory;
        }
        activeSessionLogFile_ = activeLogsDirectory_ / ("session-" + sessionFileStamp_ + ".log");
        if (isEnabled_) {
            std::error_code ignored;
            std::filesystem::create_directories(activeLogsDirectory_, ignored);
            removeExpiredSessionFiles(now);
        }
    });
}

void RuntimeLogWriter::removeExpiredSessionFiles(Date now) {
    const auto cutoff = retentionCutoff(retentionPeriod_, now);
    if (!cutoff) {
        return;
    }
    std::error_code error;
    std::filesystem::directory_iterator entries(activeLogsDirectory_, error);
    if (error) {
        return;
    }
    for (const auto& entry : entries) {
        const auto& path = entry.path();
        const std::string name = path.filename().string();
        if (name.empty() || name.front() == '.' || path.extension() != ".log" || name == "latest.log") {
            continue;
        }
        const auto modified = modificationDate(path);
        if (modified && *modified < *cutoff) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
    }
}

std::filesystem::path RuntimeLogWriter::fileURL() {
    return logsDirectoryURL() / "latest.log";
}

std::filesystem::path RuntimeLogWriter::logsDirectoryURL() {
    std::filesystem::path directory;
    queue_->sync([&] { directory = activeLogsDirectory_; });
    return directory;
}

std::filesystem::path RuntimeLogWriter::sessionLogFileURL() {
    std::filesystem::path file;
    queue_->sync([&] { file = activeSessionLogFile_; });
    return file;
}

void RuntimeLogWriter::flush() {
    queue_->sync([] {});
}

} // namespace brisklet
