#include "Platform/Linux/System/PipeProcessRunner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace brisklet {

namespace {

// Closes on scope exit so no early return leaks a descriptor.
class Descriptor {
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;

    int get() const { return fd_; }
    void reset() {
        if (fd_ >= 0) {
            ::close(fd_);
            fd_ = -1;
        }
    }
    void adopt(int fd) {
        reset();
        fd_ = fd;
    }

private:
    int fd_ = -1;
};

// A pipe, not a socket, on every side: commands such as shell scripts open /dev/stdin, which
// fails for a socket.
bool makeChannel(Descriptor& ours, Descriptor& theirs, bool forInput) {
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0) {
        return false;
    }
    ours.adopt(forInput ? fds[1] : fds[0]);
    theirs.adopt(forInput ? fds[0] : fds[1]);
    return true;
}

// Writes without letting a reader that exited early raise SIGPIPE in our process: the signal is
// blocked on this thread during the write and a pending one is consumed.
ssize_t writeWithoutSigpipe(int fd, const char* data, std::size_t size) {
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &pipeSignal, &previous);
    sigset_t pendingBefore;
    sigpending(&pendingBefore);
    const ssize_t written = ::write(fd, data, size);
    const int error = errno;
    if (written < 0 && error == EPIPE && !sigismember(&pendingBefore, SIGPIPE)) {
        const timespec noWait{0, 0};
        sigtimedwait(&pipeSignal, nullptr, &noWait);
    }
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    errno = error;
    return written;
}

void setNonBlocking(int fd) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

struct Spawned {
    pid_t pid = -1;
    int error = 0;
};

Spawned spawn(const std::vector<std::string>& arguments, int input, int output, int errors) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errors, STDERR_FILENO);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    // Its own process group, so a timeout kills the whole pipeline a shell script starts.
    posix_spawnattr_setpgroup(&attributes, 0);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv;
    for (const auto& argument : arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    Spawned spawned;
    spawned.error = ::posix_spawnp(&spawned.pid, argv[0], &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return spawned;
}

int exitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

ProcessOutcome PipeProcessRunner::run(const std::vector<std::string>& arguments, std::string_view input,
                                      double timeoutSeconds) const {
    ProcessOutcome outcome;
    if (arguments.empty()) {
        return outcome;
    }
    Descriptor inputOurs, inputTheirs, outputOurs, outputTheirs, errorOurs, errorTheirs;
    if (!makeChannel(inputOurs, inputTheirs, true) || !makeChannel(outputOurs, outputTheirs, false) ||
        !makeChannel(errorOurs, errorTheirs, false)) {
        return outcome;
    }
    const Spawned spawned = spawn(arguments, inputTheirs.get(), outputTheirs.get(), errorTheirs.get());
    inputTheirs.reset();
    outputTheirs.reset();
    errorTheirs.reset();
    if (spawned.error != 0) {
        outcome.standardError = "cannot start " + arguments[0] + ": " + std::strerror(spawned.error);
        return outcome;
    }
    outcome.launched = true;
    setNonBlocking(inputOurs.get());
    setNonBlocking(outputOurs.get());
    setNonBlocking(errorOurs.get());

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(timeoutSeconds);
    std::size_t written = 0;
    if (input.empty()) {
        inputOurs.reset();
    }
    char buffer[16384];
    while (outputOurs.get() >= 0 || errorOurs.get() >= 0) {
        const auto remaining =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (remaining.count() <= 0) {
            outcome.timedOut = true;
            break;
        }
        pollfd fds[3] = {{outputOurs.get(), POLLIN, 0}, {errorOurs.get(), POLLIN, 0}, {inputOurs.get(), POLLOUT, 0}};
        if (::poll(fds, 3, static_cast<int>(remaining.count())) < 0 && errno != EINTR) {
            break;
        }
        if (inputOurs.get() >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
            const ssize_t sent = writeWithoutSigpipe(inputOurs.get(), input.data() + written, input.size() - written);
            if (sent > 0) {
                written += static_cast<std::size_t>(sent);
            }
            if ((sent < 0 && errno != EAGAIN) || written == input.size()) {
                inputOurs.reset(); // end of input tells the command to finish
            }
        }
        for (int k = 0; k < 2; ++k) {
            Descriptor& source = k == 0 ? outputOurs : errorOurs;
            if (source.get() < 0 || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR))) {
                continue;
            }
            const ssize_t count = ::read(source.get(), buffer, sizeof buffer);
            if (count > 0) {
                std::string& collected = k == 0 ? outcome.standardOutput : outcome.standardError;
                const std::size_t room = outputLimit_ - std::min(outputLimit_, collected.size());
                collected.append(buffer, std::min(room, static_cast<std::size_t>(count)));
            } else if (count == 0 || errno != EAGAIN) {
                source.reset();
            }
        }
    }
    if (outcome.timedOut) {
        ::kill(-spawned.pid, SIGKILL);
    }
    int status = 0;
    while (::waitpid(spawned.pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.exitCode = outcome.timedOut ? -1 : exitCodeOf(status);
    return outcome;
}

} // namespace brisklet
