#include "Shell/ProcRunningProcesses.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <optional>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace brisklet {

namespace fs = std::filesystem;

namespace {

/// The whole file, or nothing when it cannot be read. Plain read(2): a process that ends while we
/// read its /proc entry fails the read with ESRCH, which a stream turns into an exception.
std::optional<std::string> readAll(const fs::path& file) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) {
        return std::nullopt;
    }
    std::string bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            ::close(descriptor);
            return std::nullopt;
        }
        if (count == 0) {
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(count));
    }
    ::close(descriptor);
    return bytes;
}

std::vector<std::string> splitNul(const std::string& bytes) {
    std::vector<std::string> parts;
    std::string current;
    for (const char c : bytes) {
        if (c == '\0') {
            parts.push_back(std::move(current));
            current.clear();
        } else {
            current += c;
        }
    }
    if (!current.empty()) {
        parts.push_back(std::move(current));
    }
    return parts;
}

std::string variable(const std::vector<std::string>& environment, const std::string& name) {
    const std::string prefix = name + "=";
    for (const std::string& entry : environment) {
        if (entry.starts_with(prefix)) {
            return entry.substr(prefix.size());
        }
    }
    return {};
}

} // namespace

bool commandLineRunsApplication(const std::vector<std::string>& argv) {
    for (std::size_t i = 1; i < argv.size(); ++i) {
        const std::string& argument = argv[i];
        if (argument == "--config-dir" || argument == "--data-dir") {
            ++i;
        } else if (argument.starts_with("--config-dir=") || argument.starts_with("--data-dir=")) {
            continue;
        } else {
            return false;
        }
    }
    return true;
}

std::string sessionKey(const std::string& display, const std::string& bus) {
    return display + "|" + bus;
}

std::vector<RunningProcess> listRunningProcesses(const fs::path& procRoot) {
    std::vector<RunningProcess> processes;
    std::error_code error;
    for (fs::directory_iterator it(procRoot, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); })) {
            continue;
        }
        RunningProcess process;
        process.processIdentifier = std::stoi(name);
        std::error_code linkError;
        const fs::path executable = fs::canonical(it->path() / "exe", linkError);
        if (linkError) {
            processes.push_back(std::move(process));
            continue;
        }
        process.executable = executable;
        // A command line we cannot read (the process ended, or it is a zombie) runs nothing.
        const auto commandLine = readAll(it->path() / "cmdline");
        process.runsApplication = commandLine && !commandLine->empty() && commandLineRunsApplication(splitNul(*commandLine));
        const auto environment = splitNul(readAll(it->path() / "environ").value_or(std::string()));
        if (!environment.empty()) {
            process.session =
                sessionKey(variable(environment, "DISPLAY"), variable(environment, "DBUS_SESSION_BUS_ADDRESS"));
        }
        processes.push_back(std::move(process));
    }
    return processes;
}

std::optional<fs::path> currentExecutablePath() {
    std::error_code error;
    fs::path executable = fs::canonical("/proc/self/exe", error);
    if (error) {
        return std::nullopt;
    }
    return executable;
}

} // namespace brisklet
